#include "commands/command_support.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/abi/notify_codes.h"

namespace commands {

// Heap blocks come from the runtime (code 2024, fatal on failure). A size
// beyond a 32-bit request is asked for as the largest one, which the runtime
// refuses with its out-of-memory report; should it answer anyway, the block
// is too small and the caller gets nothing.
void* AllocBlock(size_t size) {
  bool too_big = size > static_cast<size_t>(INT32_MAX);
  int32_t word = core_link.Notify(NR_ALLOC, too_big ? INT32_MAX : static_cast<int32_t>(size), 0);
  return too_big ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(static_cast<uint32_t>(word)));
}

char* NewText(const char* bytes, size_t length) {
  if (length == 0) return nullptr;
  auto* text = static_cast<char*>(AllocBlock(length < SIZE_MAX ? length + 1 : length));
  if (!text) return nullptr;
  std::memcpy(text, bytes, length);
  text[length] = '\0';
  return text;
}

char* NewText(const char* text) { return text ? NewText(text, std::strlen(text)) : nullptr; }

void* NewByteArray(const void* bytes, size_t length) {
  if (length == 0) return nullptr;
  size_t size = length > SIZE_MAX - kByteArrayDataOffset ? SIZE_MAX : length + kByteArrayDataOffset;
  auto* block = static_cast<unsigned char*>(AllocBlock(size));
  if (!block) return nullptr;
  ByteArrayHeader header = {1, static_cast<int32_t>(length)};
  std::memcpy(block, &header, sizeof header);
  if (bytes)
    std::memcpy(block + kByteArrayDataOffset, bytes, length);
  else
    std::memset(block + kByteArrayDataOffset, 0, length);
  return block;
}

double NumberOf(const ArgRecord& arg) {
  switch (arg.type) {
    case TYPE_BYTE: return static_cast<uint8_t>(arg.value);
    case TYPE_SHORT: return static_cast<int16_t>(arg.value);
    case TYPE_INT:
    case TYPE_BOOL: return arg.as_int();
    case TYPE_LONG: return static_cast<double>(arg.as_long());
    case TYPE_FLOAT: return arg.as_float();
    default: return arg.as_double();
  }
}

double PowerOfTen(int n) {
  double p = 1;
  for (int i = 0; i < n && i < 22; ++i) p *= 10;
  return n > 22 ? std::pow(10.0, n) : p;
}

void RuntimeError(const char* message) {
  core_link.Notify(NR_RUNTIME_ERROR, static_cast<int32_t>(reinterpret_cast<uintptr_t>(message)), 0);
  // The runtime ends the program; nothing may run on after an error.
  std::abort();
}

}  // namespace commands
