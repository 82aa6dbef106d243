// Times the installer itself: from the click to the completion message, with
// its window showing, and its peak memory.
//   installer_bench PROGRAM FOLDER
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "child_process.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring folder = argv[2];
  std::wstring exe = folder + L"\\qelmo.exe";
  CopyFileW(argv[1], exe.c_str(), FALSE);
  ChildProcess child;
  if (!child.Start(exe, L"", folder)) return 1;
  HWND window = nullptr;
  for (DWORD t = GetTickCount(); !window && GetTickCount() - t < 30000; Sleep(20))
    for (HWND w : child.Windows()) window = w;
  HWND button = FindWindowExW(window, nullptr, L"Button", L"zr配套安装包");
  DWORD start = GetTickCount();
  PostMessageW(button, BM_CLICK, 0, 0);
  MessageBoxSeen box = child.WaitForMessageBox(600000);
  double seconds = (GetTickCount() - start) / 1000.0;
  PROCESS_MEMORY_COUNTERS memory = {};
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.id());
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  CloseHandle(process);
  ChildProcess::PressOk(box);
  child.WaitForExit(30000);
  std::printf("%.3f %lu\n", seconds, static_cast<unsigned long>(memory.PeakWorkingSetSize));
  return box.window ? 0 : 1;
}
