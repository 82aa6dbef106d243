#include "trans_label.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "../font_record.h"
#include "../property_writer.h"
#include "../window_manager.h"
#include "wide_text.h"

namespace {

constexpr wchar_t kClassName[] = L"TransLabel";
constexpr uint32_t kTransLabelFlags = 0x00012040;
constexpr uint32_t kDefaultColourMarker = 0xFF000000;

std::string Text(ByteRun run) { return std::string(reinterpret_cast<const char*>(run.data()), run.size()); }

uint32_t ClampChoice(uint32_t value, uint32_t maximum) {
  auto v = static_cast<int32_t>(value);
  return v < 0 ? 0 : std::min(static_cast<uint32_t>(v), maximum);
}

template <typename T>
T* AsPointer(uint32_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}
uint32_t AsWord(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

// No background brush: the window paints nothing but its text.
bool RegisterLabelClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW window_class = {};
  window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kClassName;
  registered = RegisterClassW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

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
  if (message != WM_PAINT || wparam || g_repainting_behind) return DefSubclassProc(window, message, wparam, lparam);
  auto label = reinterpret_cast<HWND>(id);
  HRGN painted = CreateRectRgn(0, 0, 0, 0);
  bool any = GetUpdateRgn(window, painted, FALSE) > NULLREGION;
  LRESULT result = DefSubclassProc(window, message, wparam, lparam);
  if (any && IsWindow(label) && IsWindowVisible(label)) {
    POINT from = {0, 0}, to = {0, 0};
    ClientToScreen(window, &from);
    ClientToScreen(label, &to);
    OffsetRgn(painted, from.x - to.x, from.y - to.y);
    RECT client;
    GetClientRect(label, &client);
    HRGN inside = CreateRectRgnIndirect(&client);
    if (CombineRgn(painted, painted, inside, RGN_AND) > NULLREGION) {
      InvalidateRgn(label, painted, FALSE);
      UpdateWindow(label);
    }
    DeleteObject(inside);
  }
  DeleteObject(painted);
  return result;
}

}  // namespace

bool TransLabelProperties::Read(ByteReader& reader) {
  *this = TransLabelProperties();
  uint32_t version = reader.Word();
  if (reader.failed() || version > kVersion) return false;
  text_effect = reader.Word();
  colour = reader.Word();
  horz_align = reader.Word();
  vert_align = reader.Word();
  word_wrap = reader.Word();
  ByteRun font_run = reader.Buffer();
  font.assign(font_run.begin(), font_run.end());
  text = Text(reader.CountedText());
  return !reader.failed();
}

HGLOBAL TransLabelProperties::Save() const {
  PropertyWriter writer;
  writer.Word(kVersion);
  for (uint32_t word : {text_effect, colour, horz_align, vert_align, word_wrap}) writer.Word(word);
  writer.Buffer(font);
  writer.CountedText(text);
  return writer.ToGlobal();
}

