// GIF 87a and 89a: the first image, LZW-decoded into a packed 8-bit bitmap.
#include <cstring>

#include "picture/packed_bitmap.h"
#include "picture/picture_decoders.h"

namespace {

constexpr uint32_t kMaxCodes = 4096;

// Reads the LZW codes of an image: bits least significant first, carried in
// sub-blocks of up to 255 bytes that end with an empty one.
class CodeReader {
 public:
  explicit CodeReader(ByteReader* r) : r_(r) {}

  // The next code of `bits` bits. False once the closing empty sub-block is
  // read, or when the data ends first (then truncated() says so).
  bool Next(uint32_t bits, uint32_t* code) {
    while (held_bits_ < bits) {
      if (block_left_ == 0) {
        if (ended_) return false;
        block_left_ = r_->Byte();
        if (r_->failed()) return false;
        if (block_left_ == 0) {
          ended_ = true;
          return false;
        }
      }
      held_ |= static_cast<uint32_t>(r_->Byte()) << held_bits_;
      if (r_->failed()) return false;
      held_bits_ += 8;
      --block_left_;
    }
    *code = held_ & ((1u << bits) - 1);
    held_ >>= bits;
    held_bits_ -= bits;
    return true;
  }
  // Whether the image data was cut off: the file ended inside it.
  bool truncated() const { return r_->failed(); }

 private:
  ByteReader* r_;
  uint32_t held_ = 0;
  uint32_t held_bits_ = 0;
  uint32_t block_left_ = 0;
  bool ended_ = false;
};

// Where the n-th decoded row goes: straight, or in the four interlace
// passes (every 8th row from 0, every 8th from 4, every 4th from 2, every
// 2nd from 1).
uint32_t RowOf(uint32_t n, uint32_t height, bool interlaced) {
  if (!interlaced) return n;
  static const uint32_t kStart[4] = {0, 4, 2, 1};
  static const uint32_t kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    uint32_t rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (n < rows) return kStart[pass] + n * kStep[pass];
    n -= rows;
  }
  return height;  // past the last row
}

// Fills the rows of the packed image from LZW data. A code past the table
// fails; the end code, or the image full, ends it early.
bool DecodeLzw(ByteReader* r, uint32_t min_code_size, bool interlaced, uint32_t width, uint32_t height,
               PixelBuffer* image) {
  if (min_code_size < 1 || min_code_size > 8) return false;
  const uint32_t clear = 1u << min_code_size;
  const uint32_t end = clear + 1;

  // Each code's string: the code before it plus one byte.
  struct Entry {
    uint16_t prefix;
    uint16_t length;
    uint8_t suffix;
    uint8_t first;
  };
  static_assert(sizeof(Entry) == 6);
  std::unique_ptr<Entry[]> table(new (std::nothrow) Entry[kMaxCodes]);
  std::unique_ptr<uint8_t[]> text(new (std::nothrow) uint8_t[kMaxCodes]);
  if (!table || !text) return false;
  for (uint32_t c = 0; c < clear; ++c) table[c] = {0, 1, static_cast<uint8_t>(c), static_cast<uint8_t>(c)};

  CodeReader codes(r);
  uint32_t code_size = min_code_size + 1;
  uint32_t next = clear + 2;
  int32_t previous = -1;
  uint32_t x = 0, n = 0;  // column and decoded row
  uint8_t* row = packed_bitmap::Row(image, width, RowOf(0, height, interlaced));

  for (;;) {
    uint32_t code;
    if (!codes.Next(code_size, &code)) return !codes.truncated();
    if (code == clear) {
      code_size = min_code_size + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return true;

    // Below `next` every code but these two is a string of the table; `next`
    // itself is the previous string plus its own first byte.
    uint32_t length;
    if (code < next) {
      length = table[code].length;
    } else if (code == next && previous >= 0) {
      length = table[previous].length + 1u;
    } else {
      return false;
    }

    // Spell the string backwards from its last byte.
    uint32_t c = code == next ? static_cast<uint32_t>(previous) : code;
    uint32_t at = length;
    if (code == next) text[--at] = table[previous].first;
    while (at > 0) {
      text[--at] = table[c].suffix;
      c = table[c].prefix;
    }

    if (previous >= 0 && next < kMaxCodes) {
      Entry& e = table[next];
      e.prefix = static_cast<uint16_t>(previous);
      e.length = static_cast<uint16_t>(table[previous].length + 1);
      e.suffix = text[0];
      e.first = table[previous].first;
      ++next;
      if (next == (1u << code_size) && code_size < 12) ++code_size;
    }
    previous = static_cast<int32_t>(code);

    for (uint32_t i = 0; i < length; ++i) {
      row[x] = text[i];
      if (++x == width) {
        x = 0;
        if (++n == height) return true;  // the image is full
        row = packed_bitmap::Row(image, width, RowOf(n, height, interlaced));
      }
    }
  }
}

bool SkipSubBlocks(ByteReader* r) {
  for (;;) {
    uint8_t length = r->Byte();
    if (r->failed()) return false;
    if (length == 0) return true;
    if (!r->Skip(length)) return false;
  }
}

}  // namespace

