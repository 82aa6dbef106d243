// The platform-free decoders against ImageMagick's reading of the same
// files, their edge cases, and damaged or hostile input. Also built natively
// under AddressSanitizer (tests/native).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <string>

#include "picture/alpha.h"
#include "picture/picture_formats.h"
#include "tests/picture/picture_edits.h"
#include "tests/picture/test_pictures.h"

namespace {

namespace pe = picture_edits;
using Bytes = pe::Bytes;
using Rgb = std::array<int, 3>;

bool Decode(const Bytes& b, DecodedPicture* out) { return DecodePixels(ByteRun(b.data(), b.size()), out); }

// Pixel (x, y), counted from the top, as R, G, B whatever the layout.
Rgb PixelAt(const DecodedPicture& d, int32_t x, int32_t y) {
  const uint8_t* p = d.pixels.data();
  switch (LayoutOf(d.kind)) {
    case PixelLayout::kBgr24BottomUp:
      p += (static_cast<size_t>(d.height - 1 - y) * d.width + x) * 3;
      return {p[2], p[1], p[0]};
    case PixelLayout::kBgra32TopDown:
      p += (static_cast<size_t>(y) * d.width + x) * 4;
      return {p[2], p[1], p[0]};
    case PixelLayout::kPacked8: {
      const uint8_t index = p[kPackedBitsOffset + static_cast<size_t>(y) * PackedRowBytes(d.image_width) + x];
      const uint8_t* colour = p + kPackedHeaderSize + 4 * index;
      return {colour[2], colour[1], colour[0]};
    }
    case PixelLayout::kMono1TopDown: {
      const int on = p[static_cast<size_t>(y) * MonoRowBytes(d.width) + x / 8] >> (7 - x % 8) & 1;
      return {on * 255, on * 255, on * 255};
    }
    default:
      return {-1, -1, -1};
  }
}

// Compares every pixel with ImageMagick's, within `tolerance`; reports the
// first few differences only.
void ExpectPixels(const DecodedPicture& d, const TestPicture& p, int tolerance) {
  int reported = 0;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const Rgb got = PixelAt(d, x, y);
      const uint8_t* want = p.expected(x, y);
      for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - want[c]) > tolerance && reported++ < 5)
          ADD_FAILURE() << p.name << " (" << x << ", " << y << ") channel " << c << ": " << got[c] << " instead of "
                        << int(want[c]);
    }
}

PictureKind KindOf(const Bytes& b) { return DetectPictureKind(b.data(), b.size()); }

TEST(PictureKind, SignaturesNeedEightBytes) {
  struct Case {
    const char* what;
    Bytes bytes;
    PictureKind kind;
  };
  const Case cases[] = {
      {"JPEG, 8 bytes", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0}, PictureKind::kJpeg},
      {"JPEG, 7 bytes", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0}, PictureKind::kUnknown},
      {"BMP", {'B', 'M', 0, 0, 0, 0, 0, 0}, PictureKind::kBmp},
      {"BMP, 5 bytes", {'B', 'M', 0, 0, 0}, PictureKind::kUnknown},
      {"PNG", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureKind::kPng},
      {"PNG word only", {0x89, 'P', 'N', 'G', 0, 0, 0, 0}, PictureKind::kPng},
      {"icon", {0, 0, 1, 0, 1, 0, 0, 0}, PictureKind::kIcon},
      {"icon without entries", {0, 0, 1, 0, 0, 0, 0, 0}, PictureKind::kUnknown},
      {"cursor", {0, 0, 2, 0, 3, 0, 0, 0}, PictureKind::kCursor},
      {"type 3", {0, 0, 3, 0, 1, 0, 0, 0}, PictureKind::kUnknown},
      {"reserved word set", {1, 0, 1, 0, 1, 0, 0, 0}, PictureKind::kUnknown},
      {"GIF87a", {'G', 'I', 'F', '8', '7', 'a', 0, 0}, PictureKind::kGif},
      {"GIF89a", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, PictureKind::kGif},
      {"GIF88a", {'G', 'I', 'F', '8', '8', 'a', 0, 0}, PictureKind::kUnknown},
      {"GIF89b", {'G', 'I', 'F', '8', '9', 'b', 0, 0}, PictureKind::kUnknown},
      {"PCX 8 bits version 5", {0x0A, 5, 1, 8, 0, 0, 0, 0}, PictureKind::kPcx8},
      {"PCX 8 bits version 0", {0x0A, 0, 1, 8, 0, 0, 0, 0}, PictureKind::kPcx8},
      {"PCX 8 bits version 6", {0x0A, 6, 1, 8, 0, 0, 0, 0}, PictureKind::kUnknown},
      {"PCX 8 bits not coded", {0x0A, 5, 0, 8, 0, 0, 0, 0}, PictureKind::kUnknown},
      {"PCX 1 bit version 3", {0x0A, 3, 1, 1, 0, 0, 0, 0}, PictureKind::kPcx1},
      {"PCX 1 bit version 5", {0x0A, 5, 1, 1, 0, 0, 0, 0}, PictureKind::kUnknown},
      {"PCX 4 bits", {0x0A, 3, 1, 4, 0, 0, 0, 0}, PictureKind::kUnknown},
      {"text", {'h', 'e', 'l', 'l', 'o', '!', '!', '!'}, PictureKind::kUnknown},
  };
  for (const Case& c : cases) EXPECT_EQ(KindOf(c.bytes), c.kind) << c.what;
  EXPECT_EQ(DetectPictureKind(nullptr, 100), PictureKind::kUnknown);

  // The 7-byte JPEG start gives nothing at all.
  DecodedPicture d;
  EXPECT_FALSE(Decode(cases[1].bytes, &d));
  EXPECT_EQ(d.kind, PictureKind::kUnknown);
  EXPECT_FALSE(d.pixels);
}

