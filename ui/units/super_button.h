// SuperBtn: an owner-drawn push button with three pictures (normal, hover,
// disabled) made transparent by masks, six colours, three looks (flat,
// raised, rounded hover), a check-box mode, click and hover sounds and a
// tooltip. Unit 1 of the second UI-extension library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../component.h"
#include "../unit.h"
#include "value/byte_reader.h"

constexpr uint32_t kDefaultColourMarker = 0xFF000000;

// The unit's own properties, by number - 8.
enum SuperButtonProperty : int32_t {
  SB_BTN_STYLE = 0,
  SB_CHECK_BOX,
  SB_CHECKED,
  SB_ALIGN_STYLE,
  SB_PRESS_STYLE,
  SB_DRAW_BORDER,
  SB_DRAW_FOCUS,
  SB_PIC_OUT,
  SB_TRANS_COLOUR_OUT,
  SB_PIC_IN,
  SB_TRANS_COLOUR_IN,
  SB_PIC_DISABLED,
  SB_TRANS_COLOUR_DISABLED,
  SB_FONT,
  SB_CAPTION,
  SB_DEFAULT_COLOUR,
  SB_FG_COLOUR_OUT,
  SB_BK_COLOUR_OUT,
  SB_FG_COLOUR_IN,
  SB_BK_COLOUR_IN,
  SB_FG_COLOUR_FOCUS,
  SB_BK_COLOUR_FOCUS,
  SB_STANDARD_SOUND,
  SB_OVER_SOUND,
  SB_CLICK_SOUND,
  SB_TOOLTIP,
  SB_DEFAULT_STYLE,
  SB_COUNT
};

// Looks (BtnStyle).
enum : uint32_t { kStyleFlat = 0, kStyleRaised = 1, kStyleXp = 2 };
// Picture placement (AlignStyle).
enum : uint32_t { kPictureLeft = 0, kPictureAbove = 1, kPictureRight = 2, kPictureOverlaid = 3 };

// Colours in stored order: foreground then background, for the mouse
// outside, inside (or pressed) and with the focus.
enum ButtonColour { kFgOut = 0, kBkOut, kFgIn, kBkIn, kFgFocus, kBkFocus };

// Adds one amount to R, G and B: 32, or less so that no channel passes 255.
COLORREF LightenColour(COLORREF colour, int amount);

struct SuperButtonProperties {
  SuperButtonProperties();

  uint32_t btn_style = kStyleFlat;
  uint32_t check_box = 0;
  uint32_t checked = 0;
  uint32_t align_style = kPictureLeft;
  uint32_t press_style = 0;  // 0: content moves by (1, 1) when pressed; 1: by (0, 2)
  uint32_t draw_border = 1;
  uint32_t draw_focus = 0;
  uint32_t trans_colour_in = kDefaultColourMarker;
  uint32_t trans_colour_out = kDefaultColourMarker;
  uint32_t trans_colour_disabled = kDefaultColourMarker;
  uint32_t default_colour = 1;
  uint32_t standard_sound = 0;
  uint32_t default_style = 0;
  uint32_t colours[6] = {};
  std::vector<uint8_t> pic_in, pic_out, pic_disabled;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty for the default GUI font
  std::vector<uint8_t> over_sound, click_sound;
  std::string caption = "超级按钮";
  std::string tooltip;

  static constexpr uint32_t kVersion = 2;
  // Resets every field first; false when the data is damaged or newer.
  bool Read(ByteReader& reader);
  HGLOBAL Save() const;
};

class SuperButton : public Component {
 public:
  SuperButton(uint32_t window_id, uint32_t element_id) : Component(window_id, element_id) {}

  bool Create(const SuperButtonProperties& properties, uint32_t extra_style, HWND parent, uint32_t control_id,
              RECT rect);
  const SuperButtonProperties& properties() const { return properties_; }
  // Operation 4: 1 when the button must be rebuilt.
  int32_t SetProperty(int32_t property, const PropertyValue& value);
  bool GetProperty(int32_t property, PropertyValue* value);
  bool is_default() const { return is_default_; }
  bool hovered() const { return hovered_; }
  // Null until the mouse first came over a button that has a tooltip text.
  HWND tooltip_window() const { return tooltip_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnReflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void OnFinalDestroy() override;

 private:
  enum Slot { kSlotIn = 0, kSlotOut, kSlotDisabled, kSlotCount };
  struct Picture {
    HBITMAP bitmap = nullptr;
    HBITMAP mask = nullptr;  // 1 where the picture is transparent
    int width = 0, height = 0;
    explicit operator bool() const { return bitmap != nullptr; }
  };

  bool flat() const { return properties_.btn_style != kStyleRaised; }
  bool xp() const { return properties_.btn_style == kStyleXp; }
  POINT PressedOffset() const;
  COLORREF DrawColour(ButtonColour which) const;

  void BuildPicture(Slot slot);
  void FreePicture(Slot slot);
  void ApplyFont();
  void UpdateTooltip();
  void RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam);
  void Redraw();

  void Draw(const DRAWITEMSTRUCT& item);
  const Picture* ChoosePicture(bool disabled, bool pressed) const;
  void DrawPicture(HDC dc, const Picture& picture, int x, int y, bool grey) const;
  void DrawCaption(HDC dc, RECT area, bool disabled, bool lit, bool focused) const;

  void TrackHover(LPARAM lparam, WPARAM keys);
  void ClearHover();
  void Click();
  void PlayButtonSound(const std::vector<uint8_t>& wave) const;

  SuperButtonProperties properties_;
  Picture pictures_[kSlotCount];
  HFONT font_ = nullptr;
  HWND tooltip_ = nullptr;
  bool tool_added_ = false;
  bool is_default_ = false;
  bool hovered_ = false;
  bool lost_focus_by_disabling_ = false;
};

// Where the unit's sounds go: NotifyRuntime code 2015 unless a test listens.
using ButtonSoundPlayer = void (*)(const uint8_t* wave, uint32_t size);
extern ButtonSoundPlayer g_button_sound_player;

extern const UnitDescriptor kSuperBtnUnit;
