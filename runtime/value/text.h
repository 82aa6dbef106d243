// Text and byte-array operations of the value model. Texts are GBK byte
// strings; null is the empty text. Platform-free: the caller supplies the
// allocator (the runtime heap, or Alloc through the kernel services).
#pragma once
#include <cstdint>

using AllocFunction = void* (*)(int32_t size);

// Bytes before the terminating zero; 0 for null.
int32_t TextLength(const char* text);

// A new block holding the same bytes, or null for a null or empty source.
char* TextCopy(const char* text, AllocFunction alloc);

// A new block holding the texts one after another (null counts as empty).
// Never null, even when every part is empty.
char* TextJoin(const char* const* texts, int32_t count, AllocFunction alloc);

// -1, 0 or 1, comparing bytes as unsigned values; null equals empty.
int TextCompare(const char* a, const char* b);

// The address of the first data byte of the byte array a variable holds,
// or null when the variable holds no array.
unsigned char* ByteArrayDataAddress(void* const* variable);
