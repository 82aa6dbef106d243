// Signature detection and the choice of decoder.
#include "picture_decoders.h"

namespace {

uint16_t Half(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

PictureKind DetectPictureKind(const uint8_t* data, size_t size) {
  // Exactly eight bytes are read, so anything shorter is unrecognised even
  // when its first bytes match.
  if (!data || size < 8) return PictureKind::kUnknown;
  const uint8_t* b = data;
  if (b[0] == 'B' && b[1] == 'M') return PictureKind::kBmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return PictureKind::kJpeg;
  if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return PictureKind::kPng;
  if (Half(b) == 0 && Half(b + 4) > 0) {
    if (Half(b + 2) == 1) return PictureKind::kIcon;
    if (Half(b + 2) == 2) return PictureKind::kCursor;
  }
  if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') && b[5] == 'a')
    return PictureKind::kGif;
  if (b[0] == 0x0A && b[2] == 1) {
    if (b[1] <= 5 && b[3] == 8) return PictureKind::kPcx8;
    if (b[1] == 3 && b[3] == 1) return PictureKind::kPcx1;
  }
  return PictureKind::kUnknown;
}

bool DecodePixels(ByteRun data, DecodedPicture* out) {
  *out = DecodedPicture();
  PictureKind kind = DetectPictureKind(data.data(), data.size());
  bool decoded = false;
  switch (kind) {
    case PictureKind::kJpeg:
      decoded = DecodeJpeg(data, out);
      break;
    case PictureKind::kBmp:
      decoded = DecodeBmp(data, out);
      break;
    case PictureKind::kPng:
      decoded = DecodePng(data, out);
      break;
    case PictureKind::kGif:
      decoded = DecodeGif(data, out);
      break;
    case PictureKind::kPcx8:
    case PictureKind::kPcx1:
      decoded = DecodePcx(data, out);
      break;
    case PictureKind::kIcon:
    case PictureKind::kCursor:
    case PictureKind::kUnknown:
      break;
  }
  if (!decoded) *out = DecodedPicture();
  out->kind = kind;
  return decoded;
}