TEST(PictureKind, GeneratedPictures) {
  const std::pair<const char*, PictureKind> prefixes[] = {
      {"png", PictureKind::kPng},   {"info16", PictureKind::kPng}, {"jpeg", PictureKind::kJpeg},
      {"bmp", PictureKind::kBmp},   {"gif", PictureKind::kGif},    {"ico", PictureKind::kIcon},
      {"cur", PictureKind::kCursor}, {"pcx8", PictureKind::kPcx8}, {"pcx1", PictureKind::kPcx1},
  };
  for (size_t i = 0; i < kTestPictureCount; ++i) {
    const TestPicture& p = kTestPictures[i];
    const auto* match = std::find_if(std::begin(prefixes), std::end(prefixes), [&](const auto& e) {
      return std::string(p.name).rfind(e.first, 0) == 0;
    });
    ASSERT_NE(match, std::end(prefixes)) << p.name;
    EXPECT_EQ(DetectPictureKind(p.data, p.size), match->second) << p.name;
  }
}

// Every format and depth, pixel for pixel.
TEST(PictureDecode, AsImageMagickReadsThem) {
  struct Case {
    const char* name;
    int tolerance;
  };
  const Case cases[] = {
      {"png_rgb", 0},          {"png_rgba", 0},      {"png_palette", 0},   {"png_grey", 0},
      {"png_rgba16", 0},       {"png_interlaced", 0}, {"png_alpha_edge", 0}, {"info16", 0},
      {"jpeg_rgb", 1},         {"jpeg_420", 1},      {"jpeg_grey", 1},     {"jpeg_progressive", 1},
      {"bmp1", 0},             {"bmp4", 0},          {"bmp8", 0},          {"bmp8_v5", 0},
      {"bmp24", 0},            {"bmp32", 0},         {"gif89", 0},         {"gif87", 0},
      {"gif_interlaced", 0},   {"gif_small", 0},     {"gif_noise", 0},     {"gif_animated", 0},
      {"pcx8", 0},             {"pcx1", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TestPicture& p = FindPicture(c.name);
    ASSERT_TRUE(p.data);
    DecodedPicture d;
    ASSERT_TRUE(Decode(p.bytes(), &d));
    EXPECT_EQ(d.width, p.width);
    EXPECT_EQ(d.height, p.height);
    ExpectPixels(d, p, c.tolerance);
    if (d.kind == PictureKind::kPng) {
      // PNG keeps its alpha for the bitmap building to use.
      for (int32_t i = 0; i < p.width * p.height; ++i)
        ASSERT_EQ(d.pixels.data()[4 * i + 3], p.rgba[4 * i + 3]) << "alpha of pixel " << i;
    }
  }
}

TEST(PictureDecode, PixelLayouts) {
  struct Case {
    const char* name;
    size_t bytes;  // for the 37 × 23 pictures
  };
  const Case cases[] = {
      {"jpeg_rgb", 37 * 23 * 3}, {"bmp8", 37 * 23 * 3},      {"png_rgb", 37 * 23 * 4},
      {"gif89", 40 + 1024 + 40 * 23}, {"pcx8", 40 + 1024 + 40 * 23}, {"pcx1", 6 * 23},
  };
  for (const Case& c : cases) {
    DecodedPicture d;
    ASSERT_TRUE(Decode(FindPicture(c.name).bytes(), &d)) << c.name;
    EXPECT_EQ(d.pixels.size(), c.bytes) << c.name;
  }
  // The packed bitmap's header describes a top-down 8-bit picture.
  DecodedPicture gif;
  ASSERT_TRUE(Decode(FindPicture("gif89").bytes(), &gif));
  const Bytes header(gif.pixels.data(), gif.pixels.data() + 40);
  EXPECT_EQ(Get32(header, 0), 40u);
  EXPECT_EQ(static_cast<int32_t>(Get32(header, 4)), 37);
  EXPECT_EQ(static_cast<int32_t>(Get32(header, 8)), -23);
  EXPECT_EQ(Get16(header, 14), 8u);
}

TEST(PictureDecode, UnsupportedVariantsGiveNothing) {
  for (const char* name : {"bmp_rle8", "jpeg_cmyk", "ico48", "cur32"}) {
    DecodedPicture d;
    EXPECT_FALSE(Decode(FindPicture(name).bytes(), &d)) << name;
    EXPECT_FALSE(d.pixels) << name;
  }
}

TEST(PictureBmp, NegativeHeightComesOutTheRightWayUp) {
  const TestPicture& p = FindPicture("bmp24");
  DecodedPicture d;
  ASSERT_TRUE(Decode(pe::TopDownBmp(p.bytes()), &d));
  ASSERT_EQ(d.height, p.height);  // the height's size, not its sign
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint8_t* want = p.expected(x, y);
      ASSERT_EQ(PixelAt(d, x, y), (Rgb{want[0], want[1], want[2]})) << x << ", " << y;
    }
}

