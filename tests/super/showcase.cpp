// The super button tests' scenarios: scenes held up for a screenshot
// (--scenario NAME [SECONDS]): "tooltip" hovers the help icon until its tip
// shows; "percent" shows a progress bar at 57% with "57%" over it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/harness/test_program.h"
#include "tests/super/super_support.h"

namespace {

int ShowScene(const std::string& name, int arg_count, char** args) {
  const int seconds = arg_count >= 1 ? std::stoi(args[0]) : 10;
  HWND window = OpenSuperWindow();
  if (!window) return 2;
  if (name == "percent") {
    HWND bar = AddProgressBarUnderLabel(window);
    for (int percent = 0; percent <= 57; ++percent) {
      std::string text = std::to_string(percent) + "%";
      kSuperWindow.WriteText(kPercentLabel, 8, text.c_str());  // the label's text
      SendMessageW(bar, PBM_SETPOS, percent, 0);
      UpdateWindow(bar);
      Sleep(10);
    }
  } else if (name == "tooltip") {
    RECT button;
    GetWindowRect(kSuperWindow.HandleOf(kHelpButton), &button);
    MoveMouseTo(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  } else {
    return 2;
  }
  PumpFor(static_cast<DWORD>(seconds) * 1000);
  DropTestWindows();
  return 0;
}

}  // namespace

const TestProgram kTestProgram = {nullptr, ShowScene};