bool DecodeGif(ByteRun data, DecodedPicture* out) {
  static const char kSignature87[] = "GIF87a";
  static const char kSignature89[] = "GIF89a";
  if (data.size() <= 13) return false;
  if (std::memcmp(data.data(), kSignature87, 6) != 0 && std::memcmp(data.data(), kSignature89, 6) != 0) return false;

  ByteReader r(data);
  r.Skip(6);
  const uint32_t screen_width = r.Half();
  const uint32_t screen_height = r.Half();
  const uint8_t flags = r.Byte();
  r.Skip(2);  // background index, aspect ratio
  if (!PictureSizeAllowed(screen_width, screen_height)) return false;
  ByteRun global_table;
  if (flags & 0x80) {
    global_table = r.Items(2u << (flags & 7), 3);
    if (r.failed()) return false;
  }

  // Extensions are skipped and so are stray zero bytes and trailers, as
  // long as an image follows somewhere.
  for (;;) {
    const uint8_t block = r.Byte();
    if (r.failed()) return false;
    if (block == 0 || block == ';') continue;
    if (block == '!') {
      const uint8_t label = r.Byte();
      if (label != 0xF9 && label != 0xFE && label != 0xFF && label != 0x01) return false;
      if (!SkipSubBlocks(&r)) return false;
      continue;
    }
    if (block != ',') return false;
    break;
  }

  const uint32_t left = r.Half();
  const uint32_t top = r.Half();
  const uint32_t width = r.Half();
  const uint32_t height = r.Half();
  const uint8_t image_flags = r.Byte();
  ByteRun table = global_table;
  if (image_flags & 0x80) table = r.Items(2u << (image_flags & 7), 3);
  const uint8_t min_code_size = r.Byte();
  if (r.failed()) return false;

  PixelBuffer image;
  if (!packed_bitmap::Allocate(&image, width, height)) return false;
  for (uint32_t i = 0; i < table.size() / 3; ++i)
    packed_bitmap::SetColour(&image, i, table[3 * i], table[3 * i + 1], table[3 * i + 2]);
  if (!DecodeLzw(&r, min_code_size, (image_flags & 0x40) != 0, width, height, &image)) return false;

  out->kind = PictureKind::kGif;
  out->width = static_cast<int32_t>(screen_width);
  out->height = static_cast<int32_t>(screen_height);
  out->image_left = static_cast<int32_t>(left);
  out->image_top = static_cast<int32_t>(top);
  out->image_width = static_cast<int32_t>(width);
  out->image_height = static_cast<int32_t>(height);
  out->pixels = std::move(image);
  return true;
}
