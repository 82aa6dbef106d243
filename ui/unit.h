// Units: the kinds of window elements. Each library lists its units; a unit
// descriptor has its flags, its property table and one interface function
// that hands out the unit's entry points by operation number.
#pragma once
#include <windows.h>

#include <cstdint>

// Unit flags.
constexpr uint32_t kUnitRaisesEvents = 0x00000040;
constexpr uint32_t kUnitRaisesEventsToo = 0x00000004;
constexpr uint32_t kUnitNeverRebuilt = 0x00000010;
constexpr uint32_t kUnitMovesChildrenOnRebuild = 0x00000080;
constexpr uint32_t kUnitContainer = 0x00000100;
constexpr uint32_t kUnitWindowless = 0x00008000;
constexpr uint32_t kUnitNoFocusOnPage = 0x00010000;
constexpr uint32_t kUnitDocks = 0x00100000;

// Property types of a unit's property table.
enum PropertyType : uint16_t {
  PT_INTEGER_ALT = 1000,
  PT_INTEGER = 1001,
  PT_DECIMAL = 1002,
  PT_TRUTH = 1003,
  PT_DATETIME = 1004,
  PT_TEXT = 1005,
  PT_CHOICE = 1006,
  PT_PICTURE = 1009,
  PT_ICON = 1010,
  PT_MOUSE_POINTER = 1011,
  PT_SOUND = 1012,
  PT_FONT = 1013,
  PT_COLOUR = 1014,
  PT_INTEGER_ALT2 = 1015,
  PT_FILE_NAME = 1016,
  PT_COLOUR_ALT = 1017,
  PT_BYTES = 1023,
  PT_BYTES_ALT = 1024,
};

struct PropertyInfo {
  uint16_t type;
  uint16_t design_flags;
};

// A property value as units take and give it: two words. Integers, choices,
// colours and truth values in `low`; decimals and date-times in both; a text
// as a pointer in `low`; byte data as (pointer, length); a font as a pointer
// to a 60-byte LOGFONTA, or null for the default GUI font.
struct PropertyValue {
  uint32_t low;
  uint32_t high;
};

// Interface operations.
enum UnitOperation : int32_t {
  UNIT_CREATE = 1,
  UNIT_SET_PROPERTY = 4,
  UNIT_SAVE_PROPERTIES = 5,
  UNIT_GET_PROPERTY = 6,
  UNIT_ENUMERATE_TEXTS = 9,
  UNIT_IS_DEFAULT_BUTTON = 10,
};

class Component;

// The entry points behind the operations.
using UnitCreate = Component* (*)(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND parent,
                                  uint32_t control_id, HMENU menu, int32_t left, int32_t top, int32_t width,
                                  int32_t height, uint32_t window_id, uint32_t element_id, int32_t, int32_t);
using UnitSetProperty = int32_t (*)(Component* object, int32_t property, PropertyValue* value, int32_t);
using UnitSaveProperties = HGLOBAL (*)(Component* object);
using UnitGetProperty = int32_t (*)(Component* object, int32_t property, PropertyValue* value);
using UnitIsDefaultButton = int32_t (*)(Component* object);
using UnitInterface = void* (*)(int32_t operation);

struct UnitDescriptor {
  const char* name;          // the stored English name
  const char* display_name;  // GBK
  uint32_t flags;
  const PropertyInfo* properties;  // the eight standard ones first
  int32_t property_count;
  UnitInterface interface_function;
};

// The descriptor of a component type ((library << 16) | unit), or null.
const UnitDescriptor* FindUnit(uint32_t component_type);

// The eight standard properties every unit's table starts with.
#define QELMO_STANDARD_PROPERTIES                                                               \
  {PT_INTEGER, 0}, {PT_INTEGER, 0}, {PT_INTEGER, 0}, {PT_INTEGER, 0}, {PT_TEXT, 0}, {PT_TRUTH, 0}, \
      {PT_TRUTH, 0}, { PT_MOUSE_POINTER, 0 }
