#include "super_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "../font_record.h"
#include "../property_writer.h"
#include "notify.h"
#include "wide_text.h"

namespace {

constexpr int kMargin = 3;  // inside the button, around picture and text
constexpr int kTooltipWidth = 400;
constexpr uint32_t kSuperBtnFlags = 0x00000840;
constexpr wchar_t kStandardClickName[] = L"STANDARD_CLICK";

std::string Text(ByteRun run) { return std::string(reinterpret_cast<const char*>(run.data()), run.size()); }
std::vector<uint8_t> Bytes(ByteRun run) { return std::vector<uint8_t>(run.begin(), run.end()); }

uint32_t ClampChoice(uint32_t value, uint32_t maximum) {
  auto v = static_cast<int32_t>(value);
  return v < 0 ? 0 : std::min(static_cast<uint32_t>(v), maximum);
}

template <typename T>
T* AsPointer(uint32_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}
uint32_t AsWord(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

void AssignBytes(std::vector<uint8_t>* target, const PropertyValue& value) {
  const auto* data = AsPointer<const uint8_t>(value.low);
  if (data && value.high)
    target->assign(data, data + value.high);
  else
    target->clear();
}

void PlayThroughRuntime(const uint8_t* wave, uint32_t size) {
  uint32_t request[3] = {AsWord(wave), size, 0};
  NotifyRuntime(NR_PLAY_SOUND, static_cast<int32_t>(AsWord(request)), 0);
}

// The program's own click, a WAVE resource; null when the program has none.
const uint8_t* StandardClick(uint32_t* size) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, kStandardClickName, L"WAVE");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  if (!loaded) return nullptr;
  *size = SizeofResource(module, found);
  return static_cast<const uint8_t*>(LockResource(loaded));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// One-pixel lines: top and left in one colour, bottom and right in another.
void Edge(HDC dc, const RECT& r, int top_left, int bottom_right) {
  HBRUSH light = GetSysColorBrush(top_left), dark = GetSysColorBrush(bottom_right);
  RECT top = {r.left, r.top, r.right - 1, r.top + 1}, left = {r.left, r.top, r.left + 1, r.bottom - 1};
  RECT bottom = {r.left, r.bottom - 1, r.right, r.bottom}, right = {r.right - 1, r.top, r.right, r.bottom};
  FillRect(dc, &top, light);
  FillRect(dc, &left, light);
  FillRect(dc, &bottom, dark);
  FillRect(dc, &right, dark);
}

}  // namespace

ButtonSoundPlayer g_button_sound_player = PlayThroughRuntime;

COLORREF LightenColour(COLORREF colour, int amount) {
  int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  int add = std::min(amount, 255 - std::max({r, g, b}));
  return RGB(r + add, g + add, b + add);
}

// ------------------------------------------------------------ properties

SuperButtonProperties::SuperButtonProperties() {
  COLORREF text = GetSysColor(COLOR_BTNTEXT), face = GetSysColor(COLOR_BTNFACE);
  colours[kFgOut] = colours[kFgIn] = colours[kFgFocus] = text;
  colours[kBkOut] = colours[kBkFocus] = face;
  colours[kBkIn] = LightenColour(face, 32);
}

bool SuperButtonProperties::Read(ByteReader& reader) {
  *this = SuperButtonProperties();
  uint32_t version = reader.Word();
  if (reader.failed() || version > kVersion) return false;
  for (uint32_t* word : {&btn_style, &check_box, &checked, &align_style, &press_style, &draw_border, &draw_focus,
                         &trans_colour_in, &trans_colour_out, &default_colour, &standard_sound, &default_style})
    *word = reader.Word();
  for (uint32_t& colour : colours) colour = reader.Word();
  for (std::vector<uint8_t>* buffer : {&pic_in, &pic_out, &font, &over_sound, &click_sound})
    *buffer = Bytes(reader.Buffer());
  caption = Text(reader.CountedText());
  tooltip = Text(reader.CountedText());
  if (version >= 2) {
    trans_colour_disabled = reader.Word();
    pic_disabled = Bytes(reader.Buffer());
  }
  return !reader.failed();
}

