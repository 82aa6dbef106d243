#include "ui/units/unit_tables.h"

#include "runtime/runtime_services.h"
#include "ui/units/pending_units.h"
#include "ui/units/standard_controls.h"
#include "ui/units/super_button.h"
#include "ui/units/trans_label.h"
#include "ui/units/window_unit.h"

const UnitDescriptor* const kCoreUnits[] = {
    &kWindowUnit,        nullptr, &kMenuItemUnit, nullptr, &kEditBoxUnit,      // 1-5
    nullptr,             nullptr, nullptr,        nullptr, &kLabelUnit,        // 6-10
    &kButtonUnit,        nullptr, nullptr,        nullptr, nullptr,            // 11-15
    nullptr,             nullptr, nullptr,        &kProcessBarUnit,    nullptr,  // 16-20
    nullptr,             nullptr, nullptr,        nullptr, nullptr,            // 21-25
    nullptr,             nullptr, nullptr,        nullptr, nullptr,            // 26-30
    &kCommonDlgUnit,                                                           // 31
};
const int32_t kCoreUnitCount = sizeof kCoreUnits / sizeof kCoreUnits[0];

const UnitDescriptor* const kUiExtensionUnits[] = {nullptr, &kStatusBarUnit, nullptr, nullptr, &kTransLabelUnit};
const int32_t kUiExtensionUnitCount = sizeof kUiExtensionUnits / sizeof kUiExtensionUnits[0];

const UnitDescriptor* const kUiExtension2Units[] = {&kSuperBtnUnit};
const int32_t kUiExtension2UnitCount = sizeof kUiExtension2Units / sizeof kUiExtension2Units[0];

const UnitDescriptor* FindUnit(uint32_t component_type) {
  uint32_t library = component_type >> 16;
  uint32_t unit = component_type & 0xFFFF;
  if (unit == 0) return nullptr;
  const LibraryDescriptor* descriptor = ApplicationLibrary(library);
  if (!descriptor || !descriptor->units || unit > static_cast<uint32_t>(descriptor->unit_count)) return nullptr;
  return descriptor->units[unit - 1];
}
