// Every picture format the loader knows, one row each, in the order their
// signatures are tried: its kind, the test of its first eight bytes, its
// decoder and the layout the decoder leaves its pixels in. A new format is
// a row here, its decoder (declared in picture_decoders.h) and the
// decoder's file in picture/sources.cmake; the fuzz targets come from these
// rows. Only a new layout needs a bitmap of its own in picture_render.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/picture_decoders.h"

// How a decoder leaves a picture's pixels (DecodedPicture::pixels).
enum class PixelLayout {
  kNone,           // no pixels: the system makes the picture (icons, cursors)
  kBgr24BottomUp,  // B, G, R per pixel, rows bottom-up, no row padding
  kBgra32TopDown,  // B, G, R, A per pixel, rows top-down
  kPacked8,        // a packed 8-bit bitmap of the image rectangle (decoded_picture.h)
  kMono1TopDown,   // monochrome rows top-down of MonoRowBytes(width)
};

namespace signature {
inline uint16_t Half(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline bool Bmp(const uint8_t* b) { return b[0] == 'B' && b[1] == 'M'; }
inline bool Jpeg(const uint8_t* b) { return b[0] == 0xFF && b[1] == 0xD8; }
inline bool Png(const uint8_t* b) { return b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G'; }
inline bool IconDirectory(const uint8_t* b, uint16_t type) { return Half(b) == 0 && Half(b + 2) == type && Half(b + 4) > 0; }
inline bool Icon(const uint8_t* b) { return IconDirectory(b, 1); }
inline bool Cursor(const uint8_t* b) { return IconDirectory(b, 2); }
inline bool Gif(const uint8_t* b) {
  return b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') && b[5] == 'a';
}
inline bool Pcx8(const uint8_t* b) { return b[0] == 0x0A && b[2] == 1 && b[1] <= 5 && b[3] == 8; }
inline bool Pcx1(const uint8_t* b) { return b[0] == 0x0A && b[2] == 1 && b[1] == 3 && b[3] == 1; }
}  // namespace signature

// Icons and cursors: chosen here (ChooseIconImage), made by the system.
inline bool DecodedBySystem(ByteRun, DecodedPicture*) { return false; }

struct PictureFormat {
  PictureKind kind;
  bool (*signature)(const uint8_t* first_eight);
  bool (*decode)(ByteRun data, DecodedPicture* out);
  PixelLayout layout;
};

// The build reads the decoders' names from these rows (one row a line).
inline constexpr PictureFormat kPictureFormats[] = {
    {PictureKind::kBmp, signature::Bmp, DecodeBmp, PixelLayout::kBgr24BottomUp},
    {PictureKind::kJpeg, signature::Jpeg, DecodeJpeg, PixelLayout::kBgr24BottomUp},
    {PictureKind::kPng, signature::Png, DecodePng, PixelLayout::kBgra32TopDown},
    {PictureKind::kIcon, signature::Icon, DecodedBySystem, PixelLayout::kNone},
    {PictureKind::kCursor, signature::Cursor, DecodedBySystem, PixelLayout::kNone},
    {PictureKind::kGif, signature::Gif, DecodeGif, PixelLayout::kPacked8},
    {PictureKind::kPcx8, signature::Pcx8, DecodePcx, PixelLayout::kPacked8},
    {PictureKind::kPcx1, signature::Pcx1, DecodePcx, PixelLayout::kMono1TopDown},
};

// The row of a kind; null for kUnknown.
const PictureFormat* FormatOf(PictureKind kind);
inline PixelLayout LayoutOf(PictureKind kind) {
  const PictureFormat* format = FormatOf(kind);
  return format ? format->layout : PixelLayout::kNone;
}

// The pixel bytes a decoded picture's layout needs for its size: what every
// decoder leaves, and all that the bitmap building reads.
uint64_t PixelBytesOf(const DecodedPicture& picture);
