// Icon and cursor files: the directory walk, the choice of entry, and a
// check of that entry's image before the system is handed it.
#include "picture/picture_decoders.h"

namespace {

constexpr uint32_t kEntrySize = 16;
constexpr uint32_t kBitmapHeaderSize = 40;
// Icon images are at most 256 pixels a side; this leaves room for odd files.
constexpr int64_t kMaxIconSide = 1024;

uint32_t BigEndianWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

// A PNG-compressed image (larger icons): its size is in the IHDR chunk.
bool CheckPngImage(ByteRun bytes, IconImage* image) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() < 24) return false;
  const uint8_t* p = bytes.data();
  for (int i = 0; i < 8; ++i)
    if (p[i] != kSignature[i]) return false;
  uint32_t width = BigEndianWord(p + 16), height = BigEndianWord(p + 20);
  if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide) return false;
  image->width = static_cast<int32_t>(width);
  image->height = static_cast<int32_t>(height);
  image->bit_count = 32;
  image->png = true;
  return true;
}

// A bitmap image: header, palette, colour bits and mask bits must all lie
// inside the entry.
bool CheckBitmapImage(ByteRun bytes, IconImage* image) {
  ByteReader r(bytes);
  const uint32_t header_size = r.Word();
  const int64_t width = static_cast<int32_t>(r.Word());
  const int64_t stored_height = static_cast<int32_t>(r.Word());
  const uint32_t planes = r.Half();
  const uint32_t bits = r.Half();
  const uint32_t compression = r.Word();
  r.Skip(12);
  const uint32_t colours_used = r.Word();
  if (r.failed() || header_size < kBitmapHeaderSize || header_size > bytes.size()) return false;
  // The stored height covers the colour bits and the mask below them.
  const int64_t height = stored_height / 2;
  if (width <= 0 || width > kMaxIconSide || height <= 0 || height > kMaxIconSide || planes != 1) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32))) return false;

  uint64_t needed = header_size;
  if (compression == 3 && header_size == kBitmapHeaderSize) needed += 12;  // the colour masks follow it
  if (bits <= 8) needed += uint64_t{colours_used && colours_used < (1u << bits) ? colours_used : 1u << bits} * 4;
  needed += (uint64_t(width) * bits + 31) / 32 * 4 * height;
  needed += (uint64_t(width) + 31) / 32 * 4 * height;
  if (needed > bytes.size()) return false;

  image->width = static_cast<int32_t>(width);
  image->height = static_cast<int32_t>(height);
  image->bit_count = static_cast<uint16_t>(bits);
  image->png = false;
  return true;
}

}  // namespace

bool ChooseIconImage(ByteRun data, IconImage* image) {
  *image = IconImage();
  ByteReader r(data);
  const uint32_t reserved = r.Half();
  const uint32_t type = r.Half();
  const uint32_t count = r.Half();
  if (r.failed() || reserved != 0 || (type != 1 && type != 2) || count == 0) return false;
  ByteRun directory = r.Items(count, kEntrySize);
  if (r.failed()) return false;

  // The first 32-pixel entry with more than 15 colours, else the last one.
  const uint8_t* entry = directory.data() + (count - 1) * kEntrySize;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = directory.data() + i * kEntrySize;
    if (e[2] > 15 && e[0] == 32) {
      entry = e;
      break;
    }
  }
  ByteReader fields(entry + 8, 8);
  const uint32_t size = fields.Word();
  const uint32_t offset = fields.Word();
  if (offset > data.size() || size > data.size() - offset || size == 0) return false;
  ByteRun bytes = data.subspan(offset, size);
  if (!CheckPngImage(bytes, image) && !CheckBitmapImage(bytes, image)) return false;
  image->bytes = bytes;
  return true;
}
