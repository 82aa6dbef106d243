#include "ui/units/unit_tables.h"

#include <array>

#include "runtime/runtime_services.h"
#include "ui/units/button_properties.h"
#include "ui/units/common_dlg_properties.h"
#include "ui/units/edit_box_properties.h"
#include "ui/units/label_properties.h"
#include "ui/units/pending_units.h"
#include "ui/units/process_bar_properties.h"
#include "ui/units/standard_controls.h"
#include "ui/units/status_bar_properties.h"
#include "ui/units/super_button.h"
#include "ui/units/trans_label.h"
#include "ui/units/trans_label_properties.h"
#include "ui/units/window_unit.h"

namespace {

// Every unit with its component type, from its description; each library's
// table is made from these.
struct UnitOfType {
  uint32_t component_type;
  const UnitDescriptor* unit;
};
constexpr uint32_t kMenuItemComponentType = 0x00010003;
constexpr UnitOfType kUnits[] = {
    {kWindowComponentType, &kWindowUnit},
    {kMenuItemComponentType, &kMenuItemUnit},
    {kEditBoxComponentType, &kEditBoxUnit},
    {kLabelComponentType, &kLabelUnit},
    {kButtonComponentType, &kButtonUnit},
    {kProcessBarComponentType, &kProcessBarUnit},
    {kCommonDlgComponentType, &kCommonDlgUnit},
    {kStatusBarComponentType, &kStatusBarUnit},
    {kTransLabelComponentType, &kTransLabelUnit},
    {kSuperButtonComponentType, &kSuperBtnUnit},
};

constexpr uint32_t LibraryOf(uint32_t component_type) { return component_type >> 16; }
constexpr uint32_t NumberOf(uint32_t component_type) { return component_type & 0xFFFF; }

// The highest unit number of a library: the length of its table.
constexpr uint32_t TableLength(uint32_t library) {
  uint32_t length = 0;
  for (const UnitOfType& entry : kUnits)
    if (LibraryOf(entry.component_type) == library && NumberOf(entry.component_type) > length)
      length = NumberOf(entry.component_type);
  return length;
}

// A library's units by number; numbers no unit has are empty.
template <uint32_t kLibrary>
constexpr auto TableOf() {
  std::array<const UnitDescriptor*, TableLength(kLibrary)> table = {};
  for (const UnitOfType& entry : kUnits)
    if (LibraryOf(entry.component_type) == kLibrary) table[NumberOf(entry.component_type) - 1] = entry.unit;
  return table;
}

constexpr auto kCoreTable = TableOf<1>();
constexpr auto kUiExtensionTable = TableOf<2>();
constexpr auto kUiExtension2Table = TableOf<4>();

}  // namespace

const UnitDescriptor* const* const kCoreUnits = kCoreTable.data();
const int32_t kCoreUnitCount = kCoreTable.size();
const UnitDescriptor* const* const kUiExtensionUnits = kUiExtensionTable.data();
const int32_t kUiExtensionUnitCount = kUiExtensionTable.size();
const UnitDescriptor* const* const kUiExtension2Units = kUiExtension2Table.data();
const int32_t kUiExtension2UnitCount = kUiExtension2Table.size();

const UnitDescriptor* FindUnit(uint32_t component_type) {
  uint32_t library = LibraryOf(component_type);
  uint32_t unit = NumberOf(component_type);
  if (unit == 0) return nullptr;
  const LibraryDescriptor* descriptor = ApplicationLibrary(library);
  if (!descriptor || !descriptor->units || unit > static_cast<uint32_t>(descriptor->unit_count)) return nullptr;
  return descriptor->units[unit - 1];
}
