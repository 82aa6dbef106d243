#include "runtime/value/text.h"

#include <cstring>

#include "runtime/abi/arg_record.h"

int32_t TextLength(const char* text) { return text ? static_cast<int32_t>(std::strlen(text)) : 0; }

char* TextCopy(const char* text, AllocFunction alloc) {
  int32_t length = TextLength(text);
  if (length == 0) return nullptr;
  char* copy = static_cast<char*>(alloc(length + 1));
  std::memcpy(copy, text, static_cast<size_t>(length) + 1);
  return copy;
}

char* TextJoin(const char* const* texts, int32_t count, AllocFunction alloc) {
  int32_t total = 0;
  for (int32_t i = 0; i < count; ++i) total += TextLength(texts[i]);
  char* joined = static_cast<char*>(alloc(total + 1));
  char* out = joined;
  for (int32_t i = 0; i < count; ++i) {
    int32_t length = TextLength(texts[i]);
    if (length) std::memcpy(out, texts[i], static_cast<size_t>(length));
    out += length;
  }
  *out = '\0';
  return joined;
}

int TextCompare(const char* a, const char* b) {
  if (!a) return (!b || !*b) ? 0 : -1;
  if (!b) return *a ? 1 : 0;
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *x == *y) ++x, ++y;
  return *x == *y ? 0 : (*x < *y ? -1 : 1);
}

unsigned char* ByteArrayDataAddress(void* const* variable) {
  return (variable && *variable) ? ByteArrayData(*variable) : nullptr;
}
