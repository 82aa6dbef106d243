// A pointer as the 32-bit word the value model, the argument records and
// the gates carry: the program is 32-bit, so no bits are lost.
#pragma once
#include <cstdint>

static_assert(sizeof(void*) == 4, "pointers are passed as 32-bit words");

inline uint32_t PointerWord(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }
