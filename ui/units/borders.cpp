#include "ui/units/borders.h"

namespace controls {

DWORD BorderExStyle(uint32_t border) {
  switch (border) {
    case 1: return WS_EX_CLIENTEDGE;
    case 2: return WS_EX_DLGMODALFRAME;
    case 3: return WS_EX_STATICEDGE;
    case 4: return WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
    default: return 0;
  }
}

DWORD BorderStyle(uint32_t border) { return border == 5 ? WS_BORDER : 0; }

void ApplyBorderStyle(HWND window, uint32_t border) {
  constexpr DWORD kAllEx = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  LONG new_ex = static_cast<LONG>((ex_style & ~kAllEx) | BorderExStyle(border));
  LONG new_style = static_cast<LONG>((style & ~WS_BORDER) | BorderStyle(border));
  if (new_ex == ex_style && new_style == style) return;
  SetWindowLongW(window, GWL_EXSTYLE, new_ex);
  SetWindowLongW(window, GWL_STYLE, new_style);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace controls
