// Template units are pixels at 96 DPI (100%); a window is laid out at the
// DPI it is shown at. The program declares itself aware of the system's
// DPI, which every one of its windows then has.
#pragma once
#include <windows.h>

namespace display {

constexpr int kTemplateDpi = 96;

// The system's DPI, read once: it is fixed for the life of a process.
int SystemDpi();
// The DPI `window` is laid out at.
int WindowDpi(HWND window);

// Template units as pixels at `dpi`, and pixels back as template units,
// each rounded to the nearest.
inline int ToPixels(int units, int dpi) { return MulDiv(units, dpi, kTemplateDpi); }
inline int ToUnits(int pixels, int dpi) { return MulDiv(pixels, kTemplateDpi, dpi); }

}  // namespace display
