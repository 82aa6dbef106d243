#include "ui/units/control_support.h"

#include <cstring>

#include "platform/wide_text.h"
#include "runtime/notify.h"
#include "ui/common_controls.h"
#include "ui/font_record.h"
#include "ui/property_writer.h"

namespace controls {

COLORREF ResolveColour(uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour & 0x00FFFFFF);
}

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

// ------------------------------------------------------------------ fonts

UnitFont::~UnitFont() { Release(); }

void UnitFont::Release() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

void UnitFont::SetStored(ByteRun bytes) {
  Release();
  has_font_ = bytes.size() == sizeof(LOGFONTA);
  if (has_font_) std::memcpy(&font_, bytes.data(), sizeof font_);
}

void UnitFont::SetValue(const PropertyValue& value) {
  const void* logfont = reinterpret_cast<const void*>(static_cast<uintptr_t>(value.low));
  SetStored(logfont ? ByteRun(static_cast<const uint8_t*>(logfont), sizeof(LOGFONTA)) : ByteRun());
}

bool UnitFont::Holds(const PropertyValue& value) const {
  const void* logfont = reinterpret_cast<const void*>(static_cast<uintptr_t>(value.low));
  if (!logfont || !has_font_) return !logfont && !has_font_;
  return std::memcmp(logfont, &font_, sizeof font_) == 0;
}

PropertyValue UnitFont::Value() const {
  return has_font_ ? PropertyValue{PointerWord(&font_), sizeof font_} : PropertyValue{0, 0};
}

HFONT UnitFont::Handle() const {
  if (!has_font_) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (!handle_) handle_ = CreateUnitFont(font_);
  return handle_ ? handle_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void UnitFont::Write(PropertyWriter& writer) const {
  if (has_font_)
    writer.Buffer(&font_, sizeof font_);
  else
    writer.Word(0);
}

void ShowFont(HWND window, const UnitFont& font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle()), TRUE);
  ShowNow(window);
}

// ---------------------------------------------------------------- pictures

bool IsIconFile(const uint8_t* data, size_t size) {
  if (!data || size < 8) return false;
  uint16_t reserved = static_cast<uint16_t>(data[0] | data[1] << 8);
  uint16_t type = static_cast<uint16_t>(data[2] | data[3] << 8);
  uint16_t count = static_cast<uint16_t>(data[4] | data[5] << 8);
  return reserved == 0 && (type == 1 || type == 2) && count > 0;
}

HICON IconFromFile(const uint8_t* data, size_t size) {
  if (!IsIconFile(data, size)) return nullptr;
  ByteReader reader(data, size);
  reader.Skip(4);
  uint16_t count = reader.Half();
  ByteRun chosen;
  for (uint16_t i = 0; i < count; ++i) {
    ByteRun entry = reader.Bytes(16);
    if (entry.empty()) return nullptr;
    chosen = entry;
    if (entry[2] > 15 && entry[0] == 32) break;
  }
  ByteReader fields(chosen);
  fields.Skip(8);
  uint32_t image_size = fields.Word();
  uint32_t offset = fields.Word();
  if (offset > size || image_size > size - offset || image_size < sizeof(BITMAPINFOHEADER)) return nullptr;
  // The image header gives the real size; its height covers image and mask.
  const uint8_t* image = data + offset;
  BITMAPINFOHEADER header;
  std::memcpy(&header, image, sizeof header);
  int width = header.biWidth, height = header.biHeight / 2;
  // Cursor images are icons too: the file's hot spot is not part of the image.
  HICON icon = CreateIconFromResourceEx(const_cast<uint8_t*>(image), image_size, TRUE, 0x00030000, width, height,
                                        LR_DEFAULTCOLOR);
  if (!icon && header.biBitCount != 16)
    icon = CreateIconFromResourceEx(const_cast<uint8_t*>(image), image_size, TRUE, 0x00030000, 0, 0,
                                    LR_DEFAULTCOLOR | LR_DEFAULTSIZE);
  return icon;
}

HBITMAP BitmapFromPicture(const std::vector<uint8_t>& picture) {
  if (picture.empty()) return nullptr;
  int32_t handle = NotifyRuntime(NR_PICTURE_TO_BITMAP, static_cast<int32_t>(PointerWord(picture.data())),
                                 static_cast<int32_t>(picture.size()));
  return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
}


}  // namespace controls
