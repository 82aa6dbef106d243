// The pictures made at build time by make_pictures.py, each with the pixels
// ImageMagick reads from it (R, G, B, A, rows top-down).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct TestPicture {
  const char* name;
  const uint8_t* data;
  uint32_t size;
  int32_t width;
  int32_t height;
  const uint8_t* rgba;

  std::vector<uint8_t> bytes() const { return {data, data + size}; }
  const uint8_t* expected(int32_t x, int32_t y) const { return rgba + 4 * (static_cast<size_t>(y) * width + x); }
};

extern const TestPicture kTestPictures[];
extern const size_t kTestPictureCount;

inline const TestPicture& FindPicture(std::string_view name) {
  for (size_t i = 0; i < kTestPictureCount; ++i)
    if (name == kTestPictures[i].name) return kTestPictures[i];
  static const TestPicture missing{"missing", nullptr, 0, 0, 0, nullptr};
  return missing;
}

// Little-endian fields inside a picture file, for damaging it on purpose.
inline uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return Get16(b, at) | Get16(b, at + 2) << 16; }
inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v);
  Put16(b, at + 2, v >> 16);
}
