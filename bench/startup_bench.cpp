// Start-up time and memory of GUI programs, in interleaved launches: each
// round starts every program once, in turn, so that all of them meet the
// same machine. A launch counts from CreateProcess until the program's
// first window is visible, answers a message sent to it and has nothing
// left to paint; the memory is the peak working set at that moment. Each
// program is then closed. Prints one line per program: its name, the median
// and spread of the times in ms, and the median peak working set in bytes.
//   startup_bench ROUNDS NAME "COMMAND LINE" [NAME "COMMAND LINE" ...]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Program {
  std::wstring name, command_line;
  std::vector<double> milliseconds;
  std::vector<double> peak_bytes;
};

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * now.QuadPart / frequency.QuadPart;
}

bool Launch(Program& program) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring command_line = program.command_line;
  double start = Now();
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  WindowSearch search = {process.dwProcessId, nullptr};
  bool shown = false;
  while (!shown && Now() - start < 30000) {
    search.found = nullptr;
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR ignored;
    shown = search.found && SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) &&
            !GetUpdateRect(search.found, nullptr, FALSE);
    if (!shown) Sleep(1);
  }
  double elapsed = Now() - start;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!shown) return false;
  program.milliseconds.push_back(elapsed);
  program.peak_bytes.push_back(static_cast<double>(memory.PeakWorkingSetSize));
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc % 2) return 2;
  int rounds = _wtoi(argv[1]);
  std::vector<Program> programs;
  for (int i = 2; i + 1 < argc; i += 2) programs.push_back({argv[i], argv[i + 1], {}, {}});
  for (Program& program : programs) Launch(program);  // warm-up: files into the cache, the server running
  for (Program& program : programs) program.milliseconds.clear(), program.peak_bytes.clear();
  for (int round = 0; round < rounds; ++round)
    for (Program& program : programs)
      if (!Launch(program)) {
        std::fwprintf(stderr, L"%ls did not show a window\n", program.name.c_str());
        return 1;
      }
  for (const Program& program : programs) {
    auto [low, high] = std::minmax_element(program.milliseconds.begin(), program.milliseconds.end());
    std::wprintf(L"%ls %.1f %.1f %.1f %.0f\n", program.name.c_str(), Median(program.milliseconds), *low, *high,
                 Median(program.peak_bytes));
  }
  return 0;
}
