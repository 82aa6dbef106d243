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
#include "control_support.h"
#include "gdi_handle.h"
#include "property_table.h"

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
  uint32_t trans_colour_in = controls::kDefaultColour;
  uint32_t trans_colour_out = controls::kDefaultColour;
  uint32_t trans_colour_disabled = controls::kDefaultColour;
  uint32_t default_colour = 1;
  uint32_t standard_sound = 0;
  uint32_t default_style = 0;
  uint32_t fg_out = 0, bk_out = 0, fg_in = 0, bk_in = 0, fg_focus = 0, bk_focus = 0;
  std::vector<uint8_t> pic_in, pic_out, pic_disabled;
  controls::UnitFont font;
  std::vector<uint8_t> over_sound, click_sound;
  std::string caption = "超级按钮";
  std::string tooltip;

  uint32_t Colour(ButtonColour which) const {
    const uint32_t colours[] = {fg_out, bk_out, fg_in, bk_in, fg_focus, bk_focus};
    return colours[which];
  }
};

namespace super_button_table {
using P = SuperButtonProperties;
using units::Change;
constexpr auto kTable = units::Table<P>(2, {
    units::Choice(SB_BTN_STYLE, kStyleXp, &P::btn_style, Change::kOwn),
    units::Truth(SB_CHECK_BOX, &P::check_box, Change::kRebuild),
    units::Truth(SB_CHECKED, &P::checked, Change::kRepaint),
    units::Choice(SB_ALIGN_STYLE, kPictureOverlaid, &P::align_style, Change::kRepaint),
    units::Choice(SB_PRESS_STYLE, 1, &P::press_style, Change::kRepaint),
    units::Truth(SB_DRAW_BORDER, &P::draw_border, Change::kRepaint),
    units::Truth(SB_DRAW_FOCUS, &P::draw_focus, Change::kRepaint),
    units::Word(SB_TRANS_COLOUR_IN, PT_COLOUR_ALT, &P::trans_colour_in, Change::kOwn),
    units::Word(SB_TRANS_COLOUR_OUT, PT_COLOUR_ALT, &P::trans_colour_out, Change::kOwn),
    units::Truth(SB_DEFAULT_COLOUR, &P::default_colour, Change::kRepaint),
    units::Truth(SB_STANDARD_SOUND, &P::standard_sound, Change::kNothing),
    units::Choice(SB_DEFAULT_STYLE, 1, &P::default_style, Change::kRebuild).Always(),
    units::Word(SB_FG_COLOUR_OUT, PT_COLOUR, &P::fg_out, Change::kRepaint),
    units::Word(SB_BK_COLOUR_OUT, PT_COLOUR_ALT, &P::bk_out, Change::kRepaint),
    units::Word(SB_FG_COLOUR_IN, PT_COLOUR, &P::fg_in, Change::kRepaint),
    units::Word(SB_BK_COLOUR_IN, PT_COLOUR_ALT, &P::bk_in, Change::kRepaint),
    units::Word(SB_FG_COLOUR_FOCUS, PT_COLOUR, &P::fg_focus, Change::kRepaint),
    units::Word(SB_BK_COLOUR_FOCUS, PT_COLOUR_ALT, &P::bk_focus, Change::kRepaint),
    units::Bytes(SB_PIC_IN, PT_PICTURE, &P::pic_in, Change::kOwn),
    units::Bytes(SB_PIC_OUT, PT_PICTURE, &P::pic_out, Change::kOwn),
    units::Font(SB_FONT, &P::font, Change::kOwn),
    units::Bytes(SB_OVER_SOUND, PT_SOUND, &P::over_sound, Change::kNothing),
    units::Bytes(SB_CLICK_SOUND, PT_SOUND, &P::click_sound, Change::kNothing),
    units::Text(SB_CAPTION, &P::caption, Change::kOwn),
    units::Text(SB_TOOLTIP, &P::tooltip, Change::kOwn),
    units::Word(SB_TRANS_COLOUR_DISABLED, PT_COLOUR_ALT, &P::trans_colour_disabled, Change::kOwn).Since(2),
    units::Bytes(SB_PIC_DISABLED, PT_PICTURE, &P::pic_disabled, Change::kOwn).Since(2),
});
}  // namespace super_button_table

class SuperButton : public Component {
 public:
  SuperButton(uint32_t window_id, uint32_t element_id) : Component(window_id, element_id) {}

  static constexpr const auto& kTable = super_button_table::kTable;
  SuperButtonProperties p;

  bool Create(const controls::Placement& at);
  int32_t Apply(units::Change change, int32_t number, const PropertyValue& value);
  bool IsDefaultButton() const { return is_default_; }
  bool hovered() const { return hovered_; }
  // Null until the mouse first came over a button that has a tooltip text.
  HWND tooltip_window() const { return tooltip_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnReflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
 private:
  enum Slot { kSlotIn = 0, kSlotOut, kSlotDisabled, kSlotCount };
  struct Picture {
    OwnedBitmap bitmap;
    OwnedBitmap mask;  // 1 where the picture is transparent
    int width = 0, height = 0;
    explicit operator bool() const { return static_cast<bool>(bitmap); }
  };

  bool flat() const { return p.btn_style != kStyleRaised; }
  bool xp() const { return p.btn_style == kStyleXp; }
  POINT PressedOffset() const;
  COLORREF DrawColour(ButtonColour which) const;

  void BuildPicture(Slot slot);
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

  Picture pictures_[kSlotCount];
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
