// Signature detection and the choice of decoder, by the format table.
#include "picture/picture_formats.h"

const PictureFormat* FormatOf(PictureKind kind) {
  for (const PictureFormat& format : kPictureFormats)
    if (format.kind == kind) return &format;
  return nullptr;
}

PictureKind DetectPictureKind(const uint8_t* data, size_t size) {
  // Exactly eight bytes are read, so anything shorter is unrecognised even
  // when its first bytes match.
  if (!data || size < 8) return PictureKind::kUnknown;
  for (const PictureFormat& format : kPictureFormats)
    if (format.signature(data)) return format.kind;
  return PictureKind::kUnknown;
}

bool DecodePixels(ByteRun data, DecodedPicture* out) {
  *out = DecodedPicture();
  PictureKind kind = DetectPictureKind(data.data(), data.size());
  const PictureFormat* format = FormatOf(kind);
  bool decoded = format && format->decode(data, out) && out->pixels.size() == PixelBytesOf(*out);
  if (!decoded) *out = DecodedPicture();
  out->kind = kind;
  return decoded;
}

uint64_t PixelBytesOf(const DecodedPicture& d) {
  const uint64_t w = static_cast<uint32_t>(d.width), h = static_cast<uint32_t>(d.height);
  switch (LayoutOf(d.kind)) {
    case PixelLayout::kBgr24BottomUp: return w * h * 3;
    case PixelLayout::kBgra32TopDown: return w * h * 4;
    case PixelLayout::kPacked8:
      if (!PictureSizeAllowed(static_cast<uint32_t>(d.image_width), static_cast<uint32_t>(d.image_height))) return 0;
      return kPackedBitsOffset +
             uint64_t{PackedRowBytes(static_cast<uint32_t>(d.image_width))} * static_cast<uint32_t>(d.image_height);
    case PixelLayout::kMono1TopDown: return uint64_t{MonoRowBytes(static_cast<uint32_t>(w))} * h;
    case PixelLayout::kNone: break;
  }
  return 0;
}
