#include "ui/units/trans_label.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi_handle.h"
#include "platform/wide_text.h"
#include "platform/window_class.h"
#include "ui/common_controls.h"
#include "ui/component.h"
#include "ui/units/table_unit.h"
#include "ui/units/trans_label_properties.h"
#include "ui/units/unit_colour.h"
#include "ui/units/unit_window.h"
#include "ui/window_manager.h"

using namespace controls;
using namespace units;

namespace {

constexpr wchar_t kClassName[] = L"TransLabel";
constexpr uint32_t kTransLabelFlags = 0x00012040;

struct TransLabelProperties : TransLabelStored {};
constexpr auto kTransLabelTable = TransLabelTable<TransLabelProperties>();

// A write that changes nothing costs nothing: the program rewrites the
// label after every block of a download.
class TransLabel : public TableComponent<TransLabelProperties, kTransLabelTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at);
  int32_t Apply(Change change, int32_t number, const PropertyValue& value);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint(HDC dc);
  // Repaints, at once, what lies behind `screen_rect` and then the label.
  void RepaintBehind(RECT screen_rect);
  void Refresh();
  // Windows under the label that repaint on their own (a progress bar
  // showing a new position at once) would wipe the text: after each of
  // their paints the label redraws the part they painted.
  void FollowWindowsBelow(const RECT& screen_rect);
  void Follow(HWND window);
  void StopFollowing();

  std::wstring wide_text_;
  RECT before_move_ = {};
  std::vector<HWND> followed_;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// While a label repaints what lies behind it, the windows it repaints must
// not call it back: it draws its text once, last.
int g_repainting_behind = 0;

// Subclass of a window under a label (the subclass id is the label): after
// the window painted, the label draws its text again over exactly the part
// that was painted, where the background is fresh.
LRESULT CALLBACK FollowPaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR) {
  if (message != WM_PAINT || wparam || g_repainting_behind)
    return common_controls::DefSubclassProc(window, message, wparam, lparam);
  auto label = reinterpret_cast<HWND>(id);
  OwnedRegion painted(CreateRectRgn(0, 0, 0, 0));
  bool any = GetUpdateRgn(window, painted.get(), FALSE) > NULLREGION;
  LRESULT result = common_controls::DefSubclassProc(window, message, wparam, lparam);
  if (any && IsWindow(label) && IsWindowVisible(label)) {
    POINT from = {0, 0}, to = {0, 0};
    ClientToScreen(window, &from);
    ClientToScreen(label, &to);
    OffsetRgn(painted.get(), from.x - to.x, from.y - to.y);
    RECT client;
    GetClientRect(label, &client);
    OwnedRegion inside(CreateRectRgnIndirect(&client));
    if (CombineRgn(painted.get(), painted.get(), inside.get(), RGN_AND) > NULLREGION) {
      InvalidateRgn(label, painted.get(), FALSE);
      UpdateWindow(label);
    }
  }
  return result;
}

}  // namespace

bool TransLabel::Create(const Placement& at) {
  // No background brush: the window paints nothing but its text.
  if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS)) return false;
  SetPaintFollowing(TransLabelFollows);
  wide_text_ = GbkToWide(p.label_text.c_str());
  // Transparent: the parent and the siblings below paint under it first.
  HWND window =
      CreateChildWindow(WS_EX_TRANSPARENT, kClassName, p.label_text, WS_CHILD | WS_CLIPSIBLINGS | at.extra_style, at);
  if (!window) return false;
  Attach(window);
  return true;
}

int32_t TransLabel::Apply(Change, int32_t number, const PropertyValue&) {
  if (number == TL_LABEL_TEXT) {
    wide_text_ = GbkToWide(p.label_text.c_str());
    SetWindowTextW(hwnd(), wide_text_.c_str());
  }
  Refresh();
  return 0;
}

void TransLabel::Paint(HDC dc) {
  RECT rect;
  GetClientRect(hwnd(), &rect);
  DcSelection font(dc, p.label_font.Handle(hwnd()));
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_NOCLIP;
  uint32_t horz = p.horz_align, vert = p.vert_align;
  if (horz == 1) flags |= DT_CENTER;
  if (horz == 2) flags |= DT_RIGHT;
  if (p.word_wrap) {
    flags |= DT_WORDBREAK;
  } else {
    flags |= DT_SINGLELINE;
    if (vert == 1) flags |= DT_VCENTER;
    if (vert == 2) flags |= DT_BOTTOM;
  }
  auto draw_copy = [&](COLORREF colour, int dx, int dy) {
    RECT moved = rect;
    OffsetRect(&moved, dx, dy);
    SetTextColor(dc, colour);
    DrawTextW(dc, wide_text_.c_str(), -1, &moved, flags);
  };
  switch (p.text_effect) {
    case kEffectRaised:
      draw_copy(RGB(255, 255, 255), 1, 1);
      break;
    case kEffectSunken:
      draw_copy(RGB(255, 255, 255), 0, 0);
      OffsetRect(&rect, 1, 1);
      break;
    case kEffectShadow:
      draw_copy(RGB(0, 0, 0), 2, 2);
      break;
    default:
      break;
  }
  draw_copy(p.label_color == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : (p.label_color & 0x00FFFFFF), 0, 0);
}

