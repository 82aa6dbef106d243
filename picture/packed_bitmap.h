// The packed 8-bit bitmap that the GIF and 8-bit PCX decoders fill.
#pragma once
#include <cstdint>

#include "picture/decoded_picture.h"

namespace packed_bitmap {

inline void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

// Allocates header, palette (all zero) and rows, and writes the header of a
// top-down bitmap. False for a refused size or when memory runs out.
inline bool Allocate(PixelBuffer* buffer, uint32_t width, uint32_t height) {
  if (!PictureSizeAllowed(width, height)) return false;
  uint32_t image_bytes = PackedRowBytes(width) * height;
  if (!buffer->Allocate(uint64_t{kPackedBitsOffset} + image_bytes)) return false;
  uint8_t* h = buffer->data();
  Put32(h, kPackedHeaderSize);
  Put32(h + 4, width);
  Put32(h + 8, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // negative: top-down
  Put16(h + 12, 1);                                                      // planes
  Put16(h + 14, 8);                                                      // bits per pixel
  Put32(h + 20, image_bytes);
  Put32(h + 32, 256);  // colours used
  return true;
}

inline uint8_t* Palette(PixelBuffer* buffer) { return buffer->data() + kPackedHeaderSize; }
inline uint8_t* Row(PixelBuffer* buffer, uint32_t width, uint32_t y) {
  return buffer->data() + kPackedBitsOffset + uint64_t{PackedRowBytes(width)} * y;
}
inline void SetColour(PixelBuffer* buffer, uint32_t index, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* e = Palette(buffer) + 4 * index;
  e[0] = b;
  e[1] = g;
  e[2] = r;
}

}  // namespace packed_bitmap