TEST(PictureBmp, PaletteIndexesPastThePaletteAreBlack) {
  // One colour stored, pixels using indexes 0, 1 and 255.
  const Bytes bmp = pe::MakeBmp(3, 1, 8, {0x00336699}, {{0, 1, 255}});
  DecodedPicture d;
  ASSERT_TRUE(Decode(bmp, &d));
  EXPECT_EQ(PixelAt(d, 0, 0), (Rgb{0x33, 0x66, 0x99}));
  EXPECT_EQ(PixelAt(d, 1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(d, 2, 0), (Rgb{0, 0, 0}));
}

TEST(PictureBmp, SmallDepthsReadMostSignificantBitsFirst) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  DecodedPicture d;
  ASSERT_TRUE(Decode(pe::MakeBmp(4, 1, 4, palette, {{0x12, 0x30}}), &d));
  EXPECT_EQ(PixelAt(d, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(d, 1, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(PixelAt(d, 2, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(PixelAt(d, 3, 0), (Rgb{0, 0, 0}));
  // Two rows, bottom row stored first: the top row is the second one.
  ASSERT_TRUE(Decode(pe::MakeBmp(3, 2, 1, {0x000000, 0xFFFFFF}, {{0xA0}, {0x40}}), &d));
  EXPECT_EQ(PixelAt(d, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(d, 1, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(d, 0, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(d, 2, 1), (Rgb{255, 255, 255}));
}

TEST(PictureGif, FirstImageOfAnAnimation) {
  const TestPicture& animated = FindPicture("gif_animated");
  DecodedPicture d;
  ASSERT_TRUE(Decode(animated.bytes(), &d));
  // Its pixels are the first frame's (checked against ImageMagick's frame 0
  // above), which differ from the second frame's source.
  ExpectPixels(d, FindPicture("gif89"), 0);
}

TEST(PictureGif, LocalColourTable) {
  const TestPicture& p = FindPicture("gif89");
  DecodedPicture d;
  ASSERT_TRUE(Decode(pe::GifWithLocalTable(p.bytes()), &d));
  ExpectPixels(d, p, 0);
}

TEST(PictureGif, BlocksBeforeTheImage) {
  const Bytes comment = {'!', 0xFE, 3, 'a', 'b', 'c', 0};
  const Bytes application = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  const Bytes plain_text = {'!', 0x01, 12, 0, 0, 0, 0, 5, 0, 5, 0, 8, 8, 1, 0, 2, 'h', 'i', 0};
  const Bytes control = {'!', 0xF9, 4, 0, 10, 0, 0, 0};
  const Bytes stray = {0, 0, ';', 0};
  const TestPicture& p = FindPicture("gif89");
  for (const Bytes& block : {comment, application, plain_text, control, stray}) {
    DecodedPicture d;
    ASSERT_TRUE(Decode(pe::Insert(p.bytes(), pe::GifImageAt(p.bytes()), block), &d));
    ExpectPixels(d, p, 0);
  }
  // Blocks the decoder does not know end it.
  for (const Bytes& block : {Bytes{'!', 0x42, 1, 0, 0}, Bytes{'x'}}) {
    DecodedPicture d;
    EXPECT_FALSE(Decode(pe::Insert(p.bytes(), pe::GifImageAt(p.bytes()), block), &d));
  }
}

TEST(PictureGif, ImagePlaceOnTheLogicalScreen) {
  Bytes b = FindPicture("gif89").bytes();
  const size_t image = pe::GifImageAt(b);
  Put16(b, 6, 50);  // screen 50 × 30
  Put16(b, 8, 30);
  Put16(b, image + 1, 7);  // image at (7, 4)
  Put16(b, image + 3, 4);
  DecodedPicture d;
  ASSERT_TRUE(Decode(b, &d));
  EXPECT_EQ(d.width, 50);
  EXPECT_EQ(d.height, 30);
  EXPECT_EQ(d.image_left, 7);
  EXPECT_EQ(d.image_top, 4);
  EXPECT_EQ(d.image_width, 37);
  EXPECT_EQ(d.image_height, 23);
}

TEST(PictureGif, LzwCodes) {
  struct Case {
    const char* what;
    uint16_t width;
    Bytes lzw;
    std::vector<int> pixels;  // colour indexes; empty: refused
  };
  // Minimum code size 2: clear 4, end 5, first new code 6, codes 3 bits wide
  // until code 7 is taken.
  const Case cases[] = {
      {"literals", 2, pe::PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}), {1, 2}},
      {"a new code for its own string", 3, pe::PackCodes({{4, 3}, {1, 3}, {6, 3}, {5, 3}}), {1, 1, 1}},
      {"a known string; code 7 taken, codes widen", 4, pe::PackCodes({{4, 3}, {3, 3}, {1, 3}, {6, 3}, {5, 4}}),
       {3, 1, 3, 1}},
      {"codes widen to 4 bits", 4, pe::PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 4}, {5, 4}}), {1, 2, 3, 0}},
      {"no clear code first", 2, pe::PackCodes({{3, 3}, {2, 3}, {5, 3}}), {3, 2}},
      {"the image full before the end code", 2, pe::PackCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}}), {1, 1}},
      {"the end code before the image is full", 3, pe::PackCodes({{4, 3}, {2, 3}, {5, 3}}), {2, 0, 0}},
      {"a code past the table", 2, pe::PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}}), {}},
      {"a new code with no string before it", 2, pe::PackCodes({{4, 3}, {6, 3}, {5, 3}}), {}},
  };
  for (const Case& c : cases) {
    DecodedPicture d;
    const bool decoded = Decode(pe::MakeGif(c.width, 1, c.lzw), &d);
    ASSERT_EQ(decoded, !c.pixels.empty()) << c.what;
    if (!decoded) continue;
    const uint8_t* row = d.pixels.data() + kPackedBitsOffset;
    for (size_t x = 0; x < c.pixels.size(); ++x) EXPECT_EQ(row[x], c.pixels[x]) << c.what << " pixel " << x;
  }
  // Minimum code sizes outside 1 to 8 are refused.
  for (uint8_t size : {0, 9, 12}) {
    Bytes b = pe::MakeGif(2, 1, pe::PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}));
    b[pe::GifImageAt(b) + 10] = size;
    DecodedPicture d;
    EXPECT_FALSE(Decode(b, &d)) << int(size);
  }
}

