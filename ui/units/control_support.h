// What the standard control units share: stored-data helpers, colours,
// border styles, fonts, pictures and the value words of get and set.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pointer_word.h"
#include "runtime/value/byte_reader.h"
#include "ui/unit.h"

class PropertyWriter;

namespace controls {

constexpr uint32_t kDefaultColour = 0xFF000000;

inline std::string TextOf(ByteRun run) { return std::string(reinterpret_cast<const char*>(run.data()), run.size()); }
inline std::vector<uint8_t> BytesOf(ByteRun run) { return std::vector<uint8_t>(run.begin(), run.end()); }

// A stored word read as a choice: negative values become 0, values above
// `max` become `max`.
inline uint32_t ClampChoice(uint32_t value, int32_t max) {
  auto v = static_cast<int32_t>(value);
  return static_cast<uint32_t>(v < 0 ? 0 : (v > max ? max : v));
}
inline int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

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

// 0xFF000000 paints as the button face.
COLORREF ResolveColour(uint32_t colour);

// The common border styles 0-5 (others: none) on a live window.
void ApplyBorderStyle(HWND window, uint32_t border);
// The extended style bits of a border, for creation.
DWORD BorderExStyle(uint32_t border);
DWORD BorderStyle(uint32_t border);

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
  // The handle to draw with (the default GUI font when empty); owned here.
  HFONT Handle() const;
  void Write(PropertyWriter& writer) const;

 private:
  void Release();
  bool has_font_ = false;
  LOGFONTA font_ = {};
  mutable HFONT handle_ = nullptr;  // made on first use
};

// A new font on a live control, shown at once. The holder has already
// freed the old handle: the control lets go of it through the stock font
// before it takes the new one.
void ShowFont(HWND window, const UnitFont& font);

// Icon and cursor files by their header; they become icons, not bitmaps.
bool IsIconFile(const uint8_t* data, size_t size);
// The icon of an icon or cursor file: the first 32-pixel entry with more
// than 15 colours, else the last entry. Null when damaged.
HICON IconFromFile(const uint8_t* data, size_t size);
// Any other picture, through the runtime's picture loader; null when it
// cannot be decoded.
HBITMAP BitmapFromPicture(const std::vector<uint8_t>& picture);

// Value words for get.
inline PropertyValue WordValue(uint32_t word) { return {word, 0}; }
inline PropertyValue TextValue(const std::string& text) { return {PointerWord(text.c_str()), 0}; }
inline PropertyValue BytesValue(const std::vector<uint8_t>& bytes) {
  return {PointerWord(bytes.empty() ? nullptr : bytes.data()), static_cast<uint32_t>(bytes.size())};
}
// Values from set: a text (null reads as empty) and byte data.
inline std::string TextFrom(const PropertyValue& value) {
  const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low));
  return text ? text : "";
}
inline std::vector<uint8_t> BytesFrom(const PropertyValue& value) {
  const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value.low));
  return data ? std::vector<uint8_t>(data, data + value.high) : std::vector<uint8_t>();
}

}  // namespace controls
