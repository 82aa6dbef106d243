// A component made again from its current properties, when a written
// property is a creation style.
#pragma once
#include <cstdint>

#include "ui/unit.h"
#include "ui/window_records.h"

// Replaces the component at `position` by a new object made from its
// current properties.
void RebuildComponent(WindowRecord* record, int32_t position, const UnitDescriptor* unit);
