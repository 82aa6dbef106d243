#include "ui/property_access.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/pointer_word.h"
#include "runtime/error_report.h"
#include "runtime/heap.h"
#include "runtime/notify.h"
#include "runtime/value/text.h"
#include "ui/component.h"
#include "ui/cursors.h"
#include "ui/font_record.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

namespace {

uint64_t Pair(uint32_t low, uint32_t high = 0) { return static_cast<uint64_t>(high) << 32 | low; }
template <typename T>
T* AsPointer(uint32_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}

void* RuntimeAlloc(int32_t size) { return Alloc(size); }

// A new byte array holding `size` bytes (null when empty).
void* NewByteArray(const void* data, uint32_t size) {
  if (size == 0 || !data) return nullptr;
  auto* block = static_cast<int32_t*>(Alloc(static_cast<int32_t>(size + 8)));
  block[0] = 1;
  block[1] = static_cast<int32_t>(size);
  std::memcpy(block + 2, data, size);
  return block;
}

// Cursor data as compiled code sees it: the first word as a table index.
void* MousePointerArray(const uint8_t* data, uint32_t size) {
  void* array = NewByteArray(data, size);
  if (array && size >= 4) {
    uint8_t* bytes = ByteArrayData(array);
    StoreWord(bytes, CursorIdentifierToIndex(LoadWord(bytes)));
  }
  return array;
}

struct Located {
  WindowRecord* record;
  int32_t position;
};

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

PropertyType TypeOf(const UnitDescriptor* unit, int32_t table_index) {
  if (!unit || table_index < 0 || table_index >= unit->property_count) return PT_INTEGER;
  return static_cast<PropertyType>(unit->properties[table_index].type);
}

// Turns what a unit gave into the value compiled code receives.
uint64_t ConvertForReader(PropertyType type, const PropertyValue& value, int32_t sub_field) {
  switch (type) {
    case PT_DECIMAL:
    case PT_DATETIME:
      return Pair(value.low, value.high);
    case PT_TRUTH:
      return value.low == 1 ? 1 : 0;
    case PT_TEXT:
    case PT_FILE_NAME:
      return PointerWord(TextCopy(AsPointer<const char>(value.low), RuntimeAlloc));
    case PT_PICTURE:
    case PT_ICON:
    case PT_SOUND:
    case PT_BYTES:
    case PT_BYTES_ALT:
      return PointerWord(NewByteArray(AsPointer<const void>(value.low), value.high));
    case PT_MOUSE_POINTER:
      return PointerWord(MousePointerArray(AsPointer<const uint8_t>(value.low), value.high));
    case PT_FONT: {
      LOGFONTA font = FontOrDefault(AsPointer<const void>(value.low));
      char face[LF_FACESIZE + 1] = {};
      std::memcpy(face, font.lfFaceName, LF_FACESIZE);
      if (sub_field == FONT_FACE_NAME) return PointerWord(TextCopy(face, RuntimeAlloc));
      if (sub_field != FONT_WHOLE_RECORD) return static_cast<uint32_t>(FontFieldValue(font, sub_field));
      auto* record = static_cast<FontRecord*>(Alloc(sizeof(FontRecord)));
      record->escapement = FontFieldValue(font, FONT_ESCAPEMENT);
      record->bold = FontFieldValue(font, FONT_BOLD);
      record->italic = FontFieldValue(font, FONT_ITALIC);
      record->strike_out = FontFieldValue(font, FONT_STRIKE_OUT);
      record->underline = FontFieldValue(font, FONT_UNDERLINE);
      record->point_size = FontFieldValue(font, FONT_POINT_SIZE);
      record->face_name = TextCopy(face, RuntimeAlloc);
      return PointerWord(record);
    }
    default:
      return value.low;
  }
}

uint64_t ReadUnitProperty(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                          int32_t sub_field) {
  auto get = unit ? reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY)) : nullptr;
  PropertyValue value = {0, 0};
  if (!get || !get(object, unit_property, &value)) return 0;
  return ConvertForReader(TypeOf(unit, table_index), value, sub_field);
}

// Holds what a converted value points at while the unit takes it.
struct WriteValue {
  PropertyValue value = {0, 0};
  LOGFONTA font = {};
};