HGLOBAL SuperButtonProperties::Save() const {
  PropertyWriter writer;
  writer.Word(kVersion);
  for (uint32_t word : {btn_style, check_box, checked, align_style, press_style, draw_border, draw_focus,
                        trans_colour_in, trans_colour_out, default_colour, standard_sound, default_style})
    writer.Word(word);
  for (uint32_t colour : colours) writer.Word(colour);
  for (const std::vector<uint8_t>* buffer : {&pic_in, &pic_out, &font, &over_sound, &click_sound})
    writer.Buffer(*buffer);
  writer.CountedText(caption);
  writer.CountedText(tooltip);
  writer.Word(trans_colour_disabled);
  writer.Buffer(pic_disabled);
  return writer.ToGlobal();
}

// ---------------------------------------------------------------- object

bool SuperButton::Create(const SuperButtonProperties& properties, uint32_t extra_style, HWND parent,
                         uint32_t control_id, RECT rect) {
  properties_ = properties;
  is_default_ = !properties_.check_box && properties_.default_style == 1;
  // Drawn by us; the check-box and default-button types live in our state.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | extra_style | BS_OWNERDRAW;
  HWND window = CreateWindowExW(0, L"BUTTON", GbkToWide(properties_.caption.c_str()).c_str(), style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return false;
  Attach(window);
  for (int slot = 0; slot < kSlotCount; ++slot) BuildPicture(static_cast<Slot>(slot));
  ApplyFont();
  // The tooltip window is made when the mouse first comes over the button:
  // each one is a top-level window, and made up front they were a sixth of
  // the installer's start-up.
  return true;
}

POINT SuperButton::PressedOffset() const { return properties_.press_style == 1 ? POINT{0, 2} : POINT{1, 1}; }

COLORREF SuperButton::DrawColour(ButtonColour which) const {
  bool foreground = which == kFgOut || which == kFgIn || which == kFgFocus;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (properties_.default_colour) {
    if (foreground) return GetSysColor(COLOR_BTNTEXT);
    return which == kBkIn ? LightenColour(face, 32) : face;
  }
  uint32_t colour = properties_.colours[which];
  if (colour == kDefaultColourMarker) return foreground ? GetSysColor(COLOR_BTNTEXT) : face;
  return colour & 0x00FFFFFF;
}

void SuperButton::FreePicture(Slot slot) {
  Picture& picture = pictures_[slot];
  if (picture.bitmap) DeleteObject(picture.bitmap);
  if (picture.mask) DeleteObject(picture.mask);
  picture = Picture();
}

// Decodes the slot's picture afresh (the mask blackens the transparent
// pixels of the bitmap, so a new transparent colour needs the original).
void SuperButton::BuildPicture(Slot slot) {
  FreePicture(slot);
  const std::vector<uint8_t>* bytes[kSlotCount] = {&properties_.pic_in, &properties_.pic_out,
                                                   &properties_.pic_disabled};
  const uint32_t colours[kSlotCount] = {properties_.trans_colour_in, properties_.trans_colour_out,
                                        properties_.trans_colour_disabled};
  const std::vector<uint8_t>& data = *bytes[slot];
  if (data.empty()) return;
  auto bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(NotifyRuntime(
      NR_PICTURE_TO_BITMAP, static_cast<int32_t>(AsWord(data.data())), static_cast<int32_t>(data.size())))));
  if (!bitmap) return;
  BITMAP info = {};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
    DeleteObject(bitmap);
    return;
  }
  int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  if (!mask) {
    DeleteObject(bitmap);
    return;
  }
  HDC picture_dc = CreateCompatibleDC(nullptr), mask_dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old_picture = SelectObject(picture_dc, bitmap), old_mask = SelectObject(mask_dc, mask);
  COLORREF transparent = colours[slot] == kDefaultColourMarker ? GetPixel(picture_dc, 0, 0) : colours[slot] & 0xFFFFFF;
  // Colour to monochrome: pixels of the background colour become 1.
  SetBkColor(picture_dc, transparent);
  BitBlt(mask_dc, 0, 0, width, height, picture_dc, 0, 0, SRCCOPY);
  // Monochrome to colour: 1 becomes black, 0 white; AND blackens the
  // transparent pixels so that the picture can be OR-ed over the background.
  SetBkColor(picture_dc, RGB(0, 0, 0));
  SetTextColor(picture_dc, RGB(255, 255, 255));
  BitBlt(picture_dc, 0, 0, width, height, mask_dc, 0, 0, SRCAND);
  SelectObject(picture_dc, old_picture);
  SelectObject(mask_dc, old_mask);
  DeleteDC(picture_dc);
  DeleteDC(mask_dc);
  pictures_[slot] = Picture{bitmap, mask, width, height};
}

