#include "system_library.h"

#include <string>

namespace {

std::wstring SystemPath(const wchar_t* library) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(folder, length) + L"\\" + library;
}

}  // namespace

FARPROC SystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = GetModuleHandleW(SystemPath(library).c_str());
  if (!module) {
    std::wstring path = SystemPath(library);
    if (path.empty()) return nullptr;
    module = LoadLibraryW(path.c_str());
  }
  return module ? GetProcAddress(module, function) : nullptr;
}

FARPROC LoadedSystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = GetModuleHandleW(SystemPath(library).c_str());
  return module ? GetProcAddress(module, function) : nullptr;
}