// `table_index` picks the property type, `unit_property` is the number the
// unit's own operations take.
void ConvertForUnit(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                    int32_t sub_field, uint32_t low, uint32_t high, WriteValue* out) {
  static const char kEmpty[] = "";
  switch (TypeOf(unit, table_index)) {
    case PT_DECIMAL:
    case PT_DATETIME:
      out->value = {low, high};
      break;
    case PT_TRUTH:
      out->value = {low != 0 ? 1u : 0u, 0};
      break;
    case PT_CHOICE:
      out->value = {static_cast<int32_t>(low) < 0 ? 0u : low, 0};
      break;
    case PT_TEXT:
    case PT_FILE_NAME:
      out->value = {low ? low : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(kEmpty)), 0};
      break;
    case PT_PICTURE:
    case PT_ICON:
    case PT_SOUND:
    case PT_BYTES:
    case PT_BYTES_ALT:
    case PT_MOUSE_POINTER: {
      void* array = AsPointer<void>(low);
      out->value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(ByteArrayData(array))),
                    static_cast<uint32_t>(ByteArrayLength(array))};
      break;
    }
    case PT_FONT: {
      PropertyValue current = {0, 0};
      auto get = reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY));
      if (get) get(object, unit_property, &current);
      out->font = FontOrDefault(AsPointer<const void>(current.low));
      if (sub_field == FONT_WHOLE_RECORD) {
        if (const FontRecord* record = AsPointer<const FontRecord>(low)) ApplyFontRecord(&out->font, *record);
      } else {
        ApplyFontField(&out->font, sub_field, low);
      }
      out->value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&out->font)), sizeof(LOGFONTA)};
      break;
    }
    default:
      out->value = {low, high};
      break;
  }
}

