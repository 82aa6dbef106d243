// Reading and writing properties of windows, components and menu items by
// number: the standard ones of every element with or without a live window,
// the unit's own through its interface function, converted by type.
#pragma once
#include <cstdint>

uint64_t ReadElementProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field);
void WriteElementProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field, uint32_t low,
                          uint32_t high);

// A unit object held in a variable: the property number indexes the unit's
// table directly.
uint64_t ReadUnitObjectProperty(uint32_t component_type, uint32_t object, int32_t property, int32_t sub_field);
void WriteUnitObjectProperty(uint32_t component_type, uint32_t object, int32_t property, int32_t sub_field,
                             uint32_t low, uint32_t high);