bool TransLabel::Create(const TransLabelProperties& properties, uint32_t extra_style, HWND parent,
                        uint32_t control_id, RECT rect) {
  if (!RegisterLabelClass()) return false;
  properties_ = properties;
  wide_text_ = GbkToWide(properties_.text.c_str());
  // Transparent: the parent and the siblings below paint under it first.
  HWND window = CreateWindowExW(WS_EX_TRANSPARENT, kClassName, wide_text_.c_str(),
                                WS_CHILD | WS_CLIPSIBLINGS | extra_style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return false;
  Attach(window);
  ApplyFont();
  return true;
}

void TransLabel::ApplyFont() {
  if (font_) DeleteObject(font_);
  font_ = properties_.font.size() == sizeof(LOGFONTA)
              ? CreateUnitFont(*reinterpret_cast<const LOGFONTA*>(properties_.font.data()))
              : nullptr;
}

void TransLabel::Paint(HDC dc) {
  const TransLabelProperties& p = properties_;
  RECT rect;
  GetClientRect(hwnd(), &rect);
  HGDIOBJ old_font = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_NOCLIP;
  uint32_t horz = ClampChoice(p.horz_align, 2), vert = ClampChoice(p.vert_align, 2);
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
  switch (ClampChoice(p.text_effect, kEffectShadow)) {
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
  draw_copy(p.colour == kDefaultColourMarker ? GetSysColor(COLOR_BTNFACE) : (p.colour & 0x00FFFFFF), 0, 0);
  SelectObject(dc, old_font);
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
  return GetWindowSubclass(window, FollowPaint, reinterpret_cast<UINT_PTR>(label), &data) != FALSE;
}

void TransLabel::Follow(HWND window) {
  auto id = reinterpret_cast<UINT_PTR>(hwnd());
  DWORD_PTR data = 0;
  if (GetWindowSubclass(window, FollowPaint, id, &data)) return;
  if (SetWindowSubclass(window, FollowPaint, id, 0)) followed_.push_back(window);
}

void TransLabel::StopFollowing() {
  for (HWND window : followed_)
    if (IsWindow(window)) RemoveWindowSubclass(window, FollowPaint, reinterpret_cast<UINT_PTR>(hwnd()));
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

void TransLabel::OnFinalDestroy() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  Component::OnFinalDestroy();
}

// A write that changes nothing costs nothing: the program rewrites the
// label after every block of a download.
int32_t TransLabel::SetProperty(int32_t property, const PropertyValue& value) {
  TransLabelProperties& p = properties_;
  auto set_word = [](uint32_t* field, uint32_t word) {
    if (*field == word) return false;
    *field = word;
    return true;
  };
  bool changed = false;
  switch (property) {
    case TL_TEXT: {
      const char* text = value.low ? AsPointer<const char>(value.low) : "";
      if (p.text == text) return 0;
      p.text = text;
      wide_text_ = GbkToWide(text);
      SetWindowTextW(hwnd(), wide_text_.c_str());
      changed = true;
      break;
    }
    case TL_TEXT_EFFECT: changed = set_word(&p.text_effect, ClampChoice(value.low, kEffectShadow)); break;
    case TL_FONT: {
      std::vector<uint8_t> font;
      if (value.low && value.high >= sizeof(LOGFONTA))
        font.assign(AsPointer<const uint8_t>(value.low), AsPointer<const uint8_t>(value.low) + sizeof(LOGFONTA));
      changed = font != p.font;
      if (changed) {
        p.font = std::move(font);
        ApplyFont();
      }
      break;
    }
    case TL_COLOUR: changed = set_word(&p.colour, value.low); break;
    case TL_HORZ_ALIGN: changed = set_word(&p.horz_align, ClampChoice(value.low, 2)); break;
    case TL_WORD_WRAP: changed = set_word(&p.word_wrap, value.low != 0 ? 1 : 0); break;
    case TL_VERT_ALIGN: changed = set_word(&p.vert_align, ClampChoice(value.low, 2)); break;
    default: return 0;
  }
  if (changed) Refresh();
  return 0;
}

bool TransLabel::GetProperty(int32_t property, PropertyValue* value) {
  const TransLabelProperties& p = properties_;
  switch (property) {
    case TL_TEXT: *value = {AsWord(p.text.c_str()), 0}; return true;
    case TL_TEXT_EFFECT: *value = {p.text_effect, 0}; return true;
    case TL_FONT:  // null: the default GUI font
      *value = {p.font.size() == sizeof(LOGFONTA) ? AsWord(p.font.data()) : 0u, static_cast<uint32_t>(p.font.size())};
      return true;
    case TL_COLOUR: *value = {p.colour, 0}; return true;
    case TL_HORZ_ALIGN: *value = {p.horz_align, 0}; return true;
    case TL_WORD_WRAP: *value = {p.word_wrap, 0}; return true;
    case TL_VERT_ALIGN: *value = {p.vert_align, 0}; return true;
    default: return false;
  }
}

namespace {

const PropertyInfo kTransLabelProperties[8 + TL_COUNT] = {
    QELMO_STANDARD_PROPERTIES, {PT_TEXT, 0},  {PT_CHOICE, 0}, {PT_FONT, 0},
    {PT_COLOUR, 0},            {PT_CHOICE, 0}, {PT_TRUTH, 0},  {PT_CHOICE, 0},
};

Component* CreateTransLabel(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND parent,
                            uint32_t control_id, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                            uint32_t window_id, uint32_t element_id, int32_t, int32_t) {
  TransLabelProperties properties;
  if (size > 0) {
    ByteReader reader(data, size);
    if (!properties.Read(reader)) return nullptr;
  }
  auto* label = new TransLabel(window_id, element_id);
  if (!label->Create(properties, extra_style, parent, control_id, RECT{left, top, left + width, top + height})) {
    delete label;
    return nullptr;
  }
  return label;
}

int32_t SetTransLabelProperty(Component* object, int32_t property, PropertyValue* value, int32_t) {
  return static_cast<TransLabel*>(object)->SetProperty(property, *value);
}
int32_t GetTransLabelProperty(Component* object, int32_t property, PropertyValue* value) {
  return static_cast<TransLabel*>(object)->GetProperty(property, value) ? 1 : 0;
}
HGLOBAL SaveTransLabel(Component* object) { return static_cast<TransLabel*>(object)->properties().Save(); }

void* TransLabelInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateTransLabel);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetTransLabelProperty);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&SaveTransLabel);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetTransLabelProperty);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kTransLabelUnit = {"TransLabel", "透明标签", kTransLabelFlags, kTransLabelProperties,
                                        8 + TL_COUNT, TransLabelInterface};
