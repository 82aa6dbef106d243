// A library that a test lays beside a program under the name of a system
// library, as anyone could in a Downloads folder. Whenever it is loaded it
// leaves NAME.ran beside itself, so the test can tell that it ran.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t mark[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(self, mark, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcpyW(mark + length, L".ran");
  HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
