#include "ui/units/super_button.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "platform/wide_text.h"
#include "runtime/notify.h"
#include "ui/common_controls.h"
#include "ui/display_scale.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_colour.h"
#include "ui/units/unit_pictures.h"

using namespace controls;
using namespace units;

namespace {

constexpr int kMargin = 3;  // template units, inside the button, around picture and text
constexpr int32_t kClicked = 0;  // the button's event
constexpr int kTooltipWidth = 400;  // template units
constexpr uint32_t kSuperBtnFlags = 0x00000840;
constexpr wchar_t kStandardClickName[] = L"STANDARD_CLICK";

void PlayThroughRuntime(const uint8_t* wave, uint32_t size) {
  uint32_t request[3] = {PointerWord(wave), size, 0};
  NotifyRuntime(NR_PLAY_SOUND, static_cast<int32_t>(PointerWord(request)), 0);
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
  fg_color_out = fg_color_in = fg_color_focus = text;
  bk_color_out = bk_color_focus = face;
  bk_color_in = LightenColour(face, 32);
}

// ---------------------------------------------------------------- object

bool SuperButton::Create(const Placement& at) {
  is_default_ = !p.check_box && p.default_style == 1;
  // Drawn by us; the check-box and default-button types live in our state.
  HWND window = CreateChildWindow(0, L"BUTTON", p.caption, WS_CHILD | WS_CLIPSIBLINGS | at.extra_style | BS_OWNERDRAW, at);
  if (!window) return false;
  Attach(window);
  OnDpiChanged();  // the pictures and the font, made for the window's DPI
  // The tooltip window is made when the mouse first comes over the button:
  // each one is a top-level window, and made up front they were a sixth of
  // the installer's start-up.
  return true;
}

POINT SuperButton::PressedOffset() const { return p.press_style == 1 ? POINT{0, 2} : POINT{1, 1}; }

COLORREF SuperButton::DrawColour(ButtonColour which) const {
  bool foreground = which == kFgOut || which == kFgIn || which == kFgFocus;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (p.default_color) {
    if (foreground) return GetSysColor(COLOR_BTNTEXT);
    return which == kBkIn ? LightenColour(face, 32) : face;
  }
  uint32_t colour = p.Colour(which);
  if (colour == kDefaultColour) return foreground ? GetSysColor(COLOR_BTNTEXT) : face;
  return colour & 0x00FFFFFF;
}

// Decodes the slot's picture afresh (the mask blackens the transparent
// pixels of the bitmap, so a new transparent colour needs the original).
void SuperButton::BuildPicture(Slot slot) {
  pictures_[slot] = Picture();
  const std::vector<uint8_t>* bytes[kSlotCount] = {&p.pic_in, &p.pic_out, &p.pic_disabled};
  const uint32_t colours[kSlotCount] = {p.trans_color_in, p.trans_color_out, p.trans_color_disabled};
  const std::vector<uint8_t>& data = *bytes[slot];
  if (data.empty()) return;
  // A picture is template pixels. One drawn at several sizes shows the
  // size nearest to the window's scale; any other is scaled once, here.
  int dpi = display::WindowDpi(hwnd());
  std::vector<uint8_t> nearest;
  int template_size = 0;
  bool several_sizes = NearestPngImage(data, dpi, &nearest, &template_size);
  OwnedBitmap bitmap(BitmapFromPicture(several_sizes ? nearest : data));
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) return;
  int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  int wanted_width = display::ToPixels(several_sizes ? template_size : width, dpi);
  int wanted_height = display::ToPixels(several_sizes ? template_size : height, dpi);
  if (wanted_width != width || wanted_height != height) {
    // Smoothly, and the mask made from the scaled bitmap, so the two match.
    bitmap.Reset(ScaledBitmap(bitmap.get(), wanted_width, wanted_height));
    if (!bitmap) return;
    width = wanted_width;
    height = wanted_height;
  }
  OwnedBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  if (!mask) return;
  {
    MemoryDc picture_dc(nullptr), mask_dc(nullptr);
    DcSelection picture_in(picture_dc.get(), bitmap.get()), mask_in(mask_dc.get(), mask.get());
    COLORREF transparent =
        colours[slot] == kDefaultColour ? GetPixel(picture_dc.get(), 0, 0) : colours[slot] & 0xFFFFFF;
    // Colour to monochrome: pixels of the background colour become 1.
    SetBkColor(picture_dc.get(), transparent);
    BitBlt(mask_dc.get(), 0, 0, width, height, picture_dc.get(), 0, 0, SRCCOPY);
    // Monochrome to colour: 1 becomes black, 0 white; AND blackens the
    // transparent pixels so that the picture can be OR-ed over the background.
    SetBkColor(picture_dc.get(), RGB(0, 0, 0));
    SetTextColor(picture_dc.get(), RGB(255, 255, 255));
    BitBlt(picture_dc.get(), 0, 0, width, height, mask_dc.get(), 0, 0, SRCAND);
  }
  pictures_[slot] = Picture{std::move(bitmap), std::move(mask), width, height};
}

void SuperButton::ApplyFont() {
  if (hwnd()) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle(hwnd())), FALSE);
}

void SuperButton::UpdateTooltip() {
  // The v2 size: without a common-controls manifest, Windows' version 5
  // rejects the longer record.
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd();
  tool.uId = 1;
  if (p.tool_tip.empty()) {
    if (tooltip_ && tool_added_) SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool_added_ = false;
    return;
  }
  if (!tooltip_) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    common_controls::InitCommonControlsEx(&classes);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;
    ApplyTooltipWidth();
    // Help texts run to several lines: leave them up long enough to read.
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
  }
  std::wstring text = GbkToWide(p.tool_tip.c_str());
  tool.lpszText = text.data();
  GetClientRect(hwnd(), &tool.rect);
  if (!tool_added_)
    tool_added_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  else
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

