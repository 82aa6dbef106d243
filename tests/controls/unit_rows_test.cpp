// The form compiler and the units agree on every stored property. For each
// unit the compiler knows, the data it makes with every field away from its
// default (every_property.h, generated from the compiler's table) must
// create the unit; each field must be the unit's row at the same place, of
// the same number, kind and version, and read back through get as it was set;
// save must give the same bytes again; and a text written as null is empty.
#include <cstring>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "every_property.h"
#include "runtime_state_for_tests.h"
#include "units/table_unit.h"

namespace controls_test {
namespace {

constexpr uint32_t kWindowUnitType = 0x00010001;

bool KindsAgree(char compiler, const units::RowInfo& row) {
  using units::Kind;
  bool word = row.kind == Kind::kWord || row.kind == Kind::kChoice;
  switch (compiler) {
    case 'i': return word && row.type != PT_TRUTH;
    // A form may write a two-way choice as true or false (a bar's style).
    case 'b': return row.kind == Kind::kTruth || (row.kind == Kind::kWord && (row.type == PT_TRUTH || row.type == PT_CHOICE));
    case 't': return row.kind == Kind::kText;
    case 'B':
    case 'p': return row.kind == Kind::kBytes;
    case 'f': return row.kind == Kind::kFont;
    case 'c': return row.kind == Kind::kCharacter;
    default: return false;
  }
}

// What get handed back, as bytes: a word's four, a text up to its end,
// byte data and fonts by their length.
std::vector<uint8_t> Received(char kind, const PropertyValue& value) {
  const auto* at = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value.low));
  if (kind == 'i' || kind == 'b') return {};
  if (!at) return {};
  if (kind == 't' || kind == 'c') return std::vector<uint8_t>(at, at + std::strlen(reinterpret_cast<const char*>(at)));
  return std::vector<uint8_t>(at, at + value.high);
}

TEST_F(ControlsTest, TheFormCompilerAndTheUnitsAgreeOnEveryStoredProperty) {
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

    auto get = reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY));
    for (int i = 0; i < expected.count; ++i) {
      const every_property::Field& field = expected.fields[i];
      const units::RowInfo& row = stored[static_cast<size_t>(i)];
      SCOPED_TRACE(field.name);
      EXPECT_TRUE(KindsAgree(field.kind, row)) << "kind " << field.kind << " against row kind "
                                               << static_cast<int>(row.kind) << ", type " << row.type;
      EXPECT_EQ(row.number + 8, field.number);
      EXPECT_EQ(row.since, field.since);
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
              std::vector<uint8_t>(expected.data, expected.data + expected.size))
        << "saved again";
    GlobalUnlock(saved);
    GlobalFree(saved);

    // A text written as a null pointer reads back empty. The events such a
    // write raises are held: this object belongs to no loaded window.
    test_runtime::SetEventBlock(1);
    auto set = reinterpret_cast<UnitSetProperty>(unit->interface_function(UNIT_SET_PROPERTY));
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

}  // namespace
}  // namespace controls_test
