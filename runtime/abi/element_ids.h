// Identifiers of windows, their elements and menu items, as the template
// holds them and compiled code passes them: low 24 bits serial, bits 24-27
// kind, bits 28-31 class. A serial of 0 is no identifier at all.
#pragma once
#include <cstdint>

constexpr bool IsValidId(uint32_t id) { return (id & 0x00FFFFFFu) != 0 && (id & 0x0F000000u) != 0; }
constexpr bool IsMenuItemId(uint32_t id) { return (id & 0xFF000000u) == 0x26000000u; }
constexpr bool IsWindowId(uint32_t id) { return (id & 0x0F000000u) == 0x02000000u && IsValidId(id); }
