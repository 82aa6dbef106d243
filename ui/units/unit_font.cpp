#include "ui/units/unit_font.h"

#include <cstring>

#include "platform/pointer_word.h"
#include "ui/display_scale.h"
#include "ui/font_record.h"
#include "ui/property_writer.h"
#include "ui/units/unit_window.h"

namespace controls {

UnitFont::~UnitFont() { Release(); }

void UnitFont::Release() const {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  handle_dpi_ = 0;
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

HFONT UnitFont::Handle(HWND window) const {
  int dpi = display::WindowDpi(window);
  if (handle_dpi_ != dpi) {
    Release();
    handle_ = has_font_ ? CreateUnitFont(font_, dpi) : CreateDefaultFontAt(dpi);
    handle_dpi_ = dpi;
  }
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
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.Handle(window)), TRUE);
  ShowNow(window);
}

}  // namespace controls
