#include "ui/property_access.h"

#include <windows.h>

#include "runtime/error_report.h"
#include "ui/component.h"
#include "ui/component_rebuild.h"
#include "ui/element_location.h"
#include "ui/menu_item_properties.h"
#include "ui/property_conversion.h"
#include "ui/standard_properties.h"
#include "ui/unit.h"

uint64_t ReadElementProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field) {
  Located at = Locate(window_id, element_id);
  if (at.record->elements().Layout(at.position).menu_item) return ReadMenuItemProperty(at, property);
  if (property >= 0 && property < PROP_FIRST_UNIT_PROPERTY) return ReadStandardProperty(at, property);
  Component* object = LiveObject(at);
  if (!object || !at.record->IsAlive())
    RaiseRuntimeError("读取组件属性时发现指定窗口尚未载入", 0, static_cast<int32_t>(window_id),
                      static_cast<int32_t>(element_id));
  return ReadUnitProperty(UnitOf(at), object, property, property - PROP_FIRST_UNIT_PROPERTY, sub_field);
}

void WriteElementProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field, uint32_t low,
                          uint32_t high) {
  Located at = Locate(window_id, element_id);
  if (at.record->elements().Layout(at.position).menu_item) return WriteMenuItemProperty(at, property, low);
  if (property >= 0 && property < PROP_FIRST_UNIT_PROPERTY) return WriteStandardProperty(at, property, low);
  Component* object = LiveObject(at);
  if (!object || !at.record->IsAlive())
    RaiseRuntimeError("修改组件属性时发现指定窗口尚未载入", 0, static_cast<int32_t>(window_id),
                      static_cast<int32_t>(element_id));
  const UnitDescriptor* unit = UnitOf(at);
  auto set = unit ? reinterpret_cast<UnitSetProperty>(unit->interface_function(UNIT_SET_PROPERTY)) : nullptr;
  if (!set) return;
  WriteValue converted;
  ConvertForUnit(unit, object, property, property - PROP_FIRST_UNIT_PROPERTY, sub_field, low, high, &converted);
  if (set(object, property - PROP_FIRST_UNIT_PROPERTY, &converted.value, 0) == 1 && LiveObject(at) == object)
    RebuildComponent(at.record, at.position, unit);
}

uint64_t ReadUnitObjectProperty(uint32_t component_type, uint32_t object, int32_t property, int32_t sub_field) {
  return ReadUnitProperty(FindUnit(component_type), AsPointer<Component>(object), property, property, sub_field);
}

void WriteUnitObjectProperty(uint32_t component_type, uint32_t object, int32_t property, int32_t sub_field,
                             uint32_t low, uint32_t high) {
  const UnitDescriptor* unit = FindUnit(component_type);
  auto set = unit ? reinterpret_cast<UnitSetProperty>(unit->interface_function(UNIT_SET_PROPERTY)) : nullptr;
  if (!set) return;
  WriteValue converted;
  ConvertForUnit(unit, AsPointer<Component>(object), property, property, sub_field, low, high, &converted);
  set(AsPointer<Component>(object), property, &converted.value, 0);
}

