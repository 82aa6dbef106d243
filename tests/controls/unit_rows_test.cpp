// Every stored property of every unit, through the unit's own code. The
// form compiler and the units take their layouts from one description per
// unit; data in that layout (every_property.h: runs where every field holds
// a value of its own, out-of-range and negative words, and each older
// version) must create the unit, read back through get as it was stored,
// and save to the same bytes in the newest version. A write clamps where the
// unit's description says so, a second write of a value answers that nothing
// changed, and a text written as null is empty. What the descriptions
// themselves say, types and stored order, is held against the stored format
// written out at the end of this file.
#include <cstring>
#include <string>
#include <vector>

#include "runtime/runtime_state_for_tests.h"
#include "tests/controls/controls_fixture.h"
#include "tests/controls/every_property.h"
#include "ui/units/table_unit.h"

namespace controls_test {
namespace {

constexpr uint32_t kWindowUnitType = 0x00010001, kSuperBtnType = 0x00040001;

// What get handed back, as bytes: a word's four, a text up to its end,
// byte data and fonts by their length.
std::vector<uint8_t> Received(char kind, const PropertyValue& value) {
  const auto* at = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value.low));
  if (kind == 'i' || kind == 'b') return {};
  if (!at) return {};
  if (kind == 't' || kind == 'c') return std::vector<uint8_t>(at, at + std::strlen(reinterpret_cast<const char*>(at)));
  return std::vector<uint8_t>(at, at + value.high);
}

// The ranges a write clamps to, by unit and property number.
struct Limit {
  uint32_t type;
  int32_t number;
  uint32_t max;
};
constexpr Limit kLimits[] = {
    {0x00040001, 8, 2},  {0x00040001, 11, 3}, {0x00040001, 12, 1}, {0x00040001, 34, 1},  // SuperBtn
    {0x00020005, 9, 3},  {0x00020005, 12, 2}, {0x00020005, 14, 2},                       // TransLabel
    {0x0001000A, 9, 4},  {0x0001000A, 10, 6}, {0x0001000A, 19, 2}, {0x0001000A, 20, 8},  // Label
    {0x0001000A, 24, 2}, {0x0001000A, 26, 2},
    {0x0001000B, 11, 2}, {0x0001000B, 12, 2},                                            // Button
    {0x00010013, 8, 5},  {0x00010013, 13, 32767},                                        // ProcessBar
};

TEST_F(ControlsTest, EveryStoredPropertyReadsBackAndSavesAsStored) {
  for (const every_property::Unit& expected : every_property::kUnits) {
    SCOPED_TRACE(expected.name);
    const UnitDescriptor* unit = FindUnit(expected.type);
    ASSERT_NE(unit, nullptr);
    const auto* rows = static_cast<const units::RowInfoList*>(unit->interface_function(units::UNIT_DESCRIBE_ROWS));
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->version, expected.version);
    std::vector<units::RowInfo> stored;
    for (size_t i = 0; i < rows->count; ++i)
      if (rows->rows[i].kind != units::Kind::kUnstored) stored.push_back(rows->rows[i]);
    ASSERT_EQ(stored.size(), static_cast<size_t>(expected.count)) << "stored properties";

    auto create = reinterpret_cast<UnitCreate>(unit->interface_function(UNIT_CREATE));
    HWND parent = expected.type == kWindowUnitType ? nullptr : window_;
    Component* object =
        create(expected.data, expected.size, 0, parent, 998, nullptr, 0, 0, 120, 60, 0x52000099, 0, 0, 0);
    ASSERT_NE(object, nullptr);
    auto set = reinterpret_cast<UnitSetProperty>(unit->interface_function(UNIT_SET_PROPERTY));

    auto get = reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY));
    for (int i = 0; i < expected.count; ++i) {
      const every_property::Field& field = expected.fields[i];
      const units::RowInfo& row = stored[static_cast<size_t>(i)];
      SCOPED_TRACE(field.name);
      PropertyValue value = {};
      ASSERT_EQ(get(object, row.number, &value), 1) << "property " << row.number + 8;
      if (field.kind == 'i' || field.kind == 'b') {
        EXPECT_EQ(value.low, field.word) << "property " << row.number + 8;
      } else {
        EXPECT_EQ(Received(field.kind, value), std::vector<uint8_t>(field.bytes, field.bytes + field.size))
            << "property " << row.number + 8;
      }
    }

    auto save = reinterpret_cast<UnitSaveProperties>(unit->interface_function(UNIT_SAVE_PROPERTIES));
    HGLOBAL saved = save(object);
    ASSERT_NE(saved, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(saved));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + GlobalSize(saved)),
              std::vector<uint8_t>(expected.saved, expected.saved + expected.saved_size))
        << "saved again";
    GlobalUnlock(saved);
    GlobalFree(saved);

    // A text written as a null pointer reads back empty. The events such a
    // write raises are held: this object belongs to no loaded window.
    test_runtime::SetEventBlock(1);
    // A write brings a value into the range the unit's description gives:
    // above it the largest value, below 0 none.
    for (const Limit& limit : kLimits) {
      if (limit.type != expected.type) continue;
      for (uint32_t written : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
        PropertyValue value = {written, 0}, back = {};
        set(object, limit.number - 8, &value, 0);
        get(object, limit.number - 8, &back);
        EXPECT_EQ(back.low, written == 0xFFFFFFFFu ? 0u : limit.max) << "property " << limit.number << " written " << written;
      }
    }
    // The same word written twice: the second write changes nothing, and
    // answers so, except where a write always rebuilds (the super button's
    // default style).
    for (int i = 0; i < expected.count; ++i) {
      const units::RowInfo& row = stored[static_cast<size_t>(i)];
      if ((expected.fields[i].kind != 'i' && expected.fields[i].kind != 'b') || row.live) continue;
      PropertyValue value = {expected.fields[i].word, 0};
      set(object, row.number, &value, 0);
      bool always = expected.type == kSuperBtnType && row.number + 8 == 34;
      EXPECT_EQ(set(object, row.number, &value, 0), always ? 1 : 0) << expected.fields[i].name << " written again";
    }
    for (int i = 0; i < expected.count; ++i) {
      if (expected.fields[i].kind != 't') continue;
      int32_t number = stored[static_cast<size_t>(i)].number;
      PropertyValue none = {0, 0}, value = {};
      set(object, number, &none, 0);
      ASSERT_EQ(get(object, number, &value), 1);
      EXPECT_STREQ(reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low)), "") << expected.fields[i].name;
    }
    test_runtime::SetEventBlock(0);
    // A window raises its closing event as it goes, and this one belongs
    // to no loaded window: it stays, hidden, until the test program ends.
    if (expected.type != kWindowUnitType) DestroyWindow(object->hwnd());
  }
}

