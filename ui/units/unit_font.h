// A unit's font: empty (the default GUI font) or a 60-byte LOGFONTA.
#pragma once
#include <windows.h>

#include "runtime/value/byte_reader.h"
#include "ui/unit.h"

class PropertyWriter;

namespace controls {

// A unit's font: empty (the default GUI font) or a 60-byte LOGFONTA, with
// the handle made from it.
class UnitFont {
 public:
  UnitFont() = default;
  ~UnitFont();
  // A copy has the same font; it makes its own handle when asked.
  UnitFont(const UnitFont& other) : has_font_(other.has_font_), font_(other.font_) {}
  UnitFont& operator=(const UnitFont& other) {
    if (this != &other) {
      Release();
      has_font_ = other.has_font_;
      font_ = other.font_;
    }
    return *this;
  }

  // Stored bytes: 60 make a font, anything else is the default.
  void SetStored(ByteRun bytes);
  // A value from set: null or a LOGFONTA.
  void SetValue(const PropertyValue& value);
  // Whether set with this value would leave the font as it is.
  bool Holds(const PropertyValue& value) const;
  bool has_font() const { return has_font_; }
  const LOGFONTA& logfont() const { return font_; }
  // For get: the LOGFONTA, or null for the default.
  PropertyValue Value() const;
  // The handle to draw with in `window`, at its DPI (the default GUI font
  // when empty); owned here, and made again when the DPI is another.
  HFONT Handle(HWND window) const;
  void Write(PropertyWriter& writer) const;

 private:
  void Release() const;
  bool has_font_ = false;
  LOGFONTA font_ = {};
  mutable HFONT handle_ = nullptr;  // made on first use; null for the stock font
  mutable int handle_dpi_ = 0;
};

// A new font on a live control, shown at once, also after a change of the
// window's DPI. The control lets go of the old handle through the stock
// font before the new one is made (the holder may have freed it already).
void ShowFont(HWND window, const UnitFont& font);

}  // namespace controls
