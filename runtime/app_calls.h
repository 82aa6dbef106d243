// Calls into compiled application code. Application routines may change any
// general register, so every call saves and restores all of the runtime's.
#pragma once
#include <cstdint>

// Calls `routine` (callee clean-up) with `count` 32-bit arguments, first
// argument first; answers EDX:EAX.
extern "C" uint64_t __cdecl CallApplicationRoutine(const void* routine, const uint32_t* args, int32_t count);
