// The runtime core's view of the window manager.
#include "runtime/window_link.h"

#include "platform/pointer_word.h"
#include "runtime/error_report.h"
#include "runtime/notify.h"
#include "runtime/runtime_services.h"
#include "ui/component.h"
#include "ui/events.h"
#include "ui/keyboard.h"
#include "ui/property_access.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

namespace {


// Code 2000: an element's object is gone.
int32_t ElementDestroyed(uint32_t window_id, uint32_t element_id) {
  if (g_replacing_element) return 0;
  WindowRecord* record = FindWindowRecord(window_id);
  if (!record) return 0;
  ElementList& elements = record->elements();
  bool whole_window = element_id == 0 || element_id == elements.IdAt(0);
  if (whole_window) {
    for (int32_t i = 0; i < elements.count(); ++i) {
      if (elements.Layout(i).menu_item) continue;
      record->SetObjectAt(i, nullptr);
      record->SetCursorAt(i, nullptr);
    }
    EndLocalLoopOf(window_id);
    return 0;
  }
  int32_t position = elements.PositionOf(element_id);
  if (position < 0 || elements.Layout(position).menu_item) return 0;
  if (HCURSOR cursor = record->CursorAt(position)) DestroyCursor(cursor);
  record->SetCursorAt(position, nullptr);
  record->SetObjectAt(position, nullptr);
  return 0;
}

// Code 2006: the live object of an element, or null.
Component* LiveObject(uint32_t window_id, uint32_t element_id) {
  WindowRecord* record = FindWindowRecord(window_id);
  if (!record) return nullptr;
  int32_t position = element_id == 0 ? 0 : record->elements().PositionOf(element_id);
  if (position < 0) return nullptr;
  Component* object = record->ObjectAt(position);
  if (!object) return nullptr;
  if (object->hwnd() && !IsWindow(object->hwnd())) return nullptr;
  // A windowless component lives without a window of its own.
  if (!object->hwnd() && !record->IsAlive()) return nullptr;
  return object;
}

}  // namespace

namespace window_link {

bool LoadTemplate(const void* data, uint32_t size, const void* code_base) {
  std::vector<std::unique_ptr<TemplateWindow>> windows;
  if (!ReadWindowTemplate(static_cast<const uint8_t*>(data), size,
                          static_cast<uint32_t>(reinterpret_cast<uintptr_t>(code_base)), &windows))
    return false;
  for (auto& window : windows) WindowRecords().push_back(std::make_unique<WindowRecord>(std::move(window)));
  return true;
}

void DeleteAllWindowRecords() {
  for (auto& record : WindowRecords())
    if (HWND window = record->WindowHandle()) DestroyWindow(window);
  WindowRecords().clear();
}

bool AnyWindowAlive() {
  for (auto& record : WindowRecords())
    if (record->IsAlive()) return true;
  return false;
}

bool LoadStartWindow(uint32_t window_id) {
  WindowRecord* record = FindWindowRecord(window_id);
  return record && LoadWindow(record, false, nullptr);
}

// No unit of this program has an idle event.
int32_t WindowCount() { return static_cast<int32_t>(WindowRecords().size()); }
bool FireIdleEvent(int32_t, uint32_t) { return false; }

bool PreTranslate(MSG* message) { return PreTranslateWindowKey(message); }

const char* WindowTag(uint32_t window_id) {
  WindowRecord* record = FindWindowRecord(window_id);
  return record ? ElementTagText(record->elements(), 0) : nullptr;
}

const char* ElementTag(uint32_t window_id, uint32_t element_id) {
  WindowRecord* record = FindWindowRecord(window_id);
  if (!record) return nullptr;
  int32_t position = record->elements().PositionOf(element_id);
  return position < 0 ? nullptr : ElementTagText(record->elements(), position);
}

int32_t Notify(int32_t code, int32_t arg1, int32_t arg2) {
  auto window_id = static_cast<uint32_t>(arg1);
  auto element_id = static_cast<uint32_t>(arg2);
  switch (code) {
    case NR_WINDOW_RECORDS:
      return PointerWord(&WindowRecords());
    case NR_UNIT_DESCRIPTOR:
      return PointerWord(FindUnit(static_cast<uint32_t>(arg1)));
    case NR_ELEMENT_DESTROYED:
      return ElementDestroyed(window_id, element_id);
    case NR_WINDOW_OBJECT:
      return PointerWord(LiveObject(window_id, element_id));
    case NR_WINDOW_OBJECT_OR_FAIL:
      if (Component* object = LiveObject(window_id, element_id)) return PointerWord(object);
      RaiseRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0, arg1, arg2);
    case NR_RAISE_EVENT:
      return RaiseElementEvent(reinterpret_cast<EventRequest*>(static_cast<uintptr_t>(window_id))) ? 1 : 0;
    case NR_RAISE_TYPED_EVENT:
      return RaiseTypedElementEvent(reinterpret_cast<TypedEventRequest*>(static_cast<uintptr_t>(window_id))) ? 1 : 0;
    default:
      return 0;
  }
}

uint64_t ReadProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field) {
  return ReadElementProperty(window_id, element_id, property, sub_field);
}
void WriteProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field, uint32_t low,
                   uint32_t high) {
  WriteElementProperty(window_id, element_id, property, sub_field, low, high);
}
uint64_t ReadObjectProperty(uint32_t type, uint32_t object, uint32_t property, uint32_t sub_field) {
  return ReadUnitObjectProperty(type, object, static_cast<int32_t>(property), static_cast<int32_t>(sub_field));
}
void WriteObjectProperty(uint32_t type, uint32_t object, uint32_t property, uint32_t sub_field, uint32_t low,
                         uint32_t high) {
  WriteUnitObjectProperty(type, object, static_cast<int32_t>(property), static_cast<int32_t>(sub_field), low, high);
}

}  // namespace window_link