TEST(PictureGif, TrailerWithoutImageEnds) {
  // Header, no table, the trailer: nothing to decode, and no endless walk.
  Bytes b = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';', ';', 0};
  DecodedPicture d;
  EXPECT_FALSE(Decode(b, &d));
}

TEST(PicturePcx, RunsGoOnIntoTheNextRow) {
  Bytes b = pe::PcxHeader(5, 8, 4, 2, 4);
  pe::Append(b, {0xC6, 7, 0xC2, 9});  // six 7s cross the row end, then two 9s
  b.push_back(12);
  for (int i = 0; i < 256; ++i) pe::Append(b, {uint8_t(i), uint8_t(i), uint8_t(255 - i)});
  DecodedPicture d;
  ASSERT_TRUE(Decode(b, &d));
  EXPECT_EQ(PixelAt(d, 0, 0), (Rgb{7, 7, 248}));
  EXPECT_EQ(PixelAt(d, 1, 1), (Rgb{7, 7, 248}));
  EXPECT_EQ(PixelAt(d, 2, 1), (Rgb{9, 9, 246}));
  EXPECT_EQ(PixelAt(d, 3, 1), (Rgb{9, 9, 246}));

  // A run past the image's end is cut there; the palette mark follows it.
  b = pe::PcxHeader(5, 8, 2, 1, 2);
  pe::Append(b, {0xFF, 3});
  b.push_back(12);
  for (int i = 0; i < 256; ++i) pe::Append(b, {uint8_t(i), 0, 0});
  ASSERT_TRUE(Decode(b, &d));
  EXPECT_EQ(PixelAt(d, 1, 0), (Rgb{3, 0, 0}));
}