void SuperButton::ApplyFont() {
  HFONT old_font = font_;
  font_ = properties_.font.size() == sizeof(LOGFONTA)
              ? CreateUnitFont(*reinterpret_cast<const LOGFONTA*>(properties_.font.data()))
              : nullptr;
  if (hwnd())
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  if (old_font) DeleteObject(old_font);
}

void SuperButton::UpdateTooltip() {
  // The v2 size: without a common-controls manifest, Windows' version 5
  // rejects the longer record.
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd();
  tool.uId = 1;
  if (properties_.tooltip.empty()) {
    if (tooltip_ && tool_added_) SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool_added_ = false;
    return;
  }
  if (!tooltip_) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;
    // A maximum width makes the tip break its lines at "\r\n" and wrap.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
    // Help texts run to several lines: leave them up long enough to read.
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
  }
  std::wstring text = GbkToWide(properties_.tooltip.c_str());
  tool.lpszText = text.data();
  GetClientRect(hwnd(), &tool.rect);
  if (!tool_added_)
    tool_added_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  else
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

void SuperButton::RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tooltip_ && !properties_.tooltip.empty()) UpdateTooltip();
  if (!tooltip_ || !tool_added_) return;
  MSG relayed = {hwnd(), message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
  GetCursorPos(&relayed.pt);
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// Drawn at once: a program busy in a long loop never reaches its message loop.
void SuperButton::Redraw() {
  if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// ---------------------------------------------------------------- drawing

const SuperButton::Picture* SuperButton::ChoosePicture(bool disabled, bool pressed) const {
  const Picture *in = &pictures_[kSlotIn], *out = &pictures_[kSlotOut];
  const Picture* chosen;
  if (disabled)
    chosen = pictures_[kSlotDisabled] ? &pictures_[kSlotDisabled] : in;
  else
    chosen = !pressed && (!hovered_ || properties_.check_box) ? out : in;
  if (!*chosen) chosen = chosen == in ? out : in;
  return *chosen ? chosen : nullptr;
}

void SuperButton::DrawPicture(HDC dc, const Picture& picture, int x, int y, bool grey) const {
  HDC memory = CreateCompatibleDC(dc);
  int w = picture.width, h = picture.height;
  if (grey) {
    // The system's disabled rendering takes white for the background: give
    // the transparent pixels their white back in a copy.
    HBITMAP copy = CreateCompatibleBitmap(dc, w, h);
    HDC copy_dc = CreateCompatibleDC(dc);
    HGDIOBJ old_copy = SelectObject(copy_dc, copy);
    HGDIOBJ old = SelectObject(memory, picture.bitmap);
    BitBlt(copy_dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, picture.mask);
    SetBkColor(copy_dc, RGB(255, 255, 255));
    SetTextColor(copy_dc, RGB(0, 0, 0));
    BitBlt(copy_dc, 0, 0, w, h, memory, 0, 0, SRCPAINT);
    SelectObject(memory, old);
    SelectObject(copy_dc, old_copy);
    DeleteDC(copy_dc);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(copy), 0, x, y, w, h, DST_BITMAP | DSS_DISABLED);
    DeleteObject(copy);
  } else {
    COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255)), old_text = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(memory, picture.mask);
    BitBlt(dc, x, y, w, h, memory, 0, 0, SRCAND);
    SelectObject(memory, picture.bitmap);
    BitBlt(dc, x, y, w, h, memory, 0, 0, SRCPAINT);
    SelectObject(memory, old);
    SetBkColor(dc, old_bk);
    SetTextColor(dc, old_text);
  }
  DeleteDC(memory);
}

