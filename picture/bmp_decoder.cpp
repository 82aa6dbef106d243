// Uncompressed BMP with 1, 4, 8, 24 or 32 bits per pixel.
#include <cstring>

#include "picture/picture_decoders.h"

namespace {

constexpr uint32_t kInfoHeaderSize = 40;

// Palette entry `index` as B, G, R; black past the stored entries.
void PaletteColour(ByteRun palette, uint32_t index, uint8_t* bgr) {
  if (uint64_t{index} * 4 + 3 > palette.size()) {
    bgr[0] = bgr[1] = bgr[2] = 0;
    return;
  }
  std::memcpy(bgr, palette.data() + 4 * index, 3);
}

}  // namespace

bool DecodeBmp(ByteRun data, DecodedPicture* out) {
  ByteReader r(data);
  if (r.Byte() != 'B' || r.Byte() != 'M') return false;
  r.Skip(8);  // file size, reserved
  const uint32_t data_offset = r.Word();
  const uint32_t header_size = r.Word();
  const int64_t width = static_cast<int32_t>(r.Word());
  const int64_t height = static_cast<int32_t>(r.Word());
  r.Half();  // planes
  const uint32_t bits = r.Half();
  const uint32_t compression = r.Word();
  r.Skip(12);  // image size, resolution
  const uint32_t colours_used = r.Word();
  r.Word();  // important colours
  // Smaller headers are the old core layout with other field sizes.
  if (r.failed() || header_size < kInfoHeaderSize || compression != 0) return false;
  const uint64_t w = width < 0 ? -width : width;
  const uint64_t h = height < 0 ? -height : height;
  if (!PictureSizeAllowed(w, h)) return false;

  // The palette follows the information header, whatever that header's size:
  // the later, longer headers put it further back.
  if (!r.Skip(header_size - kInfoHeaderSize)) return false;
  ByteRun palette;
  if (bits == 1 || bits == 4 || bits == 8) {
    palette = r.Items(colours_used ? colours_used : 1u << bits, 4);
    if (r.failed()) return false;
  } else if (bits != 24 && bits != 32) {
    return false;
  }
  if (data_offset < r.position()) return false;

  // Rows are padded to 4 bytes counted from the data offset; the last row
  // needs only its pixels.
  const uint64_t row_bits = w * bits;
  const uint64_t stride = (row_bits + 31) / 32 * 4;
  const uint64_t last_row = (row_bits + 7) / 8;
  if (data_offset > data.size() || (h - 1) * stride + last_row > data.size() - data_offset) return false;
  if (!out->pixels.Allocate(w * h * 3)) return false;

  // The picture is built bottom-up. A negative height means the file stores
  // its rows top-down: those are taken from the last stored row up.
  const bool top_down = height < 0;
  const uint8_t* rows = data.data() + data_offset;
  uint8_t* dst = out->pixels.data();
  for (uint64_t y = 0; y < h; ++y) {
    const uint8_t* src = rows + (top_down ? h - 1 - y : y) * stride;
    for (uint64_t x = 0; x < w; ++x, dst += 3) {
      if (bits >= 24) {
        std::memcpy(dst, src + x * (bits / 8), 3);
        continue;
      }
      uint64_t bit = x * bits;
      uint32_t shift = 8 - bits - static_cast<uint32_t>(bit % 8);
      uint32_t index = (src[bit / 8] >> shift) & ((1u << bits) - 1);
      PaletteColour(palette, index, dst);
    }
  }
  out->kind = PictureKind::kBmp;
  out->width = static_cast<int32_t>(w);
  out->height = static_cast<int32_t>(h);
  return true;
}
