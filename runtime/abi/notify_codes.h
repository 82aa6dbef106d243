// The codes of the notification interface, both directions: what the runtime
// tells a library, and what a library asks of the runtime through the
// NotifyRuntime address it was given.
#pragma once
#include <cstdint>

// Runtime to library.
constexpr int32_t NOTIFY_LIB_INIT = 1;      // arg1 = address of NotifyRuntime
constexpr int32_t NOTIFY_LIB_SHUTDOWN = 6;  // arg1 = the library's stored value

// The program's icon resource, which code 1000 loads.
constexpr wchar_t kDefaultIconName[] = L"DEFAULT_ICON";

// Library to runtime.
enum RuntimeNotifyCode : int32_t {
  NR_DEFAULT_ICONS = 1000,
  NR_WINDOW_RECORDS = 1001,
  NR_UNIT_DESCRIPTOR = 1002,
  NR_PICTURE_TO_BITMAP = 1003,
  NR_ELEMENT_DESTROYED = 2000,
  NR_PROGRAM_DIR = 2003,
  NR_PROGRAM_FILE = 2004,
  NR_WINDOW_OBJECT = 2006,
  NR_WINDOW_OBJECT_OR_FAIL = 2007,
  NR_RAISE_EVENT = 2008,
  NR_SUSPEND_EVENTS = 2009,
  NR_RESUME_EVENTS = 2010,
  NR_FIND_OPEN_FILE = 2011,
  NR_REGISTER_OPEN_FILE = 2012,
  NR_UNREGISTER_OPEN_FILE = 2013,
  NR_PLAY_SOUND = 2015,
  NR_PUMP_MESSAGES = 2018,
  NR_ALLOC = 2024,
  NR_FREE = 2025,
  NR_REALLOC = 2026,
  NR_RUNTIME_ERROR = 2027,
  NR_END_PROGRAM = 2028,
  NR_PROGRAM_KIND = 2030,
  NR_RAISE_TYPED_EVENT = 2031,
};
