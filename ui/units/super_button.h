// SuperBtn: an owner-drawn push button with three pictures (normal, hover,
// disabled) made transparent by masks, six colours, three looks (flat,
// raised, rounded hover), a check-box mode, click and hover sounds and a
// tooltip. Unit 1 of the second UI-extension library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi_handle.h"
#include "ui/component.h"
#include "ui/unit.h"
#include "ui/units/super_button_properties.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_window.h"

// Looks (BtnStyle).
enum : uint32_t { kStyleFlat = 0, kStyleRaised = 1, kStyleXp = 2 };
// Picture placement (AlignStyle).
enum : uint32_t { kPictureLeft = 0, kPictureAbove = 1, kPictureRight = 2, kPictureOverlaid = 3 };

// Colours in stored order: foreground then background, for the mouse
// outside, inside (or pressed) and with the focus.
enum ButtonColour { kFgOut = 0, kBkOut, kFgIn, kBkIn, kFgFocus, kBkFocus };

// Adds one amount to R, G and B: 32, or less so that no channel passes 255.
COLORREF LightenColour(COLORREF colour, int amount);

// Empty property data takes the system's button colours.
struct SuperButtonProperties : SuperButtonStored {
  SuperButtonProperties();

  uint32_t Colour(ButtonColour which) const {
    const uint32_t colours[] = {fg_color_out, bk_color_out, fg_color_in, bk_color_in, fg_color_focus, bk_color_focus};
    return colours[which];
  }
};

inline constexpr auto kSuperButtonTable = SuperButtonTable<SuperButtonProperties>();

class SuperButton : public units::TableComponent<SuperButtonProperties, kSuperButtonTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const controls::Placement& at);
  int32_t Apply(units::Change change, int32_t number, const PropertyValue& value);
  bool IsDefaultButton() const { return is_default_; }
  bool hovered() const { return hovered_; }
  // Null until the mouse first came over a button that has a tooltip text.
  HWND tooltip_window() const { return tooltip_; }
  void OnDpiChanged() override;

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
  void ApplyTooltipWidth();
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
