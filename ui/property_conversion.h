// Property values between the units and compiled code: what a unit's get
// gives becomes the value a reader receives, and a written value becomes
// what the unit's set takes. Texts, byte arrays and fonts handed to compiled
// code are copies in the runtime's blocks.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/component.h"
#include "ui/unit.h"

inline uint64_t Pair(uint32_t low, uint32_t high = 0) { return static_cast<uint64_t>(high) << 32 | low; }
template <typename T>
T* AsPointer(uint32_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}

void* RuntimeAlloc(int32_t size);
// A new byte array holding `size` bytes (null when empty).
void* NewByteArray(const void* data, uint32_t size);
// Cursor data as compiled code sees it: the first word as a table index.
void* MousePointerArray(const uint8_t* data, uint32_t size);

// The type of property `table_index` of a unit (integer when unknown).
PropertyType TypeOf(const UnitDescriptor* unit, int32_t table_index);
// Turns what a unit gave into the value compiled code receives.
uint64_t ConvertForReader(PropertyType type, const PropertyValue& value, int32_t sub_field);
uint64_t ReadUnitProperty(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                          int32_t sub_field);

// Holds what a converted value points at while the unit takes it.
struct WriteValue {
  PropertyValue value = {0, 0};
  LOGFONTA font = {};
};

// `table_index` picks the property type, `unit_property` is the number the
// unit's own operations take.
void ConvertForUnit(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                    int32_t sub_field, uint32_t low, uint32_t high, WriteValue* out);
