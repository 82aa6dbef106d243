#include "platform/display_scale.h"

namespace display {

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int answer = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return answer > 0 ? answer : kTemplateDpi;
  }();
  return dpi;
}

int WindowDpi(HWND) { return SystemDpi(); }

}  // namespace display