// The label has nothing of its own under its text: before it draws, the
// window that holds it and every window under it repaint that part, in
// z-order from the bottom. All at once, because the program writes the
// label from inside long loops that never reach the message loop.
void TransLabel::RepaintBehind(RECT screen_rect) {
  HWND label = hwnd();
  if (!label) return;
  HWND ancestor = GetParent(label);
  while (ancestor && (GetWindowLongW(ancestor, GWL_STYLE) & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
    HWND up = GetParent(ancestor);
    if (!up) break;
    ancestor = up;
  }
  if (!ancestor || !IsWindowVisible(ancestor)) return;
  FollowWindowsBelow(screen_rect);
  ++g_repainting_behind;

  RECT on_ancestor = screen_rect;
  MapWindowPoints(nullptr, ancestor, reinterpret_cast<POINT*>(&on_ancestor), 2);
  InvalidateRect(ancestor, &on_ancestor, TRUE);
  UpdateWindow(ancestor);

  std::vector<HWND> descendants;  // depth first, top of the z-order first
  EnumChildWindows(ancestor, CollectWindow, reinterpret_cast<LPARAM>(&descendants));
  for (auto it = descendants.rbegin(); it != descendants.rend(); ++it) {
    HWND window = *it;
    if (window == label || !IsWindowVisible(window)) continue;
    RECT bounds, overlap;
    GetWindowRect(window, &bounds);
    if (!IntersectRect(&overlap, &bounds, &screen_rect)) continue;
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&overlap), 2);
    RedrawWindow(window, &overlap, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  }
  --g_repainting_behind;
  // Last, the text, once: drawn twice over itself, smoothed glyphs darken.
  if (IsWindowVisible(label)) {
    InvalidateRect(label, nullptr, FALSE);
    UpdateWindow(label);
  }
}

// Later siblings lie under the label, and so do their children.
void TransLabel::FollowWindowsBelow(const RECT& screen_rect) {
  for (HWND sibling = GetWindow(hwnd(), GW_HWNDNEXT); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    RECT bounds, overlap;
    GetWindowRect(sibling, &bounds);
    if (!IntersectRect(&overlap, &bounds, &screen_rect)) continue;
    Follow(sibling);
    std::vector<HWND> children;
    EnumChildWindows(sibling, CollectWindow, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) Follow(child);
  }
}

bool TransLabelFollows(HWND window, HWND label) {
  DWORD_PTR data = 0;
  return common_controls::GetWindowSubclass(window, FollowPaint, reinterpret_cast<UINT_PTR>(label), &data) != FALSE;
}

void TransLabel::Follow(HWND window) {
  auto id = reinterpret_cast<UINT_PTR>(hwnd());
  DWORD_PTR data = 0;
  if (common_controls::GetWindowSubclass(window, FollowPaint, id, &data)) return;
  if (common_controls::SetWindowSubclass(window, FollowPaint, id, 0)) followed_.push_back(window);
}

void TransLabel::StopFollowing() {
  for (HWND window : followed_)
    if (IsWindow(window)) common_controls::RemoveWindowSubclass(window, FollowPaint, reinterpret_cast<UINT_PTR>(hwnd()));
  followed_.clear();
}

void TransLabel::Refresh() {
  if (!hwnd() || !IsWindowVisible(hwnd())) return;
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  RepaintBehind(rect);
}

LRESULT TransLabel::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      Paint(dc);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_UNIT_AFTER_CREATED: {
      // The window is complete: follow what lies under the label from now on.
      RECT rect;
      GetWindowRect(hwnd(), &rect);
      FollowWindowsBelow(rect);
      break;
    }
    case WM_DESTROY:
      StopFollowing();
      break;
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_WINDOWPOSCHANGING:
      GetWindowRect(hwnd(), &before_move_);
      break;
    case WM_WINDOWPOSCHANGED: {
      LRESULT result = Default(message, wparam, lparam);
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lparam);
      RECT now;
      GetWindowRect(hwnd(), &now);
      bool shown_or_hidden = (position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0;
      if (shown_or_hidden || !EqualRect(&now, &before_move_)) {
        // The old place loses the text, the new one gets it.
        RECT both;
        UnionRect(&both, &before_move_, &now);
        RepaintBehind(both);
      }
      return result;
    }
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

namespace {

constexpr auto kProperties = PropertyTypes<kTransLabelTable>();

}  // namespace

const UnitDescriptor kTransLabelUnit = {"TransLabel", "透明标签", kTransLabelFlags, kProperties.data(),
                                        kProperties.size(), TableUnit<TransLabel>::Interface};
