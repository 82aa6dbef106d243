// PCX: 8 bits per pixel with its trailing 256-colour palette, and 1-bit
// monochrome. Both run-length coded.
#include <cstring>

#include "picture/packed_bitmap.h"
#include "picture/picture_decoders.h"

namespace {

constexpr uint32_t kHeaderSize = 128;
constexpr uint8_t kPaletteMark = 12;
constexpr uint32_t kPaletteSize = 768;

// The run-length coded stream after the header: a byte above 192 repeats
// the next byte (byte - 192) times, any other byte stands for itself. Runs
// may cross row ends; the stream then goes on into the next row.
class RunReader {
 public:
  explicit RunReader(ByteReader* r) : r_(r) {}

  // Fills `row` completely; false when the data ends first.
  bool Fill(uint8_t* row, uint32_t size) {
    for (uint32_t i = 0; i < size;) {
      if (run_ == 0) {
        uint8_t b = r_->Byte();
        if (b > 192) {
          run_ = b - 192u;
          value_ = r_->Byte();
        } else {
          run_ = 1;
          value_ = b;
        }
        if (r_->failed()) return false;
      }
      uint32_t n = run_ < size - i ? run_ : size - i;
      std::memset(row + i, value_, n);
      i += n;
      run_ -= n;
    }
    return true;
  }

 private:
  ByteReader* r_;
  uint32_t run_ = 0;
  uint8_t value_ = 0;
};

bool DecodeEightBit(ByteReader* r, uint32_t width, uint32_t height, uint32_t line_bytes, DecodedPicture* out) {
  if (line_bytes < width) return false;
  PixelBuffer image;
  if (!packed_bitmap::Allocate(&image, width, height)) return false;
  std::unique_ptr<uint8_t[]> line(new (std::nothrow) uint8_t[line_bytes]);
  if (!line) return false;
  RunReader runs(r);
  for (uint32_t y = 0; y < height; ++y) {
    if (!runs.Fill(line.get(), line_bytes)) return false;
    std::memcpy(packed_bitmap::Row(&image, width, y), line.get(), width);
  }
  // The palette follows the image data behind its mark; without one the
  // pixel values are grey levels. A mark with less behind it is a file cut
  // short.
  ByteRun palette;
  if (r->Byte() == kPaletteMark) {
    palette = r->Bytes(kPaletteSize);
    if (palette.size() != kPaletteSize) return false;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    uint8_t grey = static_cast<uint8_t>(i);
    if (palette.empty())
      packed_bitmap::SetColour(&image, i, grey, grey, grey);
    else
      packed_bitmap::SetColour(&image, i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
  }
  out->kind = PictureKind::kPcx8;
  out->pixels = std::move(image);
  return true;
}

bool DecodeMonochrome(ByteReader* r, uint32_t width, uint32_t height, uint32_t line_bytes, DecodedPicture* out) {
  if (uint64_t{line_bytes} * 8 < width) return false;
  if (!PictureSizeAllowed(width, height)) return false;
  const uint32_t stride = MonoRowBytes(width);
  PixelBuffer bits;
  if (!bits.Allocate(uint64_t{stride} * height)) return false;
  std::unique_ptr<uint8_t[]> line(new (std::nothrow) uint8_t[line_bytes]);
  if (!line) return false;
  RunReader runs(r);
  for (uint32_t y = 0; y < height; ++y) {
    if (!runs.Fill(line.get(), line_bytes)) return false;
    std::memcpy(bits.data() + uint64_t{stride} * y, line.get(), (width + 7) / 8);
  }
  out->kind = PictureKind::kPcx1;
  out->pixels = std::move(bits);
  return true;
}

}  // namespace

bool DecodePcx(ByteRun data, DecodedPicture* out) {
  if (data.size() <= kHeaderSize) return false;
  ByteReader r(data);
  const uint8_t manufacturer = r.Byte();
  const uint8_t version = r.Byte();
  const uint8_t encoding = r.Byte();
  const uint8_t bits = r.Byte();
  const uint32_t x_min = r.Half(), y_min = r.Half(), x_max = r.Half(), y_max = r.Half();
  r.Skip(4 + 48 + 1);  // resolution, 16-colour palette, reserved
  const uint8_t planes = r.Byte();
  const uint32_t line_bytes = r.Half();
  r.Skip(kHeaderSize - r.position());
  if (r.failed() || manufacturer != 0x0A || version > 5 || encoding != 1) return false;
  if (x_max < x_min || y_max < y_min || line_bytes == 0) return false;
  const uint32_t width = x_max - x_min + 1;
  const uint32_t height = y_max - y_min + 1;

  bool decoded = false;
  if (bits == 8 && planes == 1)
    decoded = DecodeEightBit(&r, width, height, line_bytes, out);
  else if (bits == 1 && planes == 1)
    decoded = DecodeMonochrome(&r, width, height, line_bytes, out);
  if (!decoded) return false;
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  if (out->kind == PictureKind::kPcx8) {  // the packed image is the whole picture
    out->image_width = out->width;
    out->image_height = out->height;
  }
  return true;
}