void SuperButton::DrawCaption(HDC dc, RECT area, bool disabled, bool lit, bool focused) const {
  std::wstring text = GbkToWide(properties_.caption.c_str());
  HGDIOBJ old_font = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  // Measure the wrapped block, then centre it in the text area.
  RECT measured = area;
  DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  int height = measured.bottom - measured.top;
  RECT box = {area.left, area.top + (area.bottom - area.top - height) / 2, area.right, 0};
  box.bottom = box.top + height;
  UINT flags = DT_WORDBREAK | DT_CENTER | DT_NOCLIP;
  if (disabled) {
    RECT raised = box;
    OffsetRect(&raised, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, text.c_str(), -1, &raised, flags);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, DrawColour(lit ? kFgIn : (focused ? kFgFocus : kFgOut)));
  }
  DrawTextW(dc, text.c_str(), -1, &box, flags);
  SelectObject(dc, old_font);
}

void SuperButton::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const SuperButtonProperties& p = properties_;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  bool pressed = (item.itemState & ODS_SELECTED) || (p.check_box && p.checked);
  bool lit = hovered_ || pressed;
  int saved = SaveDC(dc);

  if (!flat() && (focused || is_default_)) {
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rect, -1, -1);
  }

  if (lit && xp()) {
    HBRUSH brush = CreateSolidBrush(DrawColour(kBkIn));
    HGDIOBJ old_brush = SelectObject(dc, brush), old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 8, 8);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(brush);
  } else {
    FillSolid(dc, rect, DrawColour(lit ? kBkIn : (focused ? kBkFocus : kBkOut)));
  }

  if (pressed) {
    if (!flat())
      FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    else if (!xp() && p.draw_border)
      DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
  } else if (!flat()) {
    Edge(dc, rect, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    Edge(dc, inner, COLOR_3DLIGHT, COLOR_BTNSHADOW);
  } else if (!xp() && hovered_ && p.draw_border) {
    DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  }

  // The content moves when pressed, except in check-box mode.
  POINT offset = pressed && !p.check_box ? PressedOffset() : POINT{0, 0};
  RECT content = rect;
  InflateRect(&content, -kMargin, -kMargin);
  RECT text_area = content;
  if (const Picture* picture = ChoosePicture(disabled, pressed)) {
    int x = rect.left + (rect.right - rect.left - picture->width) / 2;
    int y = rect.top + (rect.bottom - rect.top - picture->height) / 2;
    if (!p.caption.empty()) {
      switch (p.align_style) {
        case kPictureLeft:
          x = content.left;
          text_area.left = x + picture->width;
          break;
        case kPictureAbove:
          y = content.top;
          text_area.top = y + picture->height;
          break;
        case kPictureRight:
          x = content.right - picture->width;
          text_area.right = x;
          break;
        default:
          break;
      }
    }
    bool grey = disabled && !pictures_[kSlotDisabled];
    DrawPicture(dc, *picture, x + offset.x, y + offset.y, grey);
  }
  if (!p.caption.empty()) {
    OffsetRect(&text_area, offset.x, offset.y);
    DrawCaption(dc, text_area, disabled, lit, focused);
  }

  if ((!flat() || p.draw_focus) && focused) {
    RECT focus = rect;
    InflateRect(&focus, -kMargin, -kMargin);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }
  RestoreDC(dc, saved);
}

// ------------------------------------------------------- mouse and clicks

void SuperButton::PlayButtonSound(const std::vector<uint8_t>& wave) const {
  if (properties_.standard_sound) {
    uint32_t size = 0;
    if (const uint8_t* click = StandardClick(&size)) g_button_sound_player(click, size);
  } else if (!wave.empty()) {
    g_button_sound_player(wave.data(), static_cast<uint32_t>(wave.size()));
  }
}

