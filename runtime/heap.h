// The memory services of the kernel table: blocks on the process heap,
// with the constant segment never freed or resized in place.
#pragma once
#include <cstdint>

void* __cdecl Alloc(int32_t size);
void* __cdecl Realloc(void* block, int32_t size);
void __cdecl Free(void* block);
// A plain allocation that answers null instead of ending the program.
void* TryAlloc(int32_t size);
