// PNG through libpng's simplified reading interface, from memory into
// B, G, R, A rows.
#include <png.h>

#include <cstring>

#include "picture/picture_decoders.h"

namespace {

// Frees libpng's state on every way out.
struct ImageGuard {
  png_image* image;
  ~ImageGuard() { png_image_free(image); }
};

uint32_t BigEndianWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

// Whether every chunk that starts inside the data also ends inside it.
// libpng allocates a chunk's declared length before reading it, so a lying
// length would cost up to 2 GB and seconds before the data turns out short.
bool ChunksFit(ByteRun data) {
  size_t at = 8;
  while (data.size() - at >= 8) {
    const uint32_t length = BigEndianWord(data.data() + at);
    if (length > data.size() - at - 8 || data.size() - at - 8 - length < 4) return false;
    if (std::memcmp(data.data() + at + 4, "IEND", 4) == 0) break;
    at += 12 + static_cast<size_t>(length);
  }
  return true;
}

}  // namespace

bool DecodePng(ByteRun data, DecodedPicture* out) {
  if (data.size() <= 7 || !ChunksFit(data)) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard{&image};
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  if (!PictureSizeAllowed(image.width, image.height)) return false;
  image.format = PNG_FORMAT_BGRA;
  PixelBuffer pixels;
  if (!pixels.Allocate(PNG_IMAGE_SIZE(image))) return false;
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
  out->kind = PictureKind::kPng;
  out->width = static_cast<int32_t>(image.width);
  out->height = static_cast<int32_t>(image.height);
  out->pixels = std::move(pixels);
  return true;
}
