// Delivering component events to the application's event routines.
#pragma once
#include <cstdint>

// The simple request (notification code 2008): up to five word arguments.
struct EventRequest {
  uint32_t window_id;
  uint32_t element_id;  // 0: the window's own element
  int32_t event;
  int32_t arg_count;
  uint32_t args[5];
  int32_t has_result;
  uint32_t result;
};

// The typed request (code 2031): up to twelve typed arguments.
struct TypedEventArg {
  uint32_t value;
  uint32_t second;
  uint32_t type;
  uint32_t flags;
};
#pragma pack(push, 4)  // the 64-bit result follows the has-result word directly
struct TypedEventRequest {
  uint32_t window_id;
  uint32_t element_id;
  int32_t event;
  int32_t arg_count;
  TypedEventArg args[12];
  int32_t has_result;
  uint64_t result;
};
#pragma pack(pop)
static_assert(sizeof(EventRequest) == 44 && sizeof(TypedEventRequest) == 16 + 12 * 16 + 12);

// True when an event routine ran. Events are dropped while the runtime blocks
// them (EventsBlocked); a missing window or element is a runtime error.
bool RaiseElementEvent(EventRequest* request);
bool RaiseTypedElementEvent(TypedEventRequest* request);

// The window and element of the event whose routine is running (0 when none).
uint32_t CurrentEventWindow();
uint32_t CurrentEventElement();
