// Button: the push button control, with an optional picture. A click raises
// event 0; a new picture rebuilds the button.
#include "platform/gdi_handle.h"
#include "platform/wide_text.h"
#include "ui/component.h"
#include "ui/units/button_properties.h"
#include "ui/units/property_values.h"
#include "ui/units/standard_controls.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_font.h"
#include "ui/units/unit_pictures.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

struct ButtonProperties : ButtonStored {
  // Type and alignment bits of the style.
  DWORD Style() const {
    static const DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static const DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    return (type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | kHorizontal[ClampChoice(horizontal_align, 2)] |
           kVertical[ClampChoice(vertical_align, 2)];
  }
};

constexpr auto kButtonTable = ButtonTable<ButtonProperties>();

constexpr DWORD kStyleBits = BS_TYPEMASK | BS_CENTER | BS_VCENTER;
constexpr int32_t kClicked = 0;  // the button's event

class Button : public TableComponent<ButtonProperties, kButtonTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | at.extra_style | BS_MULTILINE | p.Style();
    // An undecodable picture leaves the button without one.
    if (IsIconFile(p.picture.data(), p.picture.size())) {
      icon_.Reset(IconFromFile(p.picture.data(), p.picture.size()));
      if (icon_) style |= BS_ICON;
    } else {
      bitmap_.Reset(BitmapFromPicture(p.picture));
      if (bitmap_) style |= BS_BITMAP;
    }
    HWND window = CreateChildWindow(0, L"BUTTON", p.caption, style, at);
    if (!window) return false;
    Attach(window);
    if (icon_) SendMessageW(window, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_.get()));
    if (bitmap_) SendMessageW(window, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle(hwnd())), FALSE);
    return true;
  }

  void OnDpiChanged() override { ShowFont(hwnd(), p.font); }

  int32_t Apply(Change change, int32_t number, const PropertyValue&) {
    HWND window = hwnd();
    if (change == Change::kRestyle) {
      ApplyStyle();
    } else if (number == BT_FONT) {
      ShowFont(window, p.font);
    } else if (number == BT_CAPTION) {
      SetWindowTextW(window, GbkToWide(p.caption.c_str()).c_str());
      ShowNow(window);
    }
    return 0;
  }

  bool IsDefaultButton() const { return p.type == 1; }

  void ApplyStyle() {
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    LONG wanted = static_cast<LONG>((style & ~kStyleBits) | p.Style());
    if (wanted == style) return;
    // BM_SETSTYLE keeps the control's own idea of its type in step.
    SendMessageW(hwnd(), BM_SETSTYLE, static_cast<WPARAM>(wanted & BS_TYPEMASK), FALSE);
    SetWindowLongW(hwnd(), GWL_STYLE, wanted);
    RepaintNow(hwnd());
  }

  bool OnReflected(UINT message, WPARAM wparam, LPARAM, LRESULT* result) override {
    if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return false;
    RaiseEvent(kClicked);
    *result = 0;
    return true;
  }

 private:
  OwnedIcon icon_;
  OwnedBitmap bitmap_;
};

constexpr auto kProperties = PropertyTypes<kButtonTable>();

}  // namespace

const UnitDescriptor kButtonUnit = {"Button", "按钮", kUnitRaisesEvents, kProperties.data(), kProperties.size(),
                                    TableUnit<Button>::Interface};
