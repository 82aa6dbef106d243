// Making and showing a unit's window: its place, the common control
// classes, and painting at once from inside the application's loops.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace controls {

// Where and how a unit's window is made (operation 1's arguments).
struct Placement {
  uint32_t extra_style;
  HWND parent;  // the owner, for a window
  uint32_t control_id;
  HMENU menu;
  RECT rect;
};
// A child window with a GBK text, placed and numbered as asked.
HWND CreateChildWindow(DWORD ex_style, const wchar_t* class_name, const std::string& text, DWORD style,
                       const Placement& at);

// The progress, status and up-down classes.
void EnsureCommonControls();

// Paints a window's pending and fresh changes at once: the application
// writes properties from inside long loops that run no message loop.
void RepaintNow(HWND window);
// Paints what a change left pending (UpdateWindow), then the transparent
// siblings above the window that overlap it: they are not clipped out of
// it, so its painting covered them.
void ShowNow(HWND window);
// Whether `follower` prints itself again after each paint of `window`, and
// so needs no redraw from ShowNow. The unit whose windows follow others'
// paints answers it; until one does, nothing follows.
void SetPaintFollowing(bool (*follows)(HWND window, HWND follower));

}  // namespace controls