void SuperButton::TrackHover(LPARAM lparam, WPARAM keys) {
  if (!flat()) return;
  if ((keys & MK_LBUTTON) && !hovered_) return;
  POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ClientToScreen(hwnd(), &point);
  bool over = WindowFromPoint(point) == hwnd();
  if (!over) {
    ClearHover();
    return;
  }
  if (hovered_ || !GetActiveWindow()) return;
  hovered_ = true;
  Redraw();
  PlayButtonSound(properties_.over_sound);
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&track);
}

void SuperButton::ClearHover() {
  if (!hovered_) return;
  hovered_ = false;
  Redraw();
}

void SuperButton::Click() {
  PlayButtonSound(properties_.click_sound);
  if (properties_.check_box) {
    properties_.checked = properties_.checked ? 0 : 1;
    Redraw();
  }
  RaiseEvent(0);  // the routine may destroy this object: nothing after it
}

LRESULT SuperButton::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToTooltip(message, wparam, lparam);
  switch (message) {
    case WM_MOUSEMOVE:
      TrackHover(lparam, wparam);
      break;
    case WM_MOUSELEAVE:
    case WM_CANCELMODE:
      ClearHover();
      break;
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button reports a quick second click as a double
      // click only; every click is a click here.
      return Default(WM_LBUTTONDOWN, wparam, lparam);
    case WM_SETFOCUS: {
      LRESULT result = Default(message, wparam, lparam);
      RaiseEvent(-7);
      return result;
    }
    case WM_KILLFOCUS: {
      // Disabling takes the focus away before WM_ENABLE arrives.
      lost_focus_by_disabling_ = wparam == 0 && !IsWindowEnabled(hwnd());
      LRESULT result = Default(message, wparam, lparam);
      ClearHover();
      RaiseEvent(-8);
      return result;
    }
    case WM_ENABLE: {
      LRESULT result = Default(message, wparam, lparam);
      if (!wparam) {
        ClearHover();
        if (lost_focus_by_disabling_ && !GetFocus()) {
          HWND parent = GetParent(hwnd());
          HWND next = parent ? GetNextDlgTabItem(parent, hwnd(), FALSE) : nullptr;
          SetFocus(next && next != hwnd() ? next : parent);
        }
      }
      lost_focus_by_disabling_ = false;
      return result;
    }
    case WM_GETDLGCODE:
      return is_default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    case BM_SETSTYLE:
      // Stays owner-drawn; the default flag is ours.
      is_default_ = (wparam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      return Default(message, (wparam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lparam);
    case BM_GETCHECK:
      return properties_.checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      properties_.checked = wparam == BST_CHECKED ? 1 : 0;
      Redraw();
      return 0;
    case WM_SIZE:
      if (tooltip_ && tool_added_) {
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = hwnd();
        tool.uId = 1;
        GetClientRect(hwnd(), &tool.rect);
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
      }
      break;
    case WM_DESTROY:
      // Owned by the top-level window, the tip may be gone already.
      if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      tool_added_ = false;
      break;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

bool SuperButton::OnReflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_DRAWITEM:
      Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      *result = TRUE;
      return true;
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) return false;
      *result = 0;
      Click();
      return true;
    case WM_CTLCOLORBTN:
      // Nothing erased behind the drawing: no flicker.
      *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    default:
      return false;
  }
}

void SuperButton::OnFinalDestroy() {
  for (int slot = 0; slot < kSlotCount; ++slot) FreePicture(static_cast<Slot>(slot));
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  Component::OnFinalDestroy();
}

// --------------------------------------------------------- unit interface

