// The DLL commands the application declares, each once: its library, its
// function, its result and its parameters. From this list come the index
// of each command, the header block's name tables (header_block.cpp) and a
// typed function per command in namespace dll that calls through the
// DLL-command gate, as compiled code does:
//   dll::GetTickCount(kRoutine)
// The first argument is the calling routine's id; the statement the runtime
// names for a call that unbalances the stack is the call's line.
#pragma once
#include <cstdint>
#include <source_location>
#include <type_traits>

#include "runtime/abi/compiled_code.h"

// How the list spells the Win32 types: handles and DWORDs travel as words.
using Handle = uint32_t;
using Dword = uint32_t;
using Bool = int32_t;

// X(command, library, function, signature)
// Rows are in declaration order: a row's place is its index in the header
// block, so rows are only ever added at the end.
#define QELMO_DLL_COMMANDS(X)                                                                                          \
  /* unused since an older archive stays until a new one replaces it */                                                \
  X(DeleteFileA, "Kernel32.dll", "DeleteFileA", Bool(const char* path))                                                \
  X(InternetGetConnectedState, "Wininet.dll", "InternetGetConnectedState", Bool(Dword* flags, Dword reserved))         \
  X(InternetOpenA, "Wininet.dll", "InternetOpenA", Handle(                                                             \
      const char* agent, Dword access, const char* proxy, const char* bypass, Dword flags))                            \
  X(InternetOpenUrlA, "Wininet.dll", "InternetOpenUrlA", Handle(                                                       \
      Handle session, const char* url, const char* headers, Dword headers_length, Dword flags, Dword context))         \
  X(HttpQueryInfoA, "Wininet.dll", "HttpQueryInfoA", Bool(                                                             \
      Handle request, Dword info, void* buffer, Dword* length, Dword* index))                                          \
  X(InternetReadFile, "Wininet.dll", "InternetReadFile", Bool(Handle file, void* buffer, Dword size, Dword* read))     \
  /* unused: the engine calls its progress routine directly */                                                         \
  X(CallWindowProcA, "", "CallWindowProcA", int32_t(                                                                   \
      const void* procedure, Handle window, Dword message, Dword wparam, Dword lparam))                                \
  X(InternetCloseHandle, "Wininet.dll", "InternetCloseHandle", Bool(Handle handle))                                    \
  X(GetCurrentProcessId, "kernel32.dll", "GetCurrentProcessId", Dword())                                               \
  /* the wide export: texts are converted from GBK */                                                                  \
  X(MessageBoxTimeoutW, "user32.dll", "MessageBoxTimeoutW", int32_t(                                                   \
      Handle owner, const wchar_t* text, const wchar_t* title, Dword style, Dword language, Dword timeout_ms))         \
  X(GetTickCount, "kernel32.dll", "GetTickCount", Dword())                                                             \
  X(FindWindowExA, "user32.dll", "FindWindowExA", Handle(                                                              \
      Handle parent, Handle after, const char* class_name, const char* title))                                         \
  X(IsWindowVisible, "user32.dll", "IsWindowVisible", Bool(Handle window))                                             \
  X(GetWindowThreadProcessId, "user32.dll", "GetWindowThreadProcessId", Dword(Handle window, Dword* process))          \
  X(GetParent, "user32.dll", "GetParent", Handle(Handle window))                                                       \
  X(GetClassNameA, "user32.dll", "GetClassNameA", int32_t(Handle window, char* buffer, int32_t size))                  \
  X(GetWindowTextLengthW, "user32.dll", "GetWindowTextLengthW", int32_t(Handle window))                                \
  X(GetWindowTextW, "user32.dll", "GetWindowTextW", int32_t(Handle window, wchar_t* buffer, int32_t size))             \
  X(lstrlenW, "kernel32.dll", "lstrlenW", int32_t(const wchar_t* text))                                                \
  X(WideCharToMultiByte, "kernel32.dll", "WideCharToMultiByte", int32_t(                                               \
      Dword code_page, Dword flags, const wchar_t* wide, int32_t wide_count, char* out, int32_t out_size,              \
      const char* default_char, Bool* used_default))                                                                   \
  /* msvcrt: the caller removes the arguments (dll::CallerCleanup) */                                               \
  X(strlen, "msvcrt.dll", "strlen", Dword(const char* text))                                                           \
  /* beyond the original twenty-one: content decoding, keeping the window */                                           \
  /* alive during a transfer, and moving the finished file into place */                                               \
  X(InternetSetOptionA, "Wininet.dll", "InternetSetOptionA", Bool(                                                     \
      Handle handle, Dword option, const void* value, Dword length))                                                   \
  X(PeekMessageW, "user32.dll", "PeekMessageW", Bool(void* msg, Handle window, Dword first, Dword last, Dword remove)) \
  X(MultiByteToWideChar, "kernel32.dll", "MultiByteToWideChar", int32_t(                                               \
      Dword code_page, Dword flags, const char* text, int32_t count, wchar_t* out, int32_t out_size))                  \
  X(MoveFileExW, "kernel32.dll", "MoveFileExW", Bool(const wchar_t* from, const wchar_t* to, Dword flags))             \
  /* the message box closes itself by a timer of its own */                                                            \
  X(SetTimer, "user32.dll", "SetTimer", Dword(Handle window, Dword id, Dword ms, const void* procedure))               \
  X(KillTimer, "user32.dll", "KillTimer", Bool(Handle window, Dword id))                                               \
  X(EndDialog, "user32.dll", "EndDialog", Bool(Handle dialog, int32_t result))                                         \
  /* where an https transfer ended up, and the write probe */                                                          \
  X(InternetQueryOptionA, "Wininet.dll", "InternetQueryOptionA", Bool(                                                 \
      Handle handle, Dword option, void* buffer, Dword* length))                                                       \
  X(CreateFileW, "kernel32.dll", "CreateFileW", Handle(                                                                \
      const wchar_t* path, Dword access, Dword share, const void* security, Dword disposition, Dword attributes,       \
      Handle template_file))                                                                                           \
  X(CloseHandle, "kernel32.dll", "CloseHandle", Bool(Handle handle))                                                   \
  /* the transfer's worker and the waits that keep the window alive */                                                 \
  X(CreateThread, "kernel32.dll", "CreateThread", Handle(                                                              \
      const void* security, Dword stack_size, const void* start, void* parameter, Dword flags, Dword* thread_id))      \
  X(WaitForSingleObject, "kernel32.dll", "WaitForSingleObject", Dword(Handle handle, Dword ms))                        \
  X(MsgWaitForMultipleObjects, "user32.dll", "MsgWaitForMultipleObjects", Dword(                                       \
      Dword count, const Handle* handles, Bool wait_all, Dword ms, Dword wake_mask))                                   \
  X(PostQuitMessage, "user32.dll", "PostQuitMessage", void(int32_t exit_code))                                         \
  /* a reference to a loaded module: it never loads, so never searches */                                              \
  X(GetModuleHandleExW, "kernel32.dll", "GetModuleHandleExW", Bool(Dword flags, const wchar_t* name, Handle* module))  \
  X(FreeLibraryAndExitThread, "kernel32.dll", "FreeLibraryAndExitThread", void(Handle module, Dword exit_code))        \
  X(WriteFile, "kernel32.dll", "WriteFile", Bool(                                                                      \
      Handle file, const void* data, Dword size, Dword* written, void* overlapped))                                    \
  X(WaitForMultipleObjects, "kernel32.dll", "WaitForMultipleObjects", Dword(                                           \
      Dword count, const Handle* handles, Bool wait_all, Dword ms))                                                    \
  /* resuming a cut-off transfer: the part file's size and record */                                                   \
  X(ReadFile, "kernel32.dll", "ReadFile", Bool(Handle file, void* buffer, Dword size, Dword* read, void* overlapped))  \
  X(DeleteFileW, "kernel32.dll", "DeleteFileW", Bool(const wchar_t* path))                                             \
  X(GetFileAttributesExW, "kernel32.dll", "GetFileAttributesExW", Bool(                                                \
      const wchar_t* path, Dword level, void* information))                                                            \
  /* the archive's SHA-256 with CNG (Vista on; not BCryptHash, Windows 10) */                                          \
  X(BCryptOpenAlgorithmProvider, "bcrypt.dll", "BCryptOpenAlgorithmProvider", int32_t(                                 \
      Handle* algorithm, const wchar_t* id, const wchar_t* implementation, Dword flags))                               \
  X(BCryptGetProperty, "bcrypt.dll", "BCryptGetProperty", int32_t(                                                     \
      Handle object, const wchar_t* property, void* output, Dword size, Dword* result, Dword flags))                   \
  X(BCryptCreateHash, "bcrypt.dll", "BCryptCreateHash", int32_t(                                                       \
      Handle algorithm, Handle* hash, void* object, Dword object_size, const void* secret, Dword secret_size,          \
      Dword flags))                                                                                                    \
  X(BCryptHashData, "bcrypt.dll", "BCryptHashData", int32_t(Handle hash, const void* input, Dword size, Dword flags))  \
  X(BCryptFinishHash, "bcrypt.dll", "BCryptFinishHash", int32_t(Handle hash, void* output, Dword size, Dword flags))   \
  X(BCryptDestroyHash, "bcrypt.dll", "BCryptDestroyHash", int32_t(Handle hash))                                        \
  X(BCryptCloseAlgorithmProvider, "bcrypt.dll", "BCryptCloseAlgorithmProvider", int32_t(                               \
      Handle algorithm, Dword flags))                                                                                  \
  /* the worker's hold on WinINet, when the worker could not start */                                                  \
  X(FreeLibrary, "kernel32.dll", "FreeLibrary", Bool(Handle module))                                                   \
  /* what is on disk is what was counted; a worker given up held still */                                              \
  X(FlushFileBuffers, "kernel32.dll", "FlushFileBuffers", Bool(Handle file))                                           \
  X(SetFilePointerEx, "kernel32.dll", "SetFilePointerEx", Bool(                                                        \
      Handle file, int64_t distance, int64_t* new_position, Dword method))                                             \
  X(SetEndOfFile, "kernel32.dll", "SetEndOfFile", Bool(Handle file))                                                   \
  X(SuspendThread, "kernel32.dll", "SuspendThread", Dword(Handle thread))                                              \
  X(GetThreadContext, "kernel32.dll", "GetThreadContext", Bool(Handle thread, void* context))                          \
  /* the part file's flusher sleeps between its turns until woken */                                                   \
  X(CreateEventW, "kernel32.dll", "CreateEventW", Handle(                                                              \
      const void* security, Bool manual_reset, Bool initial_state, const wchar_t* name))                               \
  X(SetEvent, "kernel32.dll", "SetEvent", Bool(Handle event))                                                         \
  /* the publisher's signature of an archive, ECDSA P-256 with CNG (Vista on) */                                       \
  X(BCryptImportKeyPair, "bcrypt.dll", "BCryptImportKeyPair", int32_t(                                                 \
      Handle algorithm, Handle import_key, const wchar_t* blob_type, Handle* key, const void* blob, Dword size,         \
      Dword flags))                                                                                                    \
  X(BCryptVerifySignature, "bcrypt.dll", "BCryptVerifySignature", int32_t(                                             \
      Handle key, const void* padding, const void* hash, Dword hash_size, const void* signature,                       \
      Dword signature_size, Dword flags))                                                                              \
  X(BCryptDestroyKey, "bcrypt.dll", "BCryptDestroyKey", int32_t(Handle key))

