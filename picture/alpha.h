// How PNG alpha is removed for bitmaps that have none, and how it is
// premultiplied for drawing that blends per pixel. The factor is
// a × (1/255) with 1/255 as a single-precision constant: a half-transparent
// black pixel on white then gives 126, as pictures always have here.
#pragma once
#include <cstdint>

namespace alpha {

inline constexpr float kInverse255 = 1.0f / 255.0f;

inline uint8_t Clamp(double v) {
  if (v <= 0) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(v);  // truncated toward zero
}

// Colour channel `c` with alpha `a` laid over the background channel `bg`.
inline uint8_t Flatten(uint8_t c, uint8_t a, uint8_t bg) {
  if (a == 255) return c;
  const double t = a * static_cast<double>(kInverse255);
  return Clamp(c * t + bg * (1.0 - t));
}

inline uint8_t Premultiply(uint8_t c, uint8_t a) {
  if (a == 255) return c;
  return Clamp(c * (a * static_cast<double>(kInverse255)));
}

}  // namespace alpha
