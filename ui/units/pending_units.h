// Units whose components are not built yet: they keep their property data
// and make no window, so a window that holds them still opens.
#pragma once
#include "../unit.h"

extern const UnitDescriptor kPendingTransLabel;
extern const UnitDescriptor kPendingSuperBtn;
extern const UnitDescriptor kMenuItemUnit;
