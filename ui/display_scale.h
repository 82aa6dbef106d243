// Template units are pixels at 96 DPI (100%); a window is laid out at the
// DPI of the screen it is on. The program declares itself aware of each
// screen's DPI where the system can tell it (Windows 10 1703 on), and of
// the system's DPI elsewhere: every window then has the system's.
#pragma once
#include <windows.h>

namespace display {

constexpr int kTemplateDpi = 96;

// The system's DPI, read once: it is fixed for the life of a process.
int SystemDpi();
// The DPI the system gives `window`: its screen's where the system has the
// query (Windows 10 1607 on), else the system's.
int SystemWindowDpi(HWND window);

// The DPI `window` and its children are laid out at: what its top-level
// window was last laid out for, else the system's answer for it (the
// system's DPI for no window).
int WindowDpi(HWND window);
// Records the DPI a top-level window is laid out at: when it is made, and
// when it moves to a screen of another scale, before the system's own
// query changes. False, and nothing recorded, for a DPI no screen has.
// Forgotten when the window is destroyed.
bool SetLayoutDpi(HWND top_level, int dpi);
void ForgetLayoutDpi(HWND top_level);

// A system metric (SM_CXICON, SM_CYEDGE, ...) at `dpi`.
int SystemMetricAt(int index, int dpi);

// Template units as pixels at `dpi`, and pixels back as template units,
// each rounded to the nearest.
inline int ToPixels(int units, int dpi) { return MulDiv(units, dpi, kTemplateDpi); }
inline int ToUnits(int pixels, int dpi) { return MulDiv(pixels, kTemplateDpi, dpi); }

}  // namespace display
