// A menu item's properties: 0 caption, 1 checked, 2 disabled, 3 visible.
#pragma once
#include <cstdint>

#include "ui/element_location.h"

uint64_t ReadMenuItemProperty(const Located& at, int32_t property);
void WriteMenuItemProperty(const Located& at, int32_t property, uint32_t low);
