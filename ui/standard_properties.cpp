#include "ui/standard_properties.h"

#include <windows.h>

#include <string>

#include "platform/pointer_word.h"
#include "runtime/abi/arg_record.h"
#include "runtime/value/text.h"
#include "ui/component.h"
#include "ui/component_rebuild.h"
#include "ui/cursors.h"
#include "ui/display_scale.h"
#include "ui/element_location.h"
#include "ui/property_conversion.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

namespace {

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

// The standard rectangle properties are template units; a live window is
// in pixels at its DPI. The window's own left and top are screen pixels.
bool InTemplateUnits(const Located& at, int32_t property) {
  return at.position != 0 || property == PROP_WIDTH || property == PROP_HEIGHT;
}
int32_t LivePixels(const Located& at, int32_t property, int32_t units, HWND window) {
  return InTemplateUnits(at, property) ? display::ToPixels(units, display::WindowDpi(window)) : units;
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

}  // namespace

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
      int32_t value = values[property];
      if (InTemplateUnits(at, property)) value = display::ToUnits(value, display::WindowDpi(window));
      return static_cast<uint32_t>(value);
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
        int32_t x = property == PROP_LEFT ? LivePixels(at, property, rect.left, window) : live.left;
        int32_t y = property == PROP_TOP ? LivePixels(at, property, rect.top, window) : live.top;
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        int32_t width = live.right - live.left, height = live.bottom - live.top;
        if (property == PROP_WIDTH) width = LivePixels(at, property, rect.width, window);
        if (property == PROP_HEIGHT) height = LivePixels(at, property, rect.height, window);
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

