#include "ui/events.h"

#include <vector>

#include "runtime/abi/arg_record.h"
#include "runtime/app_calls.h"
#include "runtime/error_report.h"
#include "runtime/runtime_services.h"
#include "ui/template/window_template.h"
#include "ui/unit.h"
#include "ui/window_records.h"

namespace {

struct EventSource {
  uint32_t window_id = 0;
  uint32_t element_id = 0;
};
EventSource g_current_source;

// The routine bound to an event of an element, following its event source;
// 0 when none. Reports the runtime errors of a missing window or element.
uint32_t FindRoutine(uint32_t window_id, uint32_t element_id, int32_t event) {
  WindowRecord* record = FindWindowRecord(window_id);
  if (!record) RaiseRuntimeError("未找到引发事件的窗口", 0, static_cast<int32_t>(window_id), 0);
  ElementList& elements = record->elements();
  int32_t position = element_id == 0 ? 0 : elements.PositionOf(element_id);
  if (position < 0)
    RaiseRuntimeError("未找到引发事件的窗口组件", 0, static_cast<int32_t>(window_id), static_cast<int32_t>(element_id));

  const ElementLayout& layout = elements.Layout(position);
  if (layout.menu_item) return LoadWord(elements.EntryData(position) + layout.menu_routine);

  // Follow the event source while it names an element of the same type; a
  // chain that comes back on itself stops after every element was visited.
  uint32_t type = layout.component_type;
  for (int32_t steps = 0; steps < elements.count(); ++steps) {
    const ElementLayout& current = elements.Layout(position);
    if (current.event_source == 0) break;
    int32_t next = elements.PositionOf(current.event_source);
    if (next < 0 || elements.Layout(next).menu_item || elements.Layout(next).component_type != type) break;
    position = next;
  }

  const UnitDescriptor* unit = FindUnit(type);
  if (!unit || !(unit->flags & (kUnitRaisesEvents | kUnitRaisesEventsToo)))
    RaiseRuntimeError("引发事件的窗口组件无效", 0, static_cast<int32_t>(window_id), static_cast<int32_t>(element_id));

  const ElementLayout& bound = elements.Layout(position);
  const uint8_t* data = elements.EntryData(position);
  uint32_t count = LoadWord(data + bound.event_count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* binding = data + bound.event_count + 4 + 8 * i;
    if (static_cast<int32_t>(LoadWord(binding)) == event) return LoadWord(binding + 4);
  }
  return 0;
}

// Runs a routine with the current event source recorded; EDX:EAX is the
// routine's answer (EAX the value, EDX 1 when it gave one).
uint64_t RunRoutine(uint32_t routine, uint32_t window_id, uint32_t element_id, const uint32_t* args, int32_t count) {
  g_current_source = {window_id, element_id};
  uint64_t answer =
      CallApplicationRoutine(reinterpret_cast<const void*>(static_cast<uintptr_t>(routine)), args, count);
  g_current_source.window_id = 0;
  return answer;
}

}  // namespace

bool RaiseElementEvent(EventRequest* request) {
  if (EventsBlocked()) return false;
  uint32_t routine = FindRoutine(request->window_id, request->element_id, request->event);
  if (routine == 0) return false;
  int32_t count = request->arg_count < 0 ? 0 : (request->arg_count > 5 ? 5 : request->arg_count);
  uint64_t answer = RunRoutine(routine, request->window_id, request->element_id, request->args, count);
  request->has_result = (answer >> 32) == 1 ? 1 : 0;
  request->result = static_cast<uint32_t>(answer);
  return true;
}

bool RaiseTypedElementEvent(TypedEventRequest* request) {
  if (EventsBlocked()) return false;
  uint32_t routine = FindRoutine(request->window_id, request->element_id, request->event);
  if (routine == 0) return false;
  std::vector<uint32_t> words;
  int32_t count = request->arg_count < 0 ? 0 : (request->arg_count > 12 ? 12 : request->arg_count);
  for (int32_t i = 0; i < count; ++i) {
    const TypedEventArg& arg = request->args[i];
    if (arg.flags & 1) {
      words.push_back(arg.value);
    } else if ((arg.flags & 2) || arg.type == TYPE_MENU_ITEM || arg.type == TYPE_DATETIME || arg.type == TYPE_WIDE8 ||
               arg.type == TYPE_LONG || arg.type == TYPE_DOUBLE) {
      words.push_back(arg.value);
      words.push_back(arg.second);
    } else if (arg.type == TYPE_BYTE) {
      words.push_back(arg.value & 0xFF);
    } else if (arg.type == TYPE_SHORT) {
      words.push_back(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(arg.value & 0xFFFF))));
    } else {
      words.push_back(arg.value);
    }
  }
  uint64_t answer = RunRoutine(routine, request->window_id, request->element_id, words.data(),
                               static_cast<int32_t>(words.size()));
  request->has_result = (answer >> 32) == 1 ? 1 : 0;
  request->result = static_cast<uint32_t>(answer);
  return true;
}

uint32_t CurrentEventWindow() { return g_current_source.window_id; }
uint32_t CurrentEventElement() { return g_current_source.element_id; }
