// Started by the shell_execute tests: writes what it was started with (its
// arguments, current folder and show command) to the file named by
// QELMO_PROBE_OUT, as UTF-16, one item a line.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t out[MAX_PATH * 2] = {};
  if (!GetEnvironmentVariableW(L"QELMO_PROBE_OUT", out, MAX_PATH * 2)) return 1;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring report = L"args=";
  for (int i = 1; i < argc; ++i) report += (i > 1 ? L"|" : L"") + std::wstring(argv[i]);
  LocalFree(argv);
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);
  report += std::wstring(L"\ncwd=") + folder;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1;
  report += L"\nshow=" + std::to_wstring(show) + L"\n";
  // Written aside and renamed, so a reader never sees half of it.
  std::wstring temporary = std::wstring(out) + L".part";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(temporary.c_str(), out, MOVEFILE_REPLACE_EXISTING);
  return 0;
}