// A maximum width makes the tip break its lines at "\r\n" and wrap.
void SuperButton::ApplyTooltipWidth() {
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, display::ToPixels(kTooltipWidth, display::WindowDpi(hwnd())));
}

// Pictures, font and tip width as the window's DPI wants them.
void SuperButton::OnDpiChanged() {
  for (int slot = 0; slot < kSlotCount; ++slot) BuildPicture(static_cast<Slot>(slot));
  ApplyFont();
  if (tooltip_) ApplyTooltipWidth();
}

void SuperButton::RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tooltip_ && !p.tool_tip.empty()) UpdateTooltip();
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
    chosen = !pressed && (!hovered_ || p.check_box) ? out : in;
  if (!*chosen) chosen = chosen == in ? out : in;
  return *chosen ? chosen : nullptr;
}

void SuperButton::DrawPicture(HDC dc, const Picture& picture, int x, int y, bool grey) const {
  MemoryDc memory(dc);
  int w = picture.width, h = picture.height;
  if (grey) {
    // The system's disabled rendering takes white for the background: give
    // the transparent pixels their white back in a copy.
    OwnedBitmap copy(CreateCompatibleBitmap(dc, w, h));
    {
      MemoryDc copy_dc(dc);
      DcSelection copy_in(copy_dc.get(), copy.get());
      {
        DcSelection bitmap_in(memory.get(), picture.bitmap.get());
        BitBlt(copy_dc.get(), 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
      }
      DcSelection mask_in(memory.get(), picture.mask.get());
      SetBkColor(copy_dc.get(), RGB(255, 255, 255));
      SetTextColor(copy_dc.get(), RGB(0, 0, 0));
      BitBlt(copy_dc.get(), 0, 0, w, h, memory.get(), 0, 0, SRCPAINT);
    }
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(copy.get()), 0, x, y, w, h, DST_BITMAP | DSS_DISABLED);
  } else {
    COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255)), old_text = SetTextColor(dc, RGB(0, 0, 0));
    {
      DcSelection mask_in(memory.get(), picture.mask.get());
      BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCAND);
    }
    DcSelection bitmap_in(memory.get(), picture.bitmap.get());
    BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCPAINT);
    SetBkColor(dc, old_bk);
    SetTextColor(dc, old_text);
  }
}

void SuperButton::DrawCaption(HDC dc, RECT area, bool disabled, bool lit, bool focused) const {
  std::wstring text = GbkToWide(p.caption.c_str());
  DcSelection font(dc, p.font.Handle(hwnd()));
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
}

void SuperButton::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
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
    OwnedBrush brush(CreateSolidBrush(DrawColour(kBkIn)));
    DcSelection brush_in(dc, brush.get()), pen_in(dc, GetStockObject(BLACK_PEN));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 8, 8);
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
  int margin = display::ToPixels(kMargin, display::WindowDpi(hwnd()));
  InflateRect(&content, -margin, -margin);
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
    InflateRect(&focus, -margin, -margin);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }
  RestoreDC(dc, saved);
}

// ------------------------------------------------------- mouse and clicks

void SuperButton::PlayButtonSound(const std::vector<uint8_t>& wave) const {
  if (p.standard_sound) {
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
  PlayButtonSound(p.over_sound);
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&track);
}

void SuperButton::ClearHover() {
  if (!hovered_) return;
  hovered_ = false;
  Redraw();
}

void SuperButton::Click() {
  PlayButtonSound(p.click_sound);
  if (p.check_box) {
    p.checked = p.checked ? 0 : 1;
    Redraw();
  }
  RaiseEvent(kClicked);  // the routine may destroy this object: nothing after it
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
      RaiseEvent(kFocusGained);
      return result;
    }
    case WM_KILLFOCUS: {
      // Disabling takes the focus away before WM_ENABLE arrives.
      lost_focus_by_disabling_ = wparam == 0 && !IsWindowEnabled(hwnd());
      LRESULT result = Default(message, wparam, lparam);
      ClearHover();
      RaiseEvent(kFocusLost);
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
      return p.checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      p.checked = wparam == BST_CHECKED ? 1 : 0;
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

int32_t SuperButton::Apply(Change, int32_t number, const PropertyValue&) {
  switch (number) {
    case SB_BTN_STYLE:
      if (!flat()) hovered_ = false;
      break;
    case SB_PIC_OUT:
    case SB_TRANS_COLOR_OUT: BuildPicture(kSlotOut); break;
    case SB_PIC_IN:
    case SB_TRANS_COLOR_IN: BuildPicture(kSlotIn); break;
    case SB_PIC_DISABLED:
    case SB_TRANS_COLOR_DISABLED: BuildPicture(kSlotDisabled); break;
    case SB_FONT: ApplyFont(); break;
    case SB_CAPTION: SetWindowTextW(hwnd(), GbkToWide(p.caption.c_str()).c_str()); break;
    case SB_TOOL_TIP:
      if (tooltip_) UpdateTooltip();
      return 0;
    default: break;
  }
  Redraw();
  return 0;
}

namespace {

constexpr auto kProperties = PropertyTypes<kSuperButtonTable>();

}  // namespace

const UnitDescriptor kSuperBtnUnit = {"SuperBtn", "超级按钮", kSuperBtnFlags, kProperties.data(), kProperties.size(),
                                      TableUnit<SuperButton>::Interface};
