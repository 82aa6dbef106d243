// What the decoders make of picture bytes: the kind found by signature, the
// picture's size and its pixels, laid out as the bitmap building expects.
// Platform-free: icons are only chosen here, the system makes them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

enum class PictureKind : int32_t {
  kUnknown = 0,
  kJpeg = 1,
  kBmp = 2,
  kIcon = 3,
  kCursor = 4,
  kGif = 5,
  kPcx8 = 6,
  kPcx1 = 7,
  kPng = 8,
};

// Decoded pictures never exceed these: a picture property is a window
// decoration, and every buffer size below stays far from 32-bit overflow.
constexpr uint32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 24;

inline bool PictureSizeAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// A zero-filled block that reports running out of memory instead of
// throwing: every failure of the loader is a null result.
class PixelBuffer {
 public:
  bool Allocate(uint64_t size) {
    Reset();
    if (size == 0 || size > kMaxBytes) return false;
    data_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(size), 1)));
    size_ = data_ ? static_cast<size_t>(size) : 0;
    return data_ != nullptr;
  }
  void Reset() {
    data_.reset();
    size_ = 0;
  }
  uint8_t* data() { return data_.get(); }
  const uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  // Four bytes per pixel plus a header and palette, with room to spare.
  static constexpr uint64_t kMaxBytes = kMaxPicturePixels * 4 + (uint64_t{1} << 20);
  struct FreeBlock {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint8_t[], FreeBlock> data_;
  size_t size_ = 0;
};

// Sizes of the packed 8-bit device-independent bitmap (GIF, 8-bit PCX): a
// 40-byte header, 256 palette entries B, G, R, 0, then rows top-down.
constexpr uint32_t kPackedHeaderSize = 40;
constexpr uint32_t kPackedPaletteSize = 256 * 4;
constexpr uint32_t kPackedBitsOffset = kPackedHeaderSize + kPackedPaletteSize;
inline uint32_t PackedRowBytes(uint32_t width) { return (width + 3) & ~3u; }
// Rows of a monochrome bitmap are whole 16-bit words.
inline uint32_t MonoRowBytes(uint32_t width) { return (width + 15) / 16 * 2; }

struct DecodedPicture {
  PictureKind kind = PictureKind::kUnknown;
  // The picture's size; for a GIF the logical screen's.
  int32_t width = 0;
  int32_t height = 0;
  // In the layout of the kind's row in the format table (picture_formats.h).
  PixelBuffer pixels;
  // A packed 8-bit picture: where its image lies on it, and the image's
  // size (the packed bitmap's): a GIF's first image on the logical screen,
  // all of an 8-bit PCX.
  int32_t image_left = 0;
  int32_t image_top = 0;
  int32_t image_width = 0;
  int32_t image_height = 0;
};
