#include "ui/element_location.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/error_report.h"
#include "ui/component.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

Located Locate(uint32_t window_id, uint32_t element_id) {
  WindowRecord* record = FindWindowRecord(window_id);
  if (!record)
    RaiseRuntimeError("未载入欲访问窗口组件所在的窗口", 0, static_cast<int32_t>(window_id),
                      static_cast<int32_t>(element_id));
  int32_t position = element_id == 0 ? 0 : record->elements().PositionOf(element_id);
  if (position < 0)
    RaiseRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0, static_cast<int32_t>(window_id),
                      static_cast<int32_t>(element_id));
  return {record, position};
}

Component* LiveObject(const Located& at) {
  Component* object = at.record->ObjectAt(at.position);
  if (!object) return nullptr;
  if (object->hwnd() && !IsWindow(object->hwnd())) return nullptr;
  return object;
}

const UnitDescriptor* UnitOf(const Located& at) {
  return FindUnit(at.record->elements().Layout(at.position).component_type);
}

void ReplaceTerminatedText(ElementList& elements, int32_t position, uint32_t offset, const char* text) {
  const char* old_text = reinterpret_cast<const char*>(elements.EntryData(position) + offset);
  uint32_t old_length = static_cast<uint32_t>(std::strlen(old_text)) + 1;
  std::string replacement = text ? text : "";
  elements.ReplaceRange(position, offset, old_length, replacement.c_str(),
                        static_cast<uint32_t>(replacement.size()) + 1);
}