TEST(PicturePcx, WithoutPaletteTheValuesAreGreyLevelsButACutPaletteIsNothing) {
  const TestPicture& p = FindPicture("pcx8");
  Bytes b = p.bytes();
  ASSERT_EQ(b[b.size() - 769], 12);
  b[b.size() - 769] = 0;
  DecodedPicture d;
  ASSERT_TRUE(Decode(b, &d));
  for (int i = 0; i < 256; ++i) {
    const uint8_t* entry = d.pixels.data() + kPackedHeaderSize + 4 * i;
    ASSERT_TRUE(entry[0] == i && entry[1] == i && entry[2] == i) << i;
  }

  // The palette's mark with fewer than 256 colours behind it: a file cut short.
  for (size_t cut : {size_t{1}, size_t{767}}) {
    Bytes short_palette = p.bytes();
    short_palette.resize(short_palette.size() - cut);
    DecodedPicture none;
    EXPECT_FALSE(Decode(short_palette, &none)) << cut << " bytes cut";
    EXPECT_FALSE(none.pixels);
  }
}

TEST(PicturePcx, WindowNotAtTheOrigin) {
  Bytes b = pe::PcxHeader(3, 1, 1, 1, 2);
  Put16(b, 4, 100);  // x from 100 to 115, y from 20 to 21
  Put16(b, 8, 115);
  Put16(b, 6, 20);
  Put16(b, 10, 21);
  pe::Append(b, {0xC4, 0xF0});
  DecodedPicture d;
  ASSERT_TRUE(Decode(b, &d));
  EXPECT_EQ(d.width, 16);
  EXPECT_EQ(d.height, 2);
  EXPECT_EQ(PixelAt(d, 0, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(d, 4, 1), (Rgb{0, 0, 0}));
}

// A directory of `count` entries in front of the 48-pixel icon's image.
Bytes IconWithEntries(const std::vector<std::array<uint8_t, 3>>& entries) {
  const Bytes ico48 = FindPicture("ico48").bytes();
  const uint32_t size = Get32(ico48, 14), offset = Get32(ico48, 18);
  Bytes b = {0, 0, 1, 0, uint8_t(entries.size()), 0};
  const uint32_t image_at = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (const auto& [width, height, colours] : entries) {
    pe::Append(b, {width, height, colours, 0, 1, 0, 32, 0});
    pe::Append32(b, size);
    pe::Append32(b, image_at);
  }
  b.insert(b.end(), ico48.begin() + offset, ico48.begin() + offset + size);
  return b;
}

TEST(PictureIcon, EntryChoice) {
  struct Case {
    const char* what;
    std::vector<std::array<uint8_t, 3>> entries;  // width, height, colour count
    size_t chosen;
  };
  const Case cases[] = {
      {"one entry of 48 pixels and 0 colours", {{48, 48, 0}}, 0},
      {"32 pixels with 16 colours", {{16, 16, 16}, {32, 32, 16}, {48, 48, 0}}, 1},
      {"the first of two matches", {{32, 32, 255}, {32, 32, 16}}, 0},
      {"15 colours do not count", {{32, 32, 15}, {16, 16, 0}}, 1},
      {"other widths do not count", {{16, 16, 255}, {48, 48, 255}, {24, 24, 0}}, 2},
  };
  for (const Case& c : cases) {
    const Bytes b = IconWithEntries(c.entries);
    IconImage image;
    ASSERT_TRUE(ChooseIconImage(ByteRun(b.data(), b.size()), &image)) << c.what;
    // Every entry points at the same image; emptying the chosen entry must
    // leave nothing to choose.
    Bytes marked = b;
    Put32(marked, 6 + 16 * c.chosen + 8, 0);  // the chosen entry now has no bytes
    IconImage none;
    EXPECT_FALSE(ChooseIconImage(ByteRun(marked.data(), marked.size()), &none)) << c.what;
    EXPECT_EQ(image.width, 48) << c.what;
    EXPECT_EQ(image.height, 48) << c.what;  // half the stored height
    EXPECT_EQ(image.bit_count, 32) << c.what;
  }
}

TEST(PictureIcon, GeneratedFiles) {
  struct Case {
    const char* name;
    int32_t size;
  };
  for (const Case& c : {Case{"ico48", 48}, Case{"ico_multi", 48}, Case{"cur32", 32}}) {
    const Bytes b = FindPicture(c.name).bytes();
    IconImage image;
    ASSERT_TRUE(ChooseIconImage(ByteRun(b.data(), b.size()), &image)) << c.name;
    EXPECT_EQ(image.width, c.size) << c.name;
    EXPECT_EQ(image.height, c.size) << c.name;
    EXPECT_FALSE(image.png);
    EXPECT_GE(image.bytes.data(), b.data());
    EXPECT_LE(image.bytes.data() + image.bytes.size(), b.data() + b.size());
  }
}

TEST(PictureIcon, PngEntriesTakeTheirSizeFromThePng) {
  const Bytes png = FindPicture("png_rgb").bytes();
  Bytes b = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
  pe::Append32(b, static_cast<uint32_t>(png.size()));
  pe::Append32(b, 22);
  b.insert(b.end(), png.begin(), png.end());
  IconImage image;
  ASSERT_TRUE(ChooseIconImage(ByteRun(b.data(), b.size()), &image));
  EXPECT_TRUE(image.png);
  EXPECT_EQ(image.width, 37);
  EXPECT_EQ(image.height, 23);
}

TEST(PictureAlpha, FlatteningAndPremultiplying) {
  EXPECT_EQ(alpha::Flatten(0, 128, 255), 126);  // 255 × (1 − 128 × k) = 126.99999…
  EXPECT_EQ(alpha::Flatten(0, 0, 255), 255);
  EXPECT_EQ(alpha::Flatten(200, 0, 17), 17);
  EXPECT_EQ(alpha::Flatten(123, 255, 0), 123);
  EXPECT_EQ(alpha::Flatten(255, 128, 0), 128);
  EXPECT_EQ(alpha::Premultiply(255, 128), 128);
  EXPECT_EQ(alpha::Premultiply(100, 0), 0);
  EXPECT_EQ(alpha::Premultiply(77, 255), 77);
  for (int a = 0; a < 256; ++a) {
    // A colour laid over itself stays that colour at the ends of the range.
    ASSERT_EQ(alpha::Flatten(255, uint8_t(a), 255), 255) << a;
    ASSERT_EQ(alpha::Flatten(0, uint8_t(a), 0), 0) << a;
  }
}

// Damaged files: each gives nothing. Icons are checked through the choice of
// their image, the part that reads them.
bool Accepted(const Bytes& b) {
  const ByteRun run(b.data(), b.size());
  const PictureKind kind = DetectPictureKind(b.data(), b.size());
  if (kind == PictureKind::kIcon || kind == PictureKind::kCursor) {
    IconImage image;
    return ChooseIconImage(run, &image);
  }
  DecodedPicture d;
  const bool decoded = DecodePixels(run, &d);
  EXPECT_EQ(decoded, static_cast<bool>(d.pixels));
  return decoded;
}

TEST(PictureDamage, DamagedFilesGiveNothing) {
  struct Case {
    const char* what;
    const char* name;
    std::function<void(Bytes&)> damage;
  };
  const auto cut = [](size_t keep) { return [keep](Bytes& b) { b.resize(keep); }; };
  const auto half = [](Bytes& b) { b.resize(b.size() / 2); };
  const auto last_byte = [](Bytes& b) { b.pop_back(); };
  const Case cases[] = {
      {"PNG cut in half", "png_rgba", half},
      {"PNG cut in its image data", "png_rgb", [](Bytes& b) { b.resize(b.size() - 30); }},
      {"PNG with a broken header CRC", "png_rgb", [](Bytes& b) { b[29] ^= 1; }},
      {"PNG with damaged image data", "png_palette", [](Bytes& b) {
         const auto idat = std::search(b.begin(), b.end(), std::begin("IDAT"), std::end("IDAT") - 1);
         idat[4 + 10] ^= 0x55;  // inside its compressed data
       }},
      {"PNG of 8 bytes", "png_rgb", cut(8)},
      {"PNG chunk longer than the file", "png_rgb", [](Bytes& b) { Put32(b, 33, 0x0000F062); }},
      {"JPEG cut in half", "jpeg_rgb", half},
      {"JPEG cut in its header", "jpeg_rgb", cut(40)},
      {"progressive JPEG cut", "jpeg_progressive", half},
      {"JPEG without frame", "jpeg_grey", [](Bytes& b) {
         for (size_t i = 0; i + 1 < b.size(); ++i)
           if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 1] = 0xC8;  // SOF0 made a reserved marker
       }},
      {"JPEG of no width", "jpeg_rgb", [](Bytes& b) {
         for (size_t i = 0; i + 9 < b.size(); ++i)
           if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 7] = b[i + 8] = 0;
       }},
      {"BMP cut in its pixels", "bmp24", half},
      {"BMP missing the end of its last row", "bmp8", [](Bytes& b) { b.resize(b.size() - 4); }},
      {"BMP cut in its header", "bmp24", cut(40)},
      {"BMP cut in its palette", "bmp8", cut(100)},
      {"BMP with a data offset past the end", "bmp24", [](Bytes& b) { Put32(b, 10, 0xFFFFFF00u); }},
      {"BMP with a data offset in the header", "bmp24", [](Bytes& b) { Put32(b, 10, 20); }},
      {"BMP with a data offset in the palette", "bmp8", [](Bytes& b) { Put32(b, 10, 500); }},
      {"BMP with a core header", "bmp24", [](Bytes& b) { Put32(b, 14, 12); }},
      {"BMP with a header past the end", "bmp24", [](Bytes& b) { Put32(b, 14, 0x7FFFFFFF); }},
      {"BMP of 16 bits", "bmp24", [](Bytes& b) { Put16(b, 28, 16); }},
      {"BMP of 0 bits", "bmp24", [](Bytes& b) { Put16(b, 28, 0); }},
      {"BMP with bit fields", "bmp32", [](Bytes& b) { Put32(b, 30, 3); }},
      {"BMP with a huge palette", "bmp8", [](Bytes& b) { Put32(b, 46, 0x40000001); }},
      {"BMP of zero width", "bmp24", [](Bytes& b) { Put32(b, 18, 0); }},
      {"BMP with the smallest height", "bmp24", [](Bytes& b) { Put32(b, 22, 0x80000000u); }},
      {"GIF cut in half", "gif89", half},
      {"GIF cut in its table", "gif89", cut(100)},
      {"GIF of 13 bytes", "gif89", cut(13)},
      {"GIF cut before its image data ends", "gif_noise", [](Bytes& b) { b.resize(b.size() - 100); }},
      {"GIF image of zero width", "gif89", [](Bytes& b) { Put16(b, pe::GifImageAt(b) + 5, 0); }},
      {"GIF screen of zero height", "gif89", [](Bytes& b) { Put16(b, 8, 0); }},
      {"GIF with a table past the end", "gif_small", [](Bytes& b) { b[10] |= 7; }},
      {"PCX cut in half", "pcx8", half},
      {"PCX header only", "pcx8", cut(128)},
      {"monochrome PCX cut", "pcx1", cut(140)},
      {"PCX not run-length coded", "pcx8", [](Bytes& b) { b[2] = 0; }},
      {"PCX window upside down", "pcx8", [](Bytes& b) { Put16(b, 10, 0), Put16(b, 6, 5); }},
      {"PCX of three planes", "pcx8", [](Bytes& b) { b[65] = 3; }},
      {"PCX lines shorter than the width", "pcx8", [](Bytes& b) { Put16(b, 66, 36); }},
      {"PCX lines of no bytes", "pcx1", [](Bytes& b) { Put16(b, 66, 0); }},
      {"monochrome PCX of two planes", "pcx1", [](Bytes& b) { b[65] = 2; }},
      {"icon directory cut", "ico_multi", cut(30)},
      {"icon image cut", "ico48", last_byte},
      {"icon entry past the end", "ico48", [](Bytes& b) { Put32(b, 18, 0xFFFFFFF0u); }},
      {"icon entry of no bytes", "ico48", [](Bytes& b) { Put32(b, 14, 0); }},
      {"icon entry size past the end", "ico48", [](Bytes& b) { Put32(b, 14, 0x7FFFFFFF); }},
      {"icon with more entries than stored", "ico48", [](Bytes& b) { Put16(b, 4, 0xFFFF); }},
      {"icon image of zero height", "ico48", [](Bytes& b) { Put32(b, 22 + 8, 1); }},
      {"icon image of 3 bits", "ico48", [](Bytes& b) { Put16(b, 22 + 14, 3); }},
      {"icon image with a huge header", "ico48", [](Bytes& b) { Put32(b, 22, 0x10000); }},
      {"icon image too wide for its bytes", "ico48", [](Bytes& b) { Put32(b, 22 + 4, 200); }},
      {"cursor image cut", "cur32", half},
  };
  for (const Case& c : cases) {
    const TestPicture& p = FindPicture(c.name);
    ASSERT_TRUE(p.data) << c.name;
    ASSERT_TRUE(Accepted(p.bytes())) << c.what << ": the undamaged file";
    Bytes b = p.bytes();
    c.damage(b);
    EXPECT_FALSE(Accepted(b)) << c.what;
  }
}