int32_t SuperButton::SetProperty(int32_t property, const PropertyValue& value) {
  SuperButtonProperties& p = properties_;
  uint32_t truth = value.low != 0 ? 1 : 0;
  switch (property) {
    case SB_BTN_STYLE:
      p.btn_style = ClampChoice(value.low, kStyleXp);
      if (!flat()) hovered_ = false;
      break;
    case SB_CHECK_BOX: {
      bool changed = p.check_box != truth;
      p.check_box = truth;
      return changed ? 1 : 0;
    }
    case SB_CHECKED: p.checked = truth; break;
    case SB_ALIGN_STYLE: p.align_style = ClampChoice(value.low, kPictureOverlaid); break;
    case SB_PRESS_STYLE: p.press_style = ClampChoice(value.low, 1); break;
    case SB_DRAW_BORDER: p.draw_border = truth; break;
    case SB_DRAW_FOCUS: p.draw_focus = truth; break;
    case SB_PIC_OUT:
      AssignBytes(&p.pic_out, value);
      BuildPicture(kSlotOut);
      break;
    case SB_TRANS_COLOUR_OUT:
      p.trans_colour_out = value.low;
      BuildPicture(kSlotOut);
      break;
    case SB_PIC_IN:
      AssignBytes(&p.pic_in, value);
      BuildPicture(kSlotIn);
      break;
    case SB_TRANS_COLOUR_IN:
      p.trans_colour_in = value.low;
      BuildPicture(kSlotIn);
      break;
    case SB_PIC_DISABLED:
      AssignBytes(&p.pic_disabled, value);
      BuildPicture(kSlotDisabled);
      break;
    case SB_TRANS_COLOUR_DISABLED:
      p.trans_colour_disabled = value.low;
      BuildPicture(kSlotDisabled);
      break;
    case SB_FONT:
      if (value.low && value.high >= sizeof(LOGFONTA))
        p.font.assign(AsPointer<const uint8_t>(value.low), AsPointer<const uint8_t>(value.low) + sizeof(LOGFONTA));
      else
        p.font.clear();
      ApplyFont();
      break;
    case SB_CAPTION:
      p.caption = value.low ? AsPointer<const char>(value.low) : "";
      SetWindowTextW(hwnd(), GbkToWide(p.caption.c_str()).c_str());
      break;
    case SB_DEFAULT_COLOUR: p.default_colour = truth; break;
    case SB_FG_COLOUR_OUT:
    case SB_BK_COLOUR_OUT:
    case SB_FG_COLOUR_IN:
    case SB_BK_COLOUR_IN:
    case SB_FG_COLOUR_FOCUS:
    case SB_BK_COLOUR_FOCUS:
      p.colours[property - SB_FG_COLOUR_OUT] = value.low;
      break;
    case SB_STANDARD_SOUND: p.standard_sound = truth; return 0;
    case SB_OVER_SOUND: AssignBytes(&p.over_sound, value); return 0;
    case SB_CLICK_SOUND: AssignBytes(&p.click_sound, value); return 0;
    case SB_TOOLTIP:
      p.tooltip = value.low ? AsPointer<const char>(value.low) : "";
      if (tooltip_) UpdateTooltip();
      return 0;
    case SB_DEFAULT_STYLE:
      p.default_style = ClampChoice(value.low, 1);
      return 1;
    default:
      return 0;
  }
  Redraw();
  return 0;
}