// Each unit's property types by number, the eight standard ones first: t
// text, T text or file name, c choice, b truth, i integer, k colour (1014 or 1017 where the
// description names no code), C colour 1014, A colour 1017, p picture, n
// icon, s sound, f font, y byte data, m mouse pointer.
bool TypeFits(char code, uint16_t type) {
  switch (code) {
    case 't': return type == PT_TEXT;
    case 'T': return type == PT_TEXT || type == PT_FILE_NAME;
    case 'c': return type == PT_CHOICE;
    case 'b': return type == PT_TRUTH;
    case 'i': return type == PT_INTEGER;
    case 'k': return type == PT_COLOUR || type == PT_COLOUR_ALT;
    case 'C': return type == PT_COLOUR;
    case 'A': return type == PT_COLOUR_ALT;
    case 'p': return type == PT_PICTURE;
    case 'n': return type == PT_ICON;
    case 's': return type == PT_SOUND;
    case 'f': return type == PT_FONT;
    case 'y': return type == PT_BYTES || type == PT_BYTES_ALT;
    case 'm': return type == PT_MOUSE_POINTER;
    default: return false;
  }
}

// Each unit's property types by number and the order its data stores them
// in, as the stored format gives them: a wrong description fails here.
TEST_F(ControlsTest, UnitDescriptionsGiveEachPropertyItsTypeAndStoredPlace) {
  struct Unit {
    uint32_t type;
    const char* types;
    int count;
    std::vector<int32_t> stored;  // property numbers in stored order
  } units[] = {
      {kWindowUnitType, "iiiitbbm" "tckpcscbbbcbnbbbTibbcbbt", 32,
       {9, 12, 10, 16, 17, 15, 18, 19, 14, 21, 22, 23, 25, 26, 27, 28, 29, 30, 31, 11, 20, 13, 8, 24}},
      {0x00010005, "iiiitbbm" "tckkfbibccctcciiiittt", 29,  // EditBox
       {9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 12, 8, 27, 28}},
      {0x0001000A, "iiiitbbm" "tccikkkfkkpcckkkcbctt", 29,  // Label
       {9, 11, 10, 12, 13, 14, 16, 17, 19, 20, 21, 22, 23, 24, 26, 25, 15, 18, 8, 27, 28}},
      {0x0001000B, "iiiitbbm" "pctccf", 14, {9, 11, 12, 8, 13, 10}},  // Button
      {0x00010013, "iiiitbbm" "ccciii", 14, {8, 9, 10, 11, 12, 13}},  // ProcessBar
      {0x0001001F, "iiiitbbm" "ctttttt" "bbbbbbbbbbbb" "k" "iiiiiiiiii", 38,  // CommonDlg
       {8, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 9, 10, 11, 12,
        13, 14}},
      {0x00020002, "iiiitbbm" "kcbfyy", 14, {8, 9, 10, 11, 12, 13}},   // StatusBar
      {0x00020005, "iiiitbbm" "tcfCcbc", 15, {9, 11, 12, 14, 13, 10, 8}},  // TransLabel
      {kSuperBtnType, "iiiitbbm" "cbbccbbpApApAftbCACACAbsstc", 35,
       {8, 9, 10, 11, 12, 13, 14, 18, 16, 23, 30, 34, 24, 25, 26, 27, 28, 29, 17, 15, 21, 31, 32, 22, 33, 20, 19}},
  };
  for (const Unit& expected : units) {
    const UnitDescriptor* unit = FindUnit(expected.type);
    ASSERT_NE(unit, nullptr);
    SCOPED_TRACE(unit->name);
    EXPECT_EQ(unit->property_count, expected.count);
    for (int i = 0; expected.types[i] && i < unit->property_count; ++i)
      EXPECT_TRUE(TypeFits(expected.types[i], unit->properties[i].type))
          << "property " << i << ": " << unit->properties[i].type << ", not " << expected.types[i];
    const auto* rows = static_cast<const units::RowInfoList*>(unit->interface_function(units::UNIT_DESCRIBE_ROWS));
    ASSERT_NE(rows, nullptr);
    std::vector<int32_t> stored;
    for (size_t i = 0; i < rows->count; ++i)
      if (rows->rows[i].kind != units::Kind::kUnstored) stored.push_back(rows->rows[i].number + 8);
    EXPECT_EQ(stored, expected.stored);
  }
}

}  // namespace
}  // namespace controls_test
