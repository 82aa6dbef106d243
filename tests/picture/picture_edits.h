// Pictures made or changed byte by byte for the edge cases and the damaged
// variants: small BMP, GIF and PCX builders and edits of generated files.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "tests/picture/test_pictures.h"

namespace picture_edits {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& b, std::initializer_list<uint8_t> more) { b.insert(b.end(), more); }
inline void Append16(Bytes& b, uint32_t v) { Append(b, {uint8_t(v), uint8_t(v >> 8)}); }
inline void Append32(Bytes& b, uint32_t v) {
  Append16(b, v);
  Append16(b, v >> 16);
}

// A BMP with a 40-byte header; `rows` are stored as given (bottom row
// first for a positive height), each padded to 4 bytes here.
inline Bytes MakeBmp(int32_t width, int32_t height, uint16_t bits, const std::vector<uint32_t>& palette,
                     const std::vector<Bytes>& rows) {
  Bytes b{'B', 'M'};
  Append32(b, 0);
  Append32(b, 0);
  Append32(b, 54 + 4 * static_cast<uint32_t>(palette.size()));
  Append32(b, 40);
  Append32(b, static_cast<uint32_t>(width));
  Append32(b, static_cast<uint32_t>(height));
  Append16(b, 1);
  Append16(b, bits);
  for (int i = 0; i < 4; ++i) Append32(b, 0);
  Append32(b, static_cast<uint32_t>(palette.size()));
  Append32(b, 0);
  for (uint32_t colour : palette) Append32(b, colour);
  for (const Bytes& row : rows) {
    b.insert(b.end(), row.begin(), row.end());
    b.resize(b.size() + (4 - row.size() % 4) % 4, 0);
  }
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

// A stored-bottom-up BMP rewritten the way a top-down file stores it: rows
// in the opposite order and a negative height.
inline Bytes TopDownBmp(const Bytes& bmp) {
  const uint32_t offset = Get32(bmp, 10);
  const int32_t width = static_cast<int32_t>(Get32(bmp, 18));
  const int32_t height = static_cast<int32_t>(Get32(bmp, 22));
  const uint32_t bits = Get16(bmp, 28);
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  Bytes out = bmp;
  for (int32_t y = 0; y < height; ++y)
    std::copy_n(bmp.begin() + offset + stride * y, stride, out.begin() + offset + stride * (height - 1 - y));
  Put32(out, 22, static_cast<uint32_t>(-height));
  return out;
}

// LZW codes packed least significant bit first, each with its width.
inline Bytes PackCodes(std::initializer_list<std::pair<uint32_t, uint32_t>> codes) {
  Bytes out;
  uint32_t held = 0, bits = 0;
  for (auto [code, width] : codes) {
    held |= code << bits;
    bits += width;
    while (bits >= 8) {
      out.push_back(static_cast<uint8_t>(held));
      held >>= 8;
      bits -= 8;
    }
  }
  if (bits) out.push_back(static_cast<uint8_t>(held));
  return out;
}

// A GIF89a of one image with a 4-colour global table (black, red, green,
// blue), minimum code size 2, and `lzw` as its one data sub-block.
inline Bytes MakeGif(uint16_t width, uint16_t height, const Bytes& lzw) {
  Bytes b{'G', 'I', 'F', '8', '9', 'a'};
  Append16(b, width);
  Append16(b, height);
  Append(b, {0x81, 0, 0});
  Append(b, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
  Append(b, {','});
  Append16(b, 0);
  Append16(b, 0);
  Append16(b, width);
  Append16(b, height);
  Append(b, {0, 2, static_cast<uint8_t>(lzw.size())});
  b.insert(b.end(), lzw.begin(), lzw.end());
  Append(b, {0, ';'});
  return b;
}

// Where the first image descriptor (',') of a GIF lies.
inline size_t GifImageAt(const Bytes& gif) {
  size_t at = 13;
  if (gif[10] & 0x80) at += 3u << ((gif[10] & 7) + 1);
  while (gif[at] == '!') {
    at += 2;
    while (gif[at] != 0) at += gif[at] + 1u;
    ++at;
  }
  return at;
}

inline Bytes Insert(const Bytes& b, size_t at, const Bytes& more) {
  Bytes out(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(at));
  out.insert(out.end(), more.begin(), more.end());
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(at), b.end());
  return out;
}

// The global colour table moved into the first image as its local table;
// the global table left is all black, so only the local one gives colours.
inline Bytes GifWithLocalTable(const Bytes& gif) {
  const uint8_t flags = gif[10];
  const size_t table_size = 3u << ((flags & 7) + 1);
  const Bytes table(gif.begin() + 13, gif.begin() + 13 + static_cast<std::ptrdiff_t>(table_size));
  Bytes out = gif;
  std::fill(out.begin() + 13, out.begin() + 13 + static_cast<std::ptrdiff_t>(table_size), 0);
  const size_t image = GifImageAt(out);
  out[image + 9] = static_cast<uint8_t>((out[image + 9] & 0x40) | 0x80 | (flags & 7));
  return Insert(out, image + 10, table);
}

// A PCX header for an image of `width` × `height` pixels.
inline Bytes PcxHeader(uint8_t version, uint8_t bits, uint16_t width, uint16_t height, uint16_t line_bytes) {
  Bytes b(128, 0);
  b[0] = 0x0A;
  b[1] = version;
  b[2] = 1;
  b[3] = bits;
  Put16(b, 8, width - 1u);
  Put16(b, 10, height - 1u);
  b[65] = 1;
  Put16(b, 66, line_bytes);
  return b;
}

// The CRC of PNG chunks, for forging a chunk that libpng accepts.
inline uint32_t PngCrc(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

}  // namespace picture_edits