enum DllCommand : int {
#define QELMO_DLL_INDEX(command, library, function, signature) DLL_##command,
  QELMO_DLL_COMMANDS(QELMO_DLL_INDEX)
#undef QELMO_DLL_INDEX
  DLL_COMMAND_COUNT
};

namespace dll {

// Every command is stdcall except the C runtime's.
constexpr bool CallerCleanup(DllCommand command) { return command == DLL_strlen; }

// Where a call stands: the calling routine's id, given, and the line of
// the call, taken where the call is written.
struct At {
  int32_t routine;
  int32_t statement;
  // NOLINTNEXTLINE: a routine id converts, so that calls read dll::F(kRoutine, ...)
  At(int32_t routine_id, std::source_location here = std::source_location::current())
      : routine(routine_id), statement(static_cast<int32_t>(here.line())) {}
};

// A parameter as the words the gate passes: pointers and 32-bit values as
// one word, 64-bit values as two (low first).
template <typename T>
constexpr int32_t kWordsOf = sizeof(T) > 4 ? 2 : 1;

template <typename T>
void PutWords(uint32_t*& out, T value) {
  if constexpr (std::is_pointer_v<T>) {
    *out++ = PointerWord(value);
  } else if constexpr (sizeof(T) > 4) {
    auto wide = static_cast<uint64_t>(value);
    *out++ = static_cast<uint32_t>(wide);
    *out++ = static_cast<uint32_t>(wide >> 32);
  } else {
    *out++ = static_cast<uint32_t>(value);
  }
}

template <DllCommand kCommand, typename Signature>
struct Function;
template <DllCommand kCommand, typename Result, typename... Parameters>
struct Function<kCommand, Result(Parameters...)> {
  Result operator()(At at, Parameters... arguments) const {
    constexpr int32_t kCount = (kWordsOf<Parameters> + ... + 0);
    uint32_t words[kCount + 1] = {};
    [[maybe_unused]] uint32_t* out = words;  // unused by commands without parameters
    (PutWords(out, arguments), ...);
    const DllCallSite site{kCommand, CallerCleanup(kCommand) ? 1 : 0, at.routine, at.statement};
    auto answer = static_cast<uint32_t>(InvokeDllCommand(&site, words, kCount));
    if constexpr (!std::is_void_v<Result>) return static_cast<Result>(answer);
  }
};

#define QELMO_DLL_FUNCTION(command, library, function, signature) \
  inline constexpr Function<DLL_##command, signature> command{};
QELMO_DLL_COMMANDS(QELMO_DLL_FUNCTION)
#undef QELMO_DLL_FUNCTION

}  // namespace dll
