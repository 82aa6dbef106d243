#include "ui/units/unit_window.h"

#include "platform/wide_text.h"
#include "ui/common_controls.h"

namespace controls {

void EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  done = common_controls::InitCommonControlsEx(&init) != FALSE;
}

void RepaintNow(HWND window) {
  if (!window) return;
  InvalidateRect(window, nullptr, TRUE);
  ShowNow(window);
}

namespace {
bool (*g_follows_paints)(HWND window, HWND follower) = nullptr;
}  // namespace

void SetPaintFollowing(bool (*follows)(HWND window, HWND follower)) { g_follows_paints = follows; }

void ShowNow(HWND window) {
  if (!window) return;
  UpdateWindow(window);
  RECT own, other, overlap;
  if (!GetWindowRect(window, &own)) return;
  // Nearest first, so that higher ones draw over lower ones. A transparent
  // label that follows this window's paints has printed itself already.
  for (HWND sibling = GetWindow(window, GW_HWNDPREV); sibling; sibling = GetWindow(sibling, GW_HWNDPREV)) {
    if (!(GetWindowLongW(sibling, GWL_EXSTYLE) & WS_EX_TRANSPARENT) || !IsWindowVisible(sibling)) continue;
    if (g_follows_paints && g_follows_paints(window, sibling)) continue;
    if (GetWindowRect(sibling, &other) && IntersectRect(&overlap, &own, &other))
      RedrawWindow(sibling, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

HWND CreateChildWindow(DWORD ex_style, const wchar_t* class_name, const std::string& text, DWORD style,
                       const Placement& at) {
  return CreateWindowExW(ex_style, class_name, GbkToWide(text.c_str()).c_str(), style, at.rect.left, at.rect.top,
                         at.rect.right - at.rect.left, at.rect.bottom - at.rect.top, at.parent,
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(at.control_id)), nullptr, nullptr);
}

}  // namespace controls
