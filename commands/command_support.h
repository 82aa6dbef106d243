// What every command builds on: its arguments by position, new results on
// the runtime heap, and the runtime error. Commands reach the runtime only
// through the core library's link. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>

#include "commands/library_link.h"
#include "runtime/abi/arg_record.h"

// The core library's link to the runtime, kept with the library descriptors.
extern LibraryLink& core_link;

namespace commands {

// Argument i, or an omitted record when the caller passed fewer: compiled
// code always passes every declared argument, but nothing here may read
// past the list it was given.
inline ArgRecord ArgAt(const ArgRecord* args, int32_t count, int32_t i) {
  return args && i >= 0 && i < count ? args[i] : ArgRecord{0, 0, TYPE_NONE};
}
inline bool Given(const ArgRecord* args, int32_t count, int32_t i) { return !ArgAt(args, count, i).omitted(); }

// A text argument; a null pointer reads as the empty text.
inline const char* TextOf(const ArgRecord& arg) {
  const char* text = arg.as_text();
  return text ? text : "";
}

// A new block of `size` bytes from the runtime heap (code 2024). The runtime
// ends the program when the heap is exhausted.
void* AllocBlock(size_t size);

// A new heap text holding `length` bytes and a terminator, or null for an
// empty text: an empty result is never a block.
char* NewText(const char* bytes, size_t length);
char* NewText(const char* text);
// A new byte-array block {1, length, bytes}, or null when length is 0.
// Null `bytes` gives zeros.
void* NewByteArray(const void* bytes, size_t length);

inline void SetPointer(ArgRecord* result, const void* p) {
  result->value = PointerWord(p);
}
inline void SetInt(ArgRecord* result, int32_t v) { result->value = static_cast<uint32_t>(v); }
inline void SetBool(ArgRecord* result, bool v) { result->value = v ? 1 : 0; }
inline void SetDouble(ArgRecord* result, double v) {
  ArgRecord d = ArgRecord::Double(v);
  result->value = d.value;
  result->aux = d.aux;
}

// Any numeric argument as a double, by its type code; an untyped 8-byte
// record reads as a double.
double NumberOf(const ArgRecord& arg);

// 10^n for n >= 0: exact as far as doubles hold powers of ten exactly (a
// library pow() need not give exactly 100 for pow(10, 2)), infinity beyond
// the double range.
double PowerOfTen(int n);

// Reports a runtime error through the runtime; does not return.
[[noreturn]] void RuntimeError(const char* message);

// A two-byte character starts with a byte of 0x80 or above.
inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

}  // namespace commands
