// Hexadecimal text as bytes, for the hashes and keys the build is given.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// Exactly 2 × `size` hexadecimal digits (either case) into `out`; false for
// anything else.
inline bool parse_hex_bytes(std::string_view text, uint8_t* out, size_t size) {
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() != 2 * size) return false;
  for (size_t i = 0; i < size; ++i) {
    int high = digit(text[2 * i]), low = digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}