// Replaces a component by a new object made from its current properties.
void RebuildComponent(WindowRecord* record, int32_t position, const UnitDescriptor* unit) {
  Component* old_object = record->ObjectAt(position);
  if (!old_object || (unit->flags & kUnitNeverRebuilt)) return;
  auto save = reinterpret_cast<UnitSaveProperties>(unit->interface_function(UNIT_SAVE_PROPERTIES));
  auto create = reinterpret_cast<UnitCreate>(unit->interface_function(UNIT_CREATE));
  if (!save || !create) return;
  NotifyRuntime(NR_SUSPEND_EVENTS, 0, 0);
  HGLOBAL saved = save(old_object);
  const auto* data = saved ? static_cast<const uint8_t*>(GlobalLock(saved)) : nullptr;
  uint32_t size = saved ? static_cast<uint32_t>(GlobalSize(saved)) : 0;

  HWND old_window = old_object->hwnd();
  HWND parent = old_window ? GetParent(old_window) : nullptr;
  RECT rect = {0, 0, 0, 0};
  if (old_window) {
    GetWindowRect(old_window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  LONG style = old_window ? GetWindowLongW(old_window, GWL_STYLE) : 0;
  uint32_t extra_style = (style & WS_DISABLED) | (style & WS_TABSTOP);
  bool was_visible = old_window && IsWindowVisible(old_window);
  bool had_focus = old_window && GetFocus() == old_window;
  auto control_id = old_window ? static_cast<uint32_t>(GetDlgCtrlID(old_window)) : 0;

  Component* fresh = create(data, size, extra_style, parent, control_id, nullptr, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, record->id(),
                            record->elements().IdAt(position), 0, 0);
  if (saved) {
    GlobalUnlock(saved);
    GlobalFree(saved);
  }
  if (!fresh) {
    NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
    return;
  }
  HWND new_window = fresh->hwnd();
  if (new_window && old_window && (unit->flags & kUnitMovesChildrenOnRebuild)) {
    for (HWND child = GetWindow(old_window, GW_CHILD); child;) {
      HWND next = GetWindow(child, GW_HWNDNEXT);
      SetParent(child, new_window);
      child = next;
    }
  }
  record->SetObjectAt(position, fresh);
  if (new_window) {
    if (old_window) SetWindowPos(new_window, old_window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(new_window, WM_UNIT_BEFORE_SHOW, 0, 0);
    SendMessageW(new_window, WM_UNIT_AFTER_CREATED, 0, 0);
    if ((unit->flags & kUnitDocks) && parent) SendMessageW(parent, WM_UNIT_DOCKING_LAYOUT, 0, 0);
    if (was_visible) ShowWindow(new_window, SW_SHOWNA);
  }
  g_replacing_element = true;
  if (old_window)
    DestroyWindow(old_window);
  else
    old_object->DestroyWindowless();
  g_replacing_element = false;
  if (had_focus && new_window) SetFocus(new_window);
  NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
}

// Standard properties read from the live window or from the element.
uint64_t ReadStandardProperty(const Located& at, int32_t property) {
  ElementList& elements = at.record->elements();
  Component* object = LiveObject(at);
  HWND window = object ? object->hwnd() : nullptr;
  switch (property) {
    case PROP_LEFT:
    case PROP_TOP:
    case PROP_WIDTH:
    case PROP_HEIGHT: {
      if (!window) {
        ElementRect rect = ReadElementRect(elements, at.position);
        const int32_t values[4] = {rect.left, rect.top, rect.width, rect.height};
        return static_cast<uint32_t>(values[property]);
      }
      RECT rect;
      GetWindowRect(window, &rect);
      int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
      if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
      const int32_t values[4] = {rect.left, rect.top, width, height};
      return static_cast<uint32_t>(values[property]);
    }
    case PROP_TAG:
      return PointerWord(TextCopy(ElementTagText(elements, at.position), RuntimeAlloc));
    case PROP_VISIBLE:
      if (window) return IsWindowVisible(window) ? 1 : 0;
      return (ElementStateFlags(elements, at.position) & kElementVisible) ? 1 : 0;
    case PROP_DISABLE:
      if (window) return IsWindowEnabled(window) ? 0 : 1;
      return (ElementStateFlags(elements, at.position) & kElementDisabled) ? 1 : 0;
    case PROP_MOUSE_POINTER: {
      const uint8_t* data = elements.EntryData(at.position) + elements.Layout(at.position).cursor_data;
      return PointerWord(MousePointerArray(data + 4, LoadWord(data)));
    }
    default:
      return 0;
  }
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

void ReplaceTerminatedText(ElementList& elements, int32_t position, uint32_t offset, const char* text) {
  const char* old_text = reinterpret_cast<const char*>(elements.EntryData(position) + offset);
  uint32_t old_length = static_cast<uint32_t>(std::strlen(old_text)) + 1;
  std::string replacement = text ? text : "";
  elements.ReplaceRange(position, offset, old_length, replacement.c_str(),
                        static_cast<uint32_t>(replacement.size()) + 1);
}

void WriteMousePointer(const Located& at, uint32_t array_word) {
  ElementList& elements = at.record->elements();
  void* array = array_word == 0xFFFFFFF8u ? nullptr : AsPointer<void>(array_word);
  std::string data;
  if (array && ByteArrayLength(array) > 0)
    data.assign(reinterpret_cast<const char*>(ByteArrayData(array)), static_cast<size_t>(ByteArrayLength(array)));
  if (data.size() >= 4) {
    uint32_t identifier = CursorIndexToIdentifier(LoadWord(reinterpret_cast<const uint8_t*>(data.data())));
    StoreWord(reinterpret_cast<uint8_t*>(data.data()), identifier);
  }
  if (HCURSOR old_cursor = at.record->CursorAt(at.position)) DestroyCursor(old_cursor);
  at.record->SetCursorAt(at.position, nullptr);
  std::string stored(4, '\0');
  StoreWord(reinterpret_cast<uint8_t*>(stored.data()), static_cast<uint32_t>(data.size()));
  stored += data;
  uint32_t offset = elements.Layout(at.position).cursor_data;
  uint32_t old_size = 4 + LoadWord(elements.EntryData(at.position) + offset);
  elements.ReplaceRange(at.position, offset, old_size, stored.data(), static_cast<uint32_t>(stored.size()));
  if (LiveObject(at))
    at.record->SetCursorAt(at.position, CursorFromData(reinterpret_cast<const uint8_t*>(data.data()),
                                                       static_cast<uint32_t>(data.size())));
  POINT point;
  if (GetCursorPos(&point)) SetCursorPos(point.x, point.y);  // the pointer changes at once
}

void WriteStandardProperty(const Located& at, int32_t property, uint32_t low) {
  ElementList& elements = at.record->elements();
  Component* object = LiveObject(at);
  HWND window = object ? object->hwnd() : nullptr;
  auto value = static_cast<int32_t>(low);
  switch (property) {
    case PROP_LEFT:
    case PROP_TOP:
    case PROP_WIDTH:
    case PROP_HEIGHT: {
      ElementRect rect = ReadElementRect(elements, at.position);
      if (property == PROP_LEFT) rect.left = Clamp(value, -kMaxCoordinate, kMaxCoordinate);
      if (property == PROP_TOP) rect.top = Clamp(value, -kMaxCoordinate, kMaxCoordinate);
      if (property == PROP_WIDTH) rect.width = Clamp(value, 0, kMaxCoordinate);
      if (property == PROP_HEIGHT) rect.height = Clamp(value, 0, kMaxCoordinate);
      WriteElementRect(elements, at.position, rect);
      if (!window) return;
      RECT live;
      GetWindowRect(window, &live);
      if (property == PROP_LEFT || property == PROP_TOP) {
        if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
          MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&live), 2);
        int32_t x = property == PROP_LEFT ? rect.left : live.left;
        int32_t y = property == PROP_TOP ? rect.top : live.top;
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        int32_t width = property == PROP_WIDTH ? rect.width : live.right - live.left;
        int32_t height = property == PROP_HEIGHT ? rect.height : live.bottom - live.top;
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case PROP_TAG:
      ReplaceTerminatedText(elements, at.position, elements.Layout(at.position).tag, AsPointer<const char>(low));
      return;
    case PROP_VISIBLE: {
      uint32_t flags = ElementStateFlags(elements, at.position);
      SetElementStateFlags(elements, at.position, low ? flags | kElementVisible : flags & ~kElementVisible);
      if (!window) return;
      const UnitDescriptor* unit = UnitOf(at);
      if (!low)
        ShowWindow(window, SW_HIDE);
      else if (at.position == 0 || !unit || !(unit->flags & kUnitWindowless))
        ShowWindow(window, SW_SHOW);
      return;
    }
    case PROP_DISABLE: {
      uint32_t flags = ElementStateFlags(elements, at.position);
      SetElementStateFlags(elements, at.position, low ? flags | kElementDisabled : flags & ~kElementDisabled);
      if (window) EnableWindow(window, low ? FALSE : TRUE);
      return;
    }
    case PROP_MOUSE_POINTER:
      WriteMousePointer(at, low);
      return;
    default:
      return;
  }
}

// Menu items: 0 caption, 1 checked, 2 disabled, 3 visible.
uint64_t ReadMenuItemProperty(const Located& at, int32_t property) {
  ElementList& elements = at.record->elements();
  uint32_t flags = ElementStateFlags(elements, at.position);
  switch (property) {
    case 0:
      return PointerWord(TextCopy(
          reinterpret_cast<const char*>(elements.EntryData(at.position) + elements.Layout(at.position).menu_caption),
          RuntimeAlloc));
    case 1: return (flags & kMenuChecked) ? 1 : 0;
    case 2: return (flags & kMenuDisabled) ? 1 : 0;
    case 3: return (flags & kMenuHidden) ? 0 : 1;
    default: return 0;
  }
}

void WriteMenuItemProperty(const Located& at, int32_t property, uint32_t low) {
  ElementList& elements = at.record->elements();
  uint32_t flags = ElementStateFlags(elements, at.position);
  auto set = [&](uint32_t bit, bool on) { SetElementStateFlags(elements, at.position, on ? flags | bit : flags & ~bit); };
  switch (property) {
    case 0:
      ReplaceTerminatedText(elements, at.position, elements.Layout(at.position).menu_caption,
                            AsPointer<const char>(low));
      break;
    case 1: set(kMenuChecked, low != 0); break;
    case 2: set(kMenuDisabled, low != 0); break;
    case 3: set(kMenuHidden, low == 0); break;
    default: return;
  }
  RebuildWindowMenu(at.record);
}

}  // namespace

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