TEST(PictureDamage, HugeSizesAreRefused) {
  struct Case {
    const char* what;
    const char* name;
    std::function<void(Bytes&)> enlarge;
  };
  const Case cases[] = {
      {"BMP 100000 wide", "bmp24", [](Bytes& b) { Put32(b, 18, 100000); }},
      {"BMP whose pixel count overflows", "bmp24", [](Bytes& b) { Put32(b, 18, 0x10000), Put32(b, 22, 0x10000); }},
      {"BMP 65536 × 65536 upside down", "bmp8", [](Bytes& b) { Put32(b, 18, 0x10000), Put32(b, 22, 0xFFFF0000u); }},
      {"GIF screen 65535 × 65535", "gif89", [](Bytes& b) { Put16(b, 6, 0xFFFF), Put16(b, 8, 0xFFFF); }},
      {"GIF image 65535 × 65535", "gif89", [](Bytes& b) {
         Put16(b, pe::GifImageAt(b) + 5, 0xFFFF), Put16(b, pe::GifImageAt(b) + 7, 0xFFFF);
       }},
      {"PCX 65536 × 65536", "pcx8", [](Bytes& b) { Put16(b, 8, 0xFFFF), Put16(b, 10, 0xFFFF), Put16(b, 66, 0xFFFF); }},
      {"JPEG 60000 × 60000", "jpeg_rgb", [](Bytes& b) {
         for (size_t i = 0; i + 9 < b.size(); ++i)
           if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 5] = b[i + 7] = 0xEA, b[i + 6] = b[i + 8] = 0x60;
       }},
      {"PNG 100000 × 100000", "png_rgb", [](Bytes& b) {
         Bytes size = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0};
         std::copy(size.begin(), size.end(), b.begin() + 16);
         const uint32_t crc = pe::PngCrc(b.data() + 12, 17);
         Bytes crc_bytes = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)};
         std::copy(crc_bytes.begin(), crc_bytes.end(), b.begin() + 29);
       }},
  };
  for (const Case& c : cases) {
    Bytes b = FindPicture(c.name).bytes();
    c.enlarge(b);
    EXPECT_FALSE(Accepted(b)) << c.what;
  }
}

// Every beginning of every picture: nothing read outside it (the native
// sanitizer build checks that), and a cut file never passes for whole
// unless only bytes after the image were cut.
TEST(PictureDamage, EveryPrefixIsSafe) {
  for (size_t i = 0; i < kTestPictureCount; ++i) {
    const TestPicture& p = kTestPictures[i];
    const size_t step = p.size > 4000 ? p.size / 997 : 1;
    for (size_t n = 0; n < p.size; n += step) {
      // An exact-size copy, so that a read past it is a read past the heap block.
      std::unique_ptr<uint8_t[]> copy(new uint8_t[n + 1]);
      std::copy_n(p.data, n, copy.get());
      const ByteRun run(copy.get(), n);
      DecodedPicture d;
      if (DecodePixels(run, &d)) {
        ASSERT_EQ(d.width, p.width) << p.name << " cut to " << n;
        ASSERT_GT(n, p.size / 2) << p.name << " cut to " << n;
      }
      IconImage image;
      ChooseIconImage(run, &image);
    }
  }
}

}  // namespace
