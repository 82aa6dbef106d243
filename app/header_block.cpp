// The application's constant data read by the runtime at start-up: the
// header block, the library table and the DLL-command declarations.
#include <array>
#include <iterator>
#include <utility>

#include "app_header.h"
#include "dll_declarations.h"
#include "forms.h"
#include "libraries.h"

namespace {

// One row per DLL command: its index, its library and its function. A row
// missed or out of place does not compile.
struct DllDeclaration {
  DllCommand index;
  const char* library;
  const char* function;
};
constexpr DllDeclaration kDllDeclarations[] = {
    {DLL_DELETE_FILE, "Kernel32.dll", "DeleteFileA"},
    {DLL_INTERNET_GET_CONNECTED_STATE, "Wininet.dll", "InternetGetConnectedState"},
    {DLL_INTERNET_OPEN, "Wininet.dll", "InternetOpenA"},
    {DLL_INTERNET_OPEN_URL, "Wininet.dll", "InternetOpenUrlA"},
    {DLL_HTTP_QUERY_INFO, "Wininet.dll", "HttpQueryInfoA"},
    {DLL_INTERNET_READ_FILE, "Wininet.dll", "InternetReadFile"},
    {DLL_CALL_WINDOW_PROC, "", "CallWindowProcA"},
    {DLL_INTERNET_CLOSE_HANDLE, "Wininet.dll", "InternetCloseHandle"},
    {DLL_GET_CURRENT_PROCESS_ID, "kernel32.dll", "GetCurrentProcessId"},
    {DLL_MESSAGE_BOX_TIMEOUT, "user32.dll", "MessageBoxTimeoutW"},
    {DLL_GET_TICK_COUNT, "kernel32.dll", "GetTickCount"},
    {DLL_FIND_WINDOW_EX, "user32.dll", "FindWindowExA"},
    {DLL_IS_WINDOW_VISIBLE, "user32.dll", "IsWindowVisible"},
    {DLL_GET_WINDOW_THREAD_PROCESS_ID, "user32.dll", "GetWindowThreadProcessId"},
    {DLL_GET_PARENT, "user32.dll", "GetParent"},
    {DLL_GET_CLASS_NAME, "user32.dll", "GetClassNameA"},
    {DLL_GET_WINDOW_TEXT_LENGTH_W, "user32.dll", "GetWindowTextLengthW"},
    {DLL_GET_WINDOW_TEXT_W, "user32.dll", "GetWindowTextW"},
    {DLL_LSTRLEN_W, "kernel32.dll", "lstrlenW"},
    {DLL_WIDE_CHAR_TO_MULTI_BYTE, "kernel32.dll", "WideCharToMultiByte"},
    {DLL_STRLEN, "msvcrt.dll", "strlen"},
    {DLL_INTERNET_SET_OPTION, "Wininet.dll", "InternetSetOptionA"},
    {DLL_PEEK_MESSAGE_W, "user32.dll", "PeekMessageW"},
    {DLL_MULTI_BYTE_TO_WIDE_CHAR, "kernel32.dll", "MultiByteToWideChar"},
    {DLL_MOVE_FILE_EX_W, "kernel32.dll", "MoveFileExW"},
    {DLL_SET_TIMER, "user32.dll", "SetTimer"},
    {DLL_KILL_TIMER, "user32.dll", "KillTimer"},
    {DLL_END_DIALOG, "user32.dll", "EndDialog"},
    {DLL_INTERNET_QUERY_OPTION, "Wininet.dll", "InternetQueryOptionA"},
    {DLL_CREATE_FILE_W, "kernel32.dll", "CreateFileW"},
    {DLL_CLOSE_HANDLE, "kernel32.dll", "CloseHandle"},
    {DLL_CREATE_THREAD, "kernel32.dll", "CreateThread"},
    {DLL_WAIT_FOR_SINGLE_OBJECT, "kernel32.dll", "WaitForSingleObject"},
    {DLL_MSG_WAIT_FOR_MULTIPLE_OBJECTS, "user32.dll", "MsgWaitForMultipleObjects"},
    {DLL_POST_QUIT_MESSAGE, "user32.dll", "PostQuitMessage"},
    {DLL_GET_MODULE_HANDLE_EX_W, "kernel32.dll", "GetModuleHandleExW"},
    {DLL_FREE_LIBRARY_AND_EXIT_THREAD, "kernel32.dll", "FreeLibraryAndExitThread"},
    {DLL_WRITE_FILE, "kernel32.dll", "WriteFile"},
    {DLL_WAIT_FOR_MULTIPLE_OBJECTS, "kernel32.dll", "WaitForMultipleObjects"},
    {DLL_READ_FILE, "kernel32.dll", "ReadFile"},
    {DLL_DELETE_FILE_W, "kernel32.dll", "DeleteFileW"},
    {DLL_GET_FILE_ATTRIBUTES_EX_W, "kernel32.dll", "GetFileAttributesExW"},
    {DLL_BCRYPT_OPEN_ALGORITHM_PROVIDER, "bcrypt.dll", "BCryptOpenAlgorithmProvider"},
    {DLL_BCRYPT_GET_PROPERTY, "bcrypt.dll", "BCryptGetProperty"},
    {DLL_BCRYPT_CREATE_HASH, "bcrypt.dll", "BCryptCreateHash"},
    {DLL_BCRYPT_HASH_DATA, "bcrypt.dll", "BCryptHashData"},
    {DLL_BCRYPT_FINISH_HASH, "bcrypt.dll", "BCryptFinishHash"},
    {DLL_BCRYPT_DESTROY_HASH, "bcrypt.dll", "BCryptDestroyHash"},
    {DLL_BCRYPT_CLOSE_ALGORITHM_PROVIDER, "bcrypt.dll", "BCryptCloseAlgorithmProvider"},
    {DLL_FREE_LIBRARY, "kernel32.dll", "FreeLibrary"},
    {DLL_FLUSH_FILE_BUFFERS, "kernel32.dll", "FlushFileBuffers"},
    {DLL_SET_FILE_POINTER_EX, "kernel32.dll", "SetFilePointerEx"},
    {DLL_SET_END_OF_FILE, "kernel32.dll", "SetEndOfFile"},
    {DLL_SUSPEND_THREAD, "kernel32.dll", "SuspendThread"},
    {DLL_GET_THREAD_CONTEXT, "kernel32.dll", "GetThreadContext"},
    {DLL_CREATE_EVENT_W, "kernel32.dll", "CreateEventW"},
    {DLL_SET_EVENT, "kernel32.dll", "SetEvent"},
};
static_assert(std::size(kDllDeclarations) == DLL_COMMAND_COUNT, "one row per DLL command");

constexpr bool RowsInIndexOrder() {
  for (size_t i = 0; i < std::size(kDllDeclarations); ++i)
    if (kDllDeclarations[i].index != static_cast<int>(i)) return false;
  return true;
}
static_assert(RowsInIndexOrder(), "row i declares DLL command i");

// The header block takes the names as two lists.
template <size_t... I>
constexpr std::array<const char*, sizeof...(I)> Column(const char* DllDeclaration::*field, std::index_sequence<I...>) {
  return {kDllDeclarations[I].*field...};
}
constexpr auto kDllLibraries = Column(&DllDeclaration::library, std::make_index_sequence<DLL_COMMAND_COUNT>());
constexpr auto kDllFunctions = Column(&DllDeclaration::function, std::make_index_sequence<DLL_COMMAND_COUNT>());

const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, &system_interface_library,
                                               &ui_extension2_library};

// The constant segment: shared empty text and empty byte array first.
struct ConstantSegment {
  char empty_text[4];
  int32_t empty_bytes[2];
};
const ConstantSegment kConstants = {{0, 0, 0, 0}, {1, 0}};

}  // namespace

extern "C" const ApplicationHeader application_header = {
    3,
    0,
    0x1A19A,
    reinterpret_cast<const void*>(&main_window_code_base),
    &kConstants,
    sizeof kConstants,
    main_window_template,
    main_window_template_size,
    sizeof kLibraries / sizeof kLibraries[0],
    kLibraries,
    DLL_COMMAND_COUNT,
    kDllLibraries.data(),
    kDllFunctions.data(),
};
