#include "runtime/system_library.h"

#include <cstring>
#include <string>

namespace {

// LoadLibraryEx's flag for "the system folder only" came with
// SetDefaultDllDirectories: Windows 8, and Windows 7 with its update. Where
// it is missing, passing it fails with error 87, so its presence is told by
// the function's.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesEntry() {
  return reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
}

bool HasSystemSearchFlag() {
  static const bool has = SetDefaultDllDirectoriesEntry() != nullptr;
  return has;
}

std::wstring SystemPath(const wchar_t* library) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(folder, length) + L"\\" + library;
}

// The system folder's copy of the library when it is loaded already.
HMODULE LoadedSystemModule(const wchar_t* library) {
  std::wstring path = SystemPath(library);
  return path.empty() ? nullptr : GetModuleHandleW(path.c_str());
}

// The libraries that Windows brings and a program may name in its DLL
// commands: those it declares, the defaults searched for a declaration
// without a library, and their usual neighbours.
const char* const kSystemLibraries[] = {
    "kernel32.dll", "user32.dll",  "gdi32.dll",   "advapi32.dll", "shell32.dll",  "msvcrt.dll",
    "wininet.dll",  "bcrypt.dll",  "mpr.dll",     "comctl32.dll", "comdlg32.dll", "ole32.dll",
    "oleaut32.dll", "shlwapi.dll", "imm32.dll",   "winmm.dll",    "ws2_32.dll",   "version.dll",
    "crypt32.dll",  "secur32.dll", "winhttp.dll", "urlmon.dll",   "uxtheme.dll",  "dwmapi.dll",
    "msimg32.dll",  "ntdll.dll",   "psapi.dll",   "iphlpapi.dll", "userenv.dll",  "winspool.drv",
};

}  // namespace

void RestrictLibrarySearch() {
  if (SetDefaultDllDirectoriesFunction set = SetDefaultDllDirectoriesEntry()) set(kSearchSystem32);
  // Everywhere: the current directory (the program's folder, once start-up
  // has set it) leaves the search of older systems too.
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HasSystemSearchFlag()) return LoadLibraryExW(name, nullptr, kSearchSystem32);
  // Older systems: the full path; the altered search then looks for what the
  // library pulls in beside it first, in the system folder.
  std::wstring path = SystemPath(name);
  return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool IsSystemLibraryName(const char* name) {
  if (!name || !*name || std::strpbrk(name, "\\/:")) return false;
  std::string lower(name);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  // Without an extension, the system adds ".dll".
  if (lower.find('.') == std::string::npos) lower += ".dll";
  for (const char* library : kSystemLibraries)
    if (lower == library) return true;
  return false;
}

FARPROC SystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = LoadedSystemModule(library);
  if (!module) module = LoadSystemLibrary(library);
  return module ? GetProcAddress(module, function) : nullptr;
}

FARPROC LoadedSystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = LoadedSystemModule(library);
  return module ? GetProcAddress(module, function) : nullptr;
}
