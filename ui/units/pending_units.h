// The menu item unit: menu items are built into their window's menu and
// never become objects, so the unit has no operations.
#pragma once
#include "ui/unit.h"

extern const UnitDescriptor kMenuItemUnit;
