// One decoder on arbitrary bytes. A decoder that refuses leaves no pixels;
// one that accepts leaves a size within the limits and exactly the pixel
// bytes its layout needs, all of them readable.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/picture_formats.h"

inline int FuzzDecoder(const uint8_t* data, size_t size, bool (*decode)(ByteRun, DecodedPicture*)) {
  DecodedPicture d;
  if (!decode(ByteRun(data, size), &d)) {
    if (d.pixels) __builtin_trap();
    return 0;
  }
  if (!PictureSizeAllowed(static_cast<uint32_t>(d.width), static_cast<uint32_t>(d.height))) __builtin_trap();
  if (d.pixels.size() != PixelBytesOf(d)) __builtin_trap();
  uint8_t sum = 0;
  for (size_t i = 0; i < d.pixels.size(); i += 61) sum ^= d.pixels.data()[i];
  sum ^= d.pixels.data()[d.pixels.size() - 1];
  volatile uint8_t sink = sum;
  (void)sink;
  return 0;
}
