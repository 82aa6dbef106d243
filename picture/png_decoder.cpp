// PNG through libpng's simplified reading interface, from memory into
// B, G, R, A rows.
#include <png.h>

#include "picture_decoders.h"

namespace {

// Frees libpng's state on every way out.
struct ImageGuard {
  png_image* image;
  ~ImageGuard() { png_image_free(image); }
};

}  // namespace

bool DecodePng(ByteRun data, DecodedPicture* out) {
  if (data.size() <= 7) return false;
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
