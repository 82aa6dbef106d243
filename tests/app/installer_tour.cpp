// The installer's main job, shown from outside for scripts/run: opens the
// installer in place, clicks the first download button, and stops at two
// moments for a picture (half way through the transfer, and when the
// completion box shows), then closes the folder window the completion opens
// and the installer.
//   installer_tour PROGRAM
// It talks with the script over its standard streams: at each moment it
// prints "picture NAME LEFT TOP WIDTH HEIGHT" (the screen area to take) and
// waits for a line back; at the end it prints "done SECONDS" (from the click
// to the box), or "failed WHY" and exits with 1.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/app/installer_driver.h"

namespace {

void Say(const std::wstring& line) {
  std::wstring text = line + L"\n";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  std::fputs(utf8.c_str(), stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& why) {
  Say(L"failed " + why);
  return 1;
}

// Asks for a picture of the screen area covering these windows and waits
// until it is taken.
bool Picture(const wchar_t* name, HWND first, HWND second = nullptr) {
  RECT area = {};
  GetWindowRect(first, &area);
  if (second) {
    RECT other = {};
    GetWindowRect(second, &other);
    UnionRect(&area, &area, &other);
  }
  InflateRect(&area, 8, 8);
  area.left = std::max(area.left, 0L);
  area.top = std::max(area.top, 0L);
  Say(std::wstring(L"picture ") + name + L" " + std::to_wstring(area.left) + L" " + std::to_wstring(area.top) + L" " +
      std::to_wstring(area.right - area.left) + L" " + std::to_wstring(area.bottom - area.top));
  char answer[16];
  return std::fgets(answer, sizeof answer, stdin) != nullptr;
}

// The progress bar's position as a share of its range.
double BarShare(HWND window) {
  HWND bar = FindWindowExW(window, nullptr, L"msctls_progress32", nullptr);
  // The limits one at a time: a record would have to be in the other process.
  auto low = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
  auto high = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
  auto position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
  return high > low ? double(position - low) / (high - low) : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  InstallerDriver installer = InstallerDriver::InPlace(argv[1]);
  if (!installer.window()) return Fail(L"the installer's window did not appear");

  std::wstring why;
  DWORD clicked = GetTickCount();
  if (!installer.Click(L"zr配套安装包", &why)) return Fail(why);
  while (BarShare(installer.window()) < 0.4) {
    if (installer.process().HasMessageBox() || installer.process().HasExited() ||
        GetTickCount() - clicked > InstallerDriver::kTimeout)
      return Fail(L"the transfer did not get half way: " + installer.Figures());
    Sleep(20);
  }
  if (!Picture(L"downloading", installer.window())) return Fail(L"no answer from the script");

  MessageBoxSeen box = installer.WaitForCompletionBox(5 * 60 * 1000, &why);
  if (!box.window) return Fail(why);
  double seconds = (GetTickCount() - clicked) / 1000.0;
  if (!Picture(L"completed", installer.window(), box.window)) return Fail(L"no answer from the script");
  ChildProcess::PressOk(box);
  if (!installer.WaitForExplorer()) return Fail(L"the folder window did not open after the completion");
  PostMessageW(installer.window(), WM_CLOSE, 0, 0);
  if (installer.process().WaitForExit(10000) == ChildProcess::kStillRunning) return Fail(L"the installer did not close");
  wchar_t figures[32];
  swprintf(figures, 32, L"%.1f", seconds);
  Say(std::wstring(L"done ") + figures);
  return 0;
}
