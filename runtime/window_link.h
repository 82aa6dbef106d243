// What the runtime core asks of the window manager: the loaded window
// records, the start window, idle events, error locations and the window
// notification codes. Kept behind this small interface so that the core
// stands on its own and the window manager can be replaced in tests.
#pragma once
#include <windows.h>

#include <cstdint>

namespace window_link {

// Reads the window template into the window records and relocates its event
// bindings. False when the template is damaged in any way.
bool LoadTemplate(const void* data, uint32_t size, const void* code_base);
void DeleteAllWindowRecords();

bool AnyWindowAlive();
// Creates the start window; false when the id is unknown or creation fails.
bool LoadStartWindow(uint32_t window_id);

// Idle events: the number of loaded windows, and firing the idle event of one
// of them. True when its routine ran and returned non-zero.
int32_t WindowCount();
bool FireIdleEvent(int32_t window_index, uint32_t idle_milliseconds);

// Keyboard navigation and accelerators before a message is dispatched.
bool PreTranslate(MSG* message);

// Error locations. A null result means "not loaded" / "no such element".
const char* WindowTag(uint32_t window_id);
const char* ElementTag(uint32_t window_id, uint32_t element_id);  // null for menu items too

// Notification codes that belong to the window manager (1001, 1002, 2000,
// 2006, 2007, 2008, 2031). Unknown targets answer 0.
int32_t Notify(int32_t code, int32_t arg1, int32_t arg2);

// Property services of the kernel table and auxiliary services 4 and 5.
uint64_t ReadProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field);
void WriteProperty(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field, uint32_t low,
                   uint32_t high);
uint64_t ReadObjectProperty(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
void WriteObjectProperty(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f);

}  // namespace window_link
