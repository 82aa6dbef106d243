// Button: the push button control, with an optional picture. A click raises
// event 0; a new picture rebuilds the button.
#include "../component.h"
#include "../property_writer.h"
#include "control_support.h"
#include "standard_controls.h"
#include "wide_text.h"

using namespace controls;

namespace {

struct ButtonProperties {
  uint32_t type = 0;  // 0 normal, 1 default
  uint32_t horizontal_align = 1;
  uint32_t vertical_align = 1;
  std::vector<uint8_t> picture;
  UnitFont font;
  std::string caption;

  static constexpr uint32_t kVersion = 1;
  bool Read(ByteReader& reader) {
    uint32_t version;
    if (!ReadVersion(reader, kVersion, &version)) return false;
    type = reader.Word();
    horizontal_align = ClampChoice(reader.Word(), 2);
    vertical_align = ClampChoice(reader.Word(), 2);
    picture = BytesOf(reader.Buffer());
    font.SetStored(reader.Buffer());
    caption = TextOf(reader.CountedText());
    return !reader.failed();
  }
  HGLOBAL Save() const {
    PropertyWriter writer;
    writer.Word(kVersion);
    writer.Word(type);
    writer.Word(horizontal_align);
    writer.Word(vertical_align);
    writer.Buffer(picture);
    font.Write(writer);
    writer.CountedText(caption);
    return writer.ToGlobal();
  }
  // Type and alignment bits of the style.
  DWORD Style() const {
    static const DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static const DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    return (type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | kHorizontal[horizontal_align] |
           kVertical[vertical_align];
  }
};

constexpr DWORD kStyleBits = BS_TYPEMASK | BS_CENTER | BS_VCENTER;

class Button : public Component {
 public:
  using Component::Component;
  ButtonProperties p;

  bool Create(uint32_t extra_style, HWND parent, uint32_t control_id, RECT rect) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | extra_style | BS_MULTILINE | p.Style();
    // An undecodable picture leaves the button without one.
    if (IsIconFile(p.picture.data(), p.picture.size())) {
      icon_ = IconFromFile(p.picture.data(), p.picture.size());
      if (icon_) style |= BS_ICON;
    } else if ((bitmap_ = BitmapFromPicture(p.picture))) {
      style |= BS_BITMAP;
    }
    HWND window = CreateWindowExW(0, L"BUTTON", GbkToWide(p.caption.c_str()).c_str(), style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)), nullptr, nullptr);
    if (!window) {
      ReleasePicture();
      return false;
    }
    Attach(window);
    if (icon_) SendMessageW(window, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_));
    if (bitmap_) SendMessageW(window, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle()), FALSE);
    return true;
  }

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
    RaiseEvent(0);
    *result = 0;
    return true;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_NCDESTROY) ReleasePicture();
    return Default(message, wparam, lparam);
  }

 private:
  void ReleasePicture() {
    if (icon_) DestroyIcon(icon_);
    if (bitmap_) DeleteObject(bitmap_);
    icon_ = nullptr;
    bitmap_ = nullptr;
  }
  HICON icon_ = nullptr;
  HBITMAP bitmap_ = nullptr;
};

enum : int32_t { BT_PICTURE, BT_TYPE, BT_CAPTION, BT_HORIZONTAL_ALIGN, BT_VERTICAL_ALIGN, BT_FONT, BT_COUNT };

const PropertyInfo kProperties[8 + BT_COUNT] = {
    QELMO_STANDARD_PROPERTIES, {PT_PICTURE, 0}, {PT_CHOICE, 0}, {PT_TEXT, 0},
    {PT_CHOICE, 0},            {PT_CHOICE, 0},  {PT_FONT, 0},
};

int32_t Get(Component* object, int32_t property, PropertyValue* value) {
  ButtonProperties& p = static_cast<Button*>(object)->p;
  switch (property) {
    case BT_PICTURE: *value = BytesValue(p.picture); return 1;
    case BT_TYPE: *value = WordValue(p.type); return 1;
    case BT_CAPTION: *value = TextValue(p.caption); return 1;
    case BT_HORIZONTAL_ALIGN: *value = WordValue(p.horizontal_align); return 1;
    case BT_VERTICAL_ALIGN: *value = WordValue(p.vertical_align); return 1;
    case BT_FONT: *value = p.font.Value(); return 1;
    default: return 0;
  }
}

int32_t Set(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* button = static_cast<Button*>(object);
  ButtonProperties& p = button->p;
  HWND window = button->hwnd();
  switch (property) {
    case BT_PICTURE: {
      std::vector<uint8_t> picture = BytesFrom(*value);
      if (picture == p.picture) return 0;
      p.picture = std::move(picture);
      return 1;  // BS_BITMAP / BS_ICON are creation styles
    }
    case BT_TYPE:
      p.type = value->low;
      button->ApplyStyle();
      return 0;
    case BT_HORIZONTAL_ALIGN:
    case BT_VERTICAL_ALIGN:
      (property == BT_HORIZONTAL_ALIGN ? p.horizontal_align : p.vertical_align) = ClampChoice(value->low, 2);
      button->ApplyStyle();
      return 0;
    case BT_CAPTION: {
      std::string caption = TextFrom(*value);
      if (caption == p.caption) return 0;
      p.caption = std::move(caption);
      SetWindowTextW(window, GbkToWide(p.caption.c_str()).c_str());
      ShowNow(window);
      return 0;
    }
    case BT_FONT:
      SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      p.font.SetValue(*value);
      SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle()), TRUE);
      ShowNow(window);
      return 0;
    default:
      return 0;
  }
}

HGLOBAL Save(Component* object) { return static_cast<Button*>(object)->p.Save(); }

int32_t IsDefaultButton(Component* object) { return static_cast<Button*>(object)->p.type == 1 ? 1 : 0; }

void* Interface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateControl<Button>);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&Set);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&Save);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&Get);
    case UNIT_IS_DEFAULT_BUTTON: return reinterpret_cast<void*>(&IsDefaultButton);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kButtonUnit = {"Button", "按钮", kUnitRaisesEvents, kProperties, 8 + BT_COUNT, Interface};
