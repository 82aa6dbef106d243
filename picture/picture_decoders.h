// The decoders, one per format. Each reads only inside the bytes it is given
// and answers false, with `out` left empty, for anything it cannot use.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/decoded_picture.h"
#include "runtime/value/byte_reader.h"

// The kind by signature, in the format table's order (picture_formats.h).
// Needs 8 bytes: shorter data is never recognised.
PictureKind DetectPictureKind(const uint8_t* data, size_t size);

bool DecodeJpeg(ByteRun data, DecodedPicture* out);
bool DecodePng(ByteRun data, DecodedPicture* out);
bool DecodeBmp(ByteRun data, DecodedPicture* out);
bool DecodeGif(ByteRun data, DecodedPicture* out);
// Both PCX kinds: 8 bits with one plane, or 1 bit with one plane.
bool DecodePcx(ByteRun data, DecodedPicture* out);

// The image of an icon or cursor file that the system should make an icon
// from, checked so that the system reads nothing outside it.
struct IconImage {
  ByteRun bytes;
  int32_t width = 0;   // from the image's own header
  int32_t height = 0;  // half the stored height for bitmap images
  uint16_t bit_count = 0;
  bool png = false;  // a PNG-compressed entry
};
bool ChooseIconImage(ByteRun data, IconImage* image);

// Detects the kind and decodes every kind but icons and cursors, which need
// the system; for those only `kind` is set and the answer is false.
bool DecodePixels(ByteRun data, DecodedPicture* out);
