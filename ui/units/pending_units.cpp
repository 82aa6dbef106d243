#include "ui/units/pending_units.h"

namespace {

const PropertyInfo kStandardOnly[8] = {QELMO_STANDARD_PROPERTIES};

void* NoInterface(int32_t) { return nullptr; }

}  // namespace

// Menu items are built into their window's menu, never created as objects.
const UnitDescriptor kMenuItemUnit = {"menu", "菜单", kUnitRaisesEvents, kStandardOnly, 4, NoInterface};