bool SuperButton::GetProperty(int32_t property, PropertyValue* value) {
  SuperButtonProperties& p = properties_;
  auto bytes = [&](const std::vector<uint8_t>& data) {
    *value = {data.empty() ? 0u : AsWord(data.data()), static_cast<uint32_t>(data.size())};
    return true;
  };
  auto word = [&](uint32_t w) {
    *value = {w, 0};
    return true;
  };
  switch (property) {
    case SB_BTN_STYLE: return word(p.btn_style);
    case SB_CHECK_BOX: return word(p.check_box);
    case SB_CHECKED: return word(p.checked);
    case SB_ALIGN_STYLE: return word(p.align_style);
    case SB_PRESS_STYLE: return word(p.press_style);
    case SB_DRAW_BORDER: return word(p.draw_border);
    case SB_DRAW_FOCUS: return word(p.draw_focus);
    case SB_PIC_OUT: return bytes(p.pic_out);
    case SB_TRANS_COLOUR_OUT: return word(p.trans_colour_out);
    case SB_PIC_IN: return bytes(p.pic_in);
    case SB_TRANS_COLOUR_IN: return word(p.trans_colour_in);
    case SB_PIC_DISABLED: return bytes(p.pic_disabled);
    case SB_TRANS_COLOUR_DISABLED: return word(p.trans_colour_disabled);
    case SB_FONT:  // null: the default GUI font
      return p.font.size() == sizeof(LOGFONTA) ? bytes(p.font) : word(0);
    case SB_CAPTION: return word(AsWord(p.caption.c_str()));
    case SB_DEFAULT_COLOUR: return word(p.default_colour);
    case SB_FG_COLOUR_OUT:
    case SB_BK_COLOUR_OUT:
    case SB_FG_COLOUR_IN:
    case SB_BK_COLOUR_IN:
    case SB_FG_COLOUR_FOCUS:
    case SB_BK_COLOUR_FOCUS:
      return word(p.colours[property - SB_FG_COLOUR_OUT]);
    case SB_STANDARD_SOUND: return word(p.standard_sound);
    case SB_OVER_SOUND: return bytes(p.over_sound);
    case SB_CLICK_SOUND: return bytes(p.click_sound);
    case SB_TOOLTIP: return word(AsWord(p.tooltip.c_str()));
    case SB_DEFAULT_STYLE: return word(p.default_style);
    default: return false;
  }
}

namespace {

const PropertyInfo kSuperBtnProperties[8 + SB_COUNT] = {
    QELMO_STANDARD_PROPERTIES,
    {PT_CHOICE, 0},  {PT_TRUTH, 0},      {PT_TRUTH, 0},   {PT_CHOICE, 0},      {PT_CHOICE, 0},  {PT_TRUTH, 0},
    {PT_TRUTH, 0},   {PT_PICTURE, 0},    {PT_COLOUR_ALT, 0}, {PT_PICTURE, 0},  {PT_COLOUR_ALT, 0},
    {PT_PICTURE, 0}, {PT_COLOUR_ALT, 0}, {PT_FONT, 0},    {PT_TEXT, 0},        {PT_TRUTH, 0},
    {PT_COLOUR, 0},  {PT_COLOUR_ALT, 0}, {PT_COLOUR, 0},  {PT_COLOUR_ALT, 0},  {PT_COLOUR, 0},  {PT_COLOUR_ALT, 0},
    {PT_TRUTH, 0},   {PT_SOUND, 0},      {PT_SOUND, 0},   {PT_TEXT, 0},        {PT_CHOICE, 0},
};

Component* CreateSuperBtn(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND parent, uint32_t control_id,
                          HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t window_id,
                          uint32_t element_id, int32_t, int32_t) {
  SuperButtonProperties properties;
  if (size > 0) {
    ByteReader reader(data, size);
    if (!properties.Read(reader)) return nullptr;
  }
  auto* button = new SuperButton(window_id, element_id);
  if (!button->Create(properties, extra_style, parent, control_id, RECT{left, top, left + width, top + height})) {
    delete button;
    return nullptr;
  }
  return button;
}

int32_t SetSuperBtnProperty(Component* object, int32_t property, PropertyValue* value, int32_t) {
  return static_cast<SuperButton*>(object)->SetProperty(property, *value);
}
int32_t GetSuperBtnProperty(Component* object, int32_t property, PropertyValue* value) {
  return static_cast<SuperButton*>(object)->GetProperty(property, value) ? 1 : 0;
}
HGLOBAL SaveSuperBtn(Component* object) { return static_cast<SuperButton*>(object)->properties().Save(); }
int32_t IsDefaultSuperBtn(Component* object) { return static_cast<SuperButton*>(object)->is_default() ? 1 : 0; }

void* SuperBtnInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateSuperBtn);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetSuperBtnProperty);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&SaveSuperBtn);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetSuperBtnProperty);
    case UNIT_IS_DEFAULT_BUTTON: return reinterpret_cast<void*>(&IsDefaultSuperBtn);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kSuperBtnUnit = {"SuperBtn", "超级按钮", kSuperBtnFlags, kSuperBtnProperties, 8 + SB_COUNT,
                                      SuperBtnInterface};
