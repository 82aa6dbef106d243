// TransLabel: a label without a background of its own. It draws only its
// text, with an optional shadow or emboss, over whatever lies behind it,
// and repaints what lies behind it whenever it changes or moves, so it
// leaves no trail over a progress bar. Unit 5 of the first UI-extension
// library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../component.h"
#include "../unit.h"
#include "value/byte_reader.h"

// Whether `label` prints itself again after each paint of `window` (it
// follows every window that lies under it).
bool TransLabelFollows(HWND window, HWND label);

// The unit's own properties, by number - 8.
enum TransLabelProperty : int32_t {
  TL_TEXT = 0,
  TL_TEXT_EFFECT,
  TL_FONT,
  TL_COLOUR,
  TL_HORZ_ALIGN,
  TL_WORD_WRAP,
  TL_VERT_ALIGN,
  TL_COUNT
};

// Text effects: a white copy under the text at (+1, +1), a white copy at
// the text's place with the text at (+1, +1), a black shadow at (+2, +2).
enum : uint32_t { kEffectNone = 0, kEffectRaised = 1, kEffectSunken = 2, kEffectShadow = 3 };

struct TransLabelProperties {
  uint32_t text_effect = kEffectNone;
  uint32_t colour = 0;
  uint32_t horz_align = 0;  // left, centre, right
  uint32_t vert_align = 1;  // top, centre, bottom (single line only)
  uint32_t word_wrap = 0;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty for the default GUI font
  std::string text = "透明标签";

  static constexpr uint32_t kVersion = 1;
  bool Read(ByteReader& reader);
  HGLOBAL Save() const;
};

class TransLabel : public Component {
 public:
  TransLabel(uint32_t window_id, uint32_t element_id) : Component(window_id, element_id) {}

  bool Create(const TransLabelProperties& properties, uint32_t extra_style, HWND parent, uint32_t control_id,
              RECT rect);
  const TransLabelProperties& properties() const { return properties_; }
  int32_t SetProperty(int32_t property, const PropertyValue& value);
  bool GetProperty(int32_t property, PropertyValue* value);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnFinalDestroy() override;

 private:
  void Paint(HDC dc);
  void ApplyFont();
  // Repaints, at once, what lies behind `screen_rect` and then the label.
  void RepaintBehind(RECT screen_rect);
  void Refresh();
  // Windows under the label that repaint on their own (a progress bar
  // showing a new position at once) would wipe the text: after each of
  // their paints the label redraws the part they painted.
  void FollowWindowsBelow(const RECT& screen_rect);
  void Follow(HWND window);
  void StopFollowing();

  TransLabelProperties properties_;
  std::wstring wide_text_;
  HFONT font_ = nullptr;
  RECT before_move_ = {};
  std::vector<HWND> followed_;
};

extern const UnitDescriptor kTransLabelUnit;
