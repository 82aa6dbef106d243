// The units' stored property data: versions they refuse, damaged data, older
// versions, and the save that a rebuild hands to the new object.
#include "tests/controls/controls_fixture.h"
#include "ui/font_record.h"
#include "ui/unit.h"

namespace controls_test {
namespace {

constexpr uint32_t kEditBoxType = 0x00010005, kLabelType = 0x0001000A, kButtonType = 0x0001000B,
                   kProcessBarType = 0x00010013, kCommonDlgType = 0x0001001F, kStatusBarType = 0x00020002;

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes;
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return bytes;
}

Component* CreateFrom(uint32_t type, const std::vector<uint8_t>& data, HWND parent) {
  auto create = reinterpret_cast<UnitCreate>(FindUnit(type)->interface_function(UNIT_CREATE));
  // Ids of no window: the object's end must not clear a real element's slot.
  return create(data.data(), static_cast<uint32_t>(data.size()), 0, parent, 999, nullptr, 0, 0, 50, 20, 0x52000099,
                0, 0, 0);
}

void Destroy(Component* object) {
  if (object->hwnd())
    DestroyWindow(object->hwnd());
  else
    object->DestroyWindowless();
}

TEST_F(ControlsTest, DataTheUnitsCannotReadFailsTheCreation) {
  std::vector<uint8_t> zeros(200, 0);
  auto with = [&](std::vector<uint8_t> head) {
    head.insert(head.end(), zeros.begin(), zeros.end());
    return head;
  };
  // A part list claiming more parts than it holds.
  std::vector<uint8_t> bad_parts = Words({1, 0xFF000000, 0, 0, 0, 0, 8, 5, 60, 0, 0});
  struct Case {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
  } cases[] = {
      {"EditBox version 3", kEditBoxType, with(Words({3}))},
      {"Label version 3", kLabelType, with(Words({3}))},
      {"Button version 2", kButtonType, with(Words({2}))},
      {"ProcessBar version 2", kProcessBarType, with(Words({2}))},
      {"CommonDlg version 2", kCommonDlgType, with(Words({2}))},
      {"StatusBar version 2", kStatusBarType, with(Words({2}))},
      {"ProcessBar cut short", kProcessBarType, Words({1, 0, 0, 0})},
      {"Button text longer than the data", kButtonType, Words({1, 0, 1, 1, 0, 0, 50, 'a'})},
      {"StatusBar damaged part list", kStatusBarType, bad_parts},
  };
  for (const Case& c : cases) {
    Component* object = CreateFrom(c.type, c.data, window_);
    EXPECT_EQ(object, nullptr) << c.what;
    if (object) Destroy(object);
  }
  // Empty data leaves the defaults.
  Component* plain = CreateFrom(kProcessBarType, {}, window_);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(SendMessageW(plain->hwnd(), PBM_GETRANGE, FALSE, 0), 100);
  Destroy(plain);
}

TEST_F(ControlsTest, OlderVersionsLoadWithTheirFields) {
  EXPECT_EQ(ReadText(kOldLabel, 8), "旧版本");
  EXPECT_EQ(Read(kOldLabel, 11), 2u);
  EXPECT_EQ(ReadText(kOldLabel, 27), "");
  EXPECT_EQ(ReadText(kOldBox, 8), "旧");
  EXPECT_EQ(ReadText(kOldBox, 28), "");
}

// Every property written through WriteProperty survives save and create:
// what a rebuild relies on.
TEST_F(ControlsTest, SavedPropertiesCreateAnEqualObject) {
  std::vector<uint8_t> picture = ByteArray({'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8});
  std::vector<uint8_t> parts = ByteArray(
      {1, 0, 0, 0, 50, 0, 0, 0, 0, 2, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0, 't', 'i', 'p', 0});
  struct Write {
    int32_t property;
    uint32_t value;
    int32_t sub_field = -1;
  };
  struct Case {
    uint32_t element;
    uint32_t type;
    std::vector<Write> writes;
  } cases[] = {
      {kPlainBox,
       kEditBoxType,
       {{8, PointerWord("甲乙丙")}, {9, 5}, {10, 0x123456}, {11, 0x654321}, {12, 20, FONT_POINT_SIZE}, {13, 0}, {14, 50},
        {16, 2}, {17, 1}, {18, 1}, {19, PointerWord("＃")}, {20, 2}, {22, 3}, {23, 9}, {24, 2}, {25, 2},
        {27, PointerWord("源")}, {28, PointerWord("字段")}}},
      {kTextLabel,
       kLabelType,
       {{8, PointerWord("文字")}, {9, 3}, {10, 6}, {11, 3}, {12, 0x111111}, {13, 0x222222}, {14, 0x333333},
        {15, 1, FONT_ITALIC}, {16, 0x444444}, {17, 0x555555}, {18, PointerWord(picture.data())}, {19, 2}, {20, 5},
        {21, 0x666666}, {22, 0x777777}, {23, 0x888888}, {24, 2}, {25, 1}, {26, 0}, {27, PointerWord("源")},
        {28, PointerWord("字段")}}},
      {kButton,
       kButtonType,
       {{8, PointerWord(picture.data())}, {9, 1}, {10, PointerWord("按钮文字")}, {11, 0}, {12, 2}, {13, 1, FONT_BOLD}}},
      {kBar, kProcessBarType, {{8, 4}, {9, 1}, {10, 0}, {11, 5}, {12, 50}, {13, 20}}},
      {kDialog,
       kCommonDlgType,
       {{8, 3}, {9, PointerWord("标题")}, {14, PointerWord("宋体")}, {15, 1}, {26, 1}, {27, 0xABCDEF}, {28, 4}, {37, 12345}}},
      {kBottomStatus,
       kStatusBarType,
       {{8, 0x00FFFF}, {9, 2}, {10, 1}, {11, 14, FONT_POINT_SIZE}, {13, PointerWord(parts.data())}}},
  };
  for (const Case& c : cases) {
    for (const Write& w : c.writes) kernel_services.WriteProperty(kWindow, c.element, w.property, w.sub_field, w.value, 0);
    const UnitDescriptor* unit = FindUnit(c.type);
    auto save = reinterpret_cast<UnitSaveProperties>(unit->interface_function(UNIT_SAVE_PROPERTIES));
    auto get = reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY));
    Component* original = ObjectOf(c.element);
    HGLOBAL saved = save(original);
    ASSERT_NE(saved, nullptr) << unit->name;
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(saved));
    std::vector<uint8_t> data(bytes, bytes + GlobalSize(saved));
    GlobalUnlock(saved);
    GlobalFree(saved);
    Component* copy = CreateFrom(c.type, data, window_);
    ASSERT_NE(copy, nullptr) << unit->name;

    for (int32_t property = 8; property < unit->property_count; ++property) {
      PropertyValue a = {}, b = {};
      ASSERT_EQ(get(original, property - 8, &a), 1) << unit->name << " " << property;
      ASSERT_EQ(get(copy, property - 8, &b), 1) << unit->name << " " << property;
      auto text = [](const PropertyValue& v) { return std::string(reinterpret_cast<const char*>(v.low)); };
      auto raw = [](const PropertyValue& v, uint32_t size) {
        return v.low ? std::string(reinterpret_cast<const char*>(v.low), size) : std::string();
      };
      switch (unit->properties[property].type) {
        case PT_TEXT:
          EXPECT_EQ(text(a), text(b)) << unit->name << " " << property;
          break;
        case PT_FONT:
          EXPECT_EQ(raw(a, sizeof(LOGFONTA)), raw(b, sizeof(LOGFONTA))) << unit->name << " " << property;
          EXPECT_NE(a.low, 0u) << unit->name << " wrote a font";
          break;
        case PT_PICTURE:
        case PT_BYTES:
          EXPECT_EQ(raw(a, a.high), raw(b, b.high)) << unit->name << " " << property;
          break;
        default:
          EXPECT_EQ(a.low, b.low) << unit->name << " " << property;
          break;
      }
    }
    Destroy(copy);
  }
}

}  // namespace
}  // namespace controls_test
