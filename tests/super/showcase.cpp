// The super button tests' scenarios: scenes held up for a screenshot
// (--scenario NAME [SECONDS]): "tooltip" hovers the help icon until its tip
// shows; "percent" shows a progress bar at 57% with "57%" over it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/harness/test_program.h"
#include "tests/super/super_support.h"
#include "ui/units/trans_label.h"

namespace {

int ShowScene(const std::string& name, int arg_count, char** args) {
  const int seconds = arg_count >= 1 ? std::stoi(args[0]) : 10;
  PrepareTestWindows();
  HWND window = LoadTestWindow();
  if (!window) return 2;
  if (name == "percent") {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    HWND label = WindowOf(kPercentLabel);
    RECT rect = RectInParent(label);
    HWND bar = CreateWindowExW(WS_EX_STATICEDGE, PROGRESS_CLASSW, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | PBS_SMOOTH, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, window, reinterpret_cast<HMENU>(999),
                               nullptr, nullptr);
    SetWindowPos(bar, label, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int percent = 0; percent <= 57; ++percent) {
      std::string text = std::to_string(percent) + "%";
      WriteText(kPercentLabel, 8, text.c_str());  // the label's text
      SendMessageW(bar, PBM_SETPOS, percent, 0);
      UpdateWindow(bar);
      Sleep(10);
    }
  } else if (name == "tooltip") {
    RECT button;
    GetWindowRect(WindowOf(kHelpButton), &button);
    MoveMouseTo(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  } else {
    return 2;
  }
  PumpFor(static_cast<DWORD>(seconds) * 1000);
  UnloadTestWindows();
  return 0;
}

}  // namespace

const TestProgram kTestProgram = {nullptr, ShowScene};
