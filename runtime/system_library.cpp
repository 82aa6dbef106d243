#include "system_library.h"

#include <string>

namespace {

// The library in the system folder: found there when loaded already, loaded
// from there when `load` says so; null otherwise.
HMODULE SystemModule(const wchar_t* library, bool load) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path = std::wstring(folder, length) + L"\\" + library;
  HMODULE module = GetModuleHandleW(path.c_str());
  return module || !load ? module : LoadLibraryW(path.c_str());
}

}  // namespace

FARPROC SystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = SystemModule(library, true);
  return module ? GetProcAddress(module, function) : nullptr;
}

FARPROC LoadedSystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = SystemModule(library, false);
  return module ? GetProcAddress(module, function) : nullptr;
}
