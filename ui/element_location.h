// An element of a loaded window, found by its window and element ids, as
// property access and the window manager's own operations address it.
#pragma once
#include <cstdint>

#include "ui/component.h"
#include "ui/unit.h"
#include "ui/window_records.h"

struct Located {
  WindowRecord* record;
  int32_t position;
};

// The element; a runtime error when its window is not loaded or it is not
// there.
Located Locate(uint32_t window_id, uint32_t element_id);
// Its component object while that lives, else null.
Component* LiveObject(const Located& at);
const UnitDescriptor* UnitOf(const Located& at);

// Replaces the zero-terminated text at `offset` of an element's entry (its
// tag, a menu item's caption) with `text` (null: empty).
void ReplaceTerminatedText(ElementList& elements, int32_t position, uint32_t offset, const char* text);
