// The application's constant data read by the runtime at start-up: the
// header block, the library table and the DLL-command declarations.
#include "app_header.h"
#include "dll_declarations.h"
#include "forms.h"
#include "libraries.h"

namespace {

const char* const kDllLibraries[] = {
    "Kernel32.dll", "Wininet.dll",  "Wininet.dll",  "Wininet.dll",  "Wininet.dll",  "Wininet.dll",
    "",             "Wininet.dll",  "kernel32.dll", "user32.dll",   "kernel32.dll", "user32.dll",
    "user32.dll",   "user32.dll",   "user32.dll",   "user32.dll",   "user32.dll",   "user32.dll",
    "kernel32.dll", "kernel32.dll", "msvcrt.dll",   "Wininet.dll",  "user32.dll",   "kernel32.dll",
    "kernel32.dll", "user32.dll",   "user32.dll",   "user32.dll",   "Wininet.dll",  "kernel32.dll",
    "kernel32.dll", "kernel32.dll", "kernel32.dll", "user32.dll",   "user32.dll",   "kernel32.dll",
    "kernel32.dll", "kernel32.dll", "kernel32.dll",
};

const char* const kDllFunctions[] = {
    "DeleteFileA",          "InternetGetConnectedState", "InternetOpenA",         "InternetOpenUrlA",
    "HttpQueryInfoA",       "InternetReadFile",          "CallWindowProcA",       "InternetCloseHandle",
    "GetCurrentProcessId",  "MessageBoxTimeoutW",        "GetTickCount",          "FindWindowExA",
    "IsWindowVisible",      "GetWindowThreadProcessId",  "GetParent",             "GetClassNameA",
    "GetWindowTextLengthW", "GetWindowTextW",            "lstrlenW",              "WideCharToMultiByte",
    "strlen",               "InternetSetOptionA",        "PeekMessageW",          "MultiByteToWideChar",
    "MoveFileExW",          "SetTimer",                  "KillTimer",             "EndDialog",
    "InternetQueryOptionA", "CreateFileW",               "CloseHandle",           "CreateThread",
    "WaitForSingleObject",  "MsgWaitForMultipleObjects", "PostQuitMessage",       "LoadLibraryW",
    "FreeLibraryAndExitThread", "WriteFile",         "WaitForMultipleObjects",
};

// A missed entry would otherwise become a null name.
static_assert(sizeof kDllLibraries / sizeof kDllLibraries[0] == DLL_COMMAND_COUNT);
static_assert(sizeof kDllFunctions / sizeof kDllFunctions[0] == DLL_COMMAND_COUNT);

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
    kDllLibraries,
    kDllFunctions,
};
