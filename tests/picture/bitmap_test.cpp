// Pictures to bitmaps under Wine: code 1003 and its loader, with the bitmaps'
// pixels read back through GetDIBits.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "picture/alpha.h"
#include "picture/picture_loader.h"
#include "platform/wide_text.h"
#include "runtime/notify.h"
#include "tests/picture/picture_edits.h"
#include "tests/picture/test_pictures.h"

namespace {

namespace pe = picture_edits;
using Bytes = pe::Bytes;
using Rgb = std::array<int, 3>;

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

// A bitmap's pixels as 32-bit rows top-down.
struct Readback {
  int32_t width = 0;
  int32_t height = 0;
  int bits_per_pixel = 0;
  std::vector<uint8_t> bgra;

  Rgb at(int32_t x, int32_t y) const {
    const uint8_t* p = bgra.data() + 4 * (static_cast<size_t>(y) * width + x);
    return {p[2], p[1], p[0]};
  }
};

Readback Read(HBITMAP bitmap) {
  Readback r;
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return r;
  r.width = bm.bmWidth;
  r.height = bm.bmHeight;
  r.bits_per_pixel = bm.bmBitsPixel;
  r.bgra.resize(static_cast<size_t>(r.width) * r.height * 4);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = r.width;
  info.bmiHeader.biHeight = -r.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ScreenDc screen;
  if (GetDIBits(screen.dc, bitmap, 0, static_cast<UINT>(r.height), r.bgra.data(), &info, DIB_RGB_COLORS) != r.height)
    r.width = r.height = 0;
  return r;
}

// Code 1003's answer for `bytes`, read back and deleted.
Readback Load(const Bytes& bytes) {
  const int32_t handle = PictureToBitmap(bytes.data(), static_cast<int32_t>(bytes.size()));
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
  Readback r = Read(bitmap);
  if (bitmap) {
    EXPECT_TRUE(DeleteObject(bitmap));
  }
  return r;
}

// ImageMagick's pixel laid over white as the loader lays PNG alpha.
Rgb OnWhite(const TestPicture& p, int32_t x, int32_t y) {
  const uint8_t* c = p.expected(x, y);
  return {alpha::Flatten(c[0], c[3], 255), alpha::Flatten(c[1], c[3], 255), alpha::Flatten(c[2], c[3], 255)};
}

void ExpectPicture(const Readback& r, const TestPicture& p, bool flatten, int tolerance) {
  ASSERT_EQ(r.width, p.width) << p.name;
  ASSERT_EQ(r.height, p.height) << p.name;
  int reported = 0;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint8_t* raw = p.expected(x, y);
      const Rgb want = flatten ? OnWhite(p, x, y) : Rgb{raw[0], raw[1], raw[2]};
      const Rgb got = r.at(x, y);
      for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - want[c]) > tolerance && reported++ < 5)
          ADD_FAILURE() << p.name << " (" << x << ", " << y << ") channel " << c << ": " << got[c] << " instead of "
                        << want[c];
    }
}

TEST(PictureToBitmap, EveryFormatAsImageMagickReadsIt) {
  struct Case {
    const char* name;
    bool flatten;  // transparency laid over white
    int tolerance;
  };
  const Case cases[] = {
      // Opaque PNGs come out pixel-identical.
      {"png_rgb", false, 0}, {"png_palette", false, 0}, {"png_grey", false, 0}, {"info16", false, 0},
      {"png_rgba", true, 0}, {"png_rgba16", true, 0}, {"png_interlaced", true, 0},
      {"jpeg_rgb", false, 1}, {"jpeg_420", false, 1}, {"jpeg_grey", false, 1}, {"jpeg_progressive", false, 1},
      {"bmp1", false, 0}, {"bmp4", false, 0}, {"bmp8", false, 0}, {"bmp8_v5", false, 0},
      {"bmp24", false, 0}, {"bmp32", false, 0},
      {"gif89", false, 0}, {"gif87", false, 0}, {"gif_interlaced", false, 0}, {"gif_small", false, 0},
      {"gif_noise", false, 0}, {"gif_animated", false, 0},
      {"pcx8", false, 0}, {"pcx1", false, 0},
      // Icon alpha is 0 or 255 only: DrawIconEx's blending is then exact.
      {"ico48", true, 0}, {"ico_multi", true, 0}, {"cur32", true, 0},
  };
  for (const Case& c : cases) {
    const TestPicture& p = FindPicture(c.name);
    ASSERT_TRUE(p.data) << c.name;
    ExpectPicture(Load(p.bytes()), p, c.flatten, c.tolerance);
  }
}

TEST(PictureToBitmap, HalfTransparentBlackOnWhiteIs126) {
  // Pixels: black at alpha 128, black at alpha 0, white at alpha 128, opaque.
  const Readback r = Load(FindPicture("png_alpha_edge").bytes());
  ASSERT_EQ(r.width, 4);
  EXPECT_EQ(r.at(0, 0), (Rgb{126, 126, 126}));
  EXPECT_EQ(r.at(1, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(r.at(2, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(r.at(3, 0), (Rgb{10, 20, 30}));
}

TEST(PictureToBitmap, NegativeHeightBmpComesOutTheRightWayUp) {
  const TestPicture& p = FindPicture("bmp24");
  const Readback r = Load(pe::TopDownBmp(p.bytes()));
  ASSERT_EQ(r.height, p.height);
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint8_t* want = p.expected(x, y);
      ASSERT_EQ(r.at(x, y), (Rgb{want[0], want[1], want[2]})) << x << ", " << y;
    }
}

TEST(PictureToBitmap, NothingForUnusableBytes) {
  const Bytes jpeg_start = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J'};
  EXPECT_EQ(PictureToBitmap(jpeg_start.data(), 7), 0);
  EXPECT_EQ(PictureToBitmap(nullptr, 100), 0);
  const Bytes png = FindPicture("png_rgb").bytes();
  EXPECT_EQ(PictureToBitmap(png.data(), 0), 0);
  EXPECT_EQ(PictureToBitmap(png.data(), -5), 0);
  const Bytes text(100, 'x');
  EXPECT_EQ(PictureToBitmap(text.data(), 100), 0);
  for (const char* name : {"bmp_rle8", "jpeg_cmyk"}) {
    const Bytes b = FindPicture(name).bytes();
    EXPECT_EQ(PictureToBitmap(b.data(), static_cast<int32_t>(b.size())), 0) << name;
  }
  // Each format cut in half.
  for (const char* name : {"png_rgba", "jpeg_rgb", "bmp24", "gif89", "ico48", "cur32", "pcx8", "pcx1"}) {
    const Bytes b = FindPicture(name).bytes();
    EXPECT_EQ(PictureToBitmap(b.data(), static_cast<int32_t>(b.size() / 2)), 0) << name;
  }
}

TEST(PictureToBitmap, IconOf48PixelsWithNoColourCount) {
  const Bytes ico = FindPicture("ico48").bytes();
  ASSERT_EQ(ico[6], 48);  // the only entry's width, and its colour count 0
  ASSERT_EQ(ico[8], 0);
  const Readback r = Load(ico);
  ASSERT_EQ(r.width, 48);
  ASSERT_EQ(r.height, 48);
  // Transparent around the disc, opaque on it.
  for (auto [x, y] : {std::pair{0, 0}, {47, 0}, {0, 47}, {47, 47}, {0, 24}})
    EXPECT_EQ(r.at(x, y), (Rgb{255, 255, 255})) << x << ", " << y;
  EXPECT_EQ(r.at(24, 40), (Rgb{30, 90, 200}));
  EXPECT_EQ(r.at(14, 14), (Rgb{250, 220, 20}));
}

TEST(PictureToBitmap, IconWithPngImage) {
  const Bytes png = FindPicture("png_rgb").bytes();
  Bytes ico = {0, 0, 1, 0, 1, 0, 37, 23, 0, 0, 1, 0, 32, 0};
  pe::Append32(ico, static_cast<uint32_t>(png.size()));
  pe::Append32(ico, 22);
  ico.insert(ico.end(), png.begin(), png.end());
  // Made at the PNG's own size. (Wine's PNG icons mix up their colour
  // order, so the pixels are left to the bitmap-image icons above.)
  const Readback r = Load(ico);
  EXPECT_EQ(r.width, 37);
  EXPECT_EQ(r.height, 23);
}

TEST(PictureToBitmap, GifImageOnItsLogicalScreen) {
  const TestPicture& p = FindPicture("gif89");
  Bytes b = p.bytes();
  const size_t image = pe::GifImageAt(b);
  Put16(b, 6, 50);
  Put16(b, 8, 30);
  Put16(b, image + 1, 7);
  Put16(b, image + 3, 4);
  const Readback r = Load(b);
  ASSERT_EQ(r.width, 50);
  ASSERT_EQ(r.height, 30);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 50; ++x) {
      const bool inside = x >= 7 && x < 7 + p.width && y >= 4 && y < 4 + p.height;
      const uint8_t* c = inside ? p.expected(x - 7, y - 4) : nullptr;
      const Rgb want = inside ? Rgb{c[0], c[1], c[2]} : Rgb{255, 255, 255};
      ASSERT_EQ(r.at(x, y), want) << x << ", " << y;
    }
}

TEST(PictureToBitmap, MonochromePcxIsAMonochromeBitmap) {
  const Readback r = Load(FindPicture("pcx1").bytes());
  EXPECT_EQ(r.bits_per_pixel, 1);
  ExpectPicture(r, FindPicture("pcx1"), false, 0);
}

TEST(PictureToBitmap, ThroughNotifyRuntime) {
  const Bytes b = FindPicture("gif89").bytes();
  const int32_t handle =
      NotifyRuntime(NR_PICTURE_TO_BITMAP, static_cast<int32_t>(reinterpret_cast<uintptr_t>(b.data())),
                    static_cast<int32_t>(b.size()));
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
  ExpectPicture(Read(bitmap), FindPicture("gif89"), false, 0);
  DeleteObject(bitmap);
  EXPECT_EQ(NotifyRuntime(NR_PICTURE_TO_BITMAP, static_cast<int32_t>(reinterpret_cast<uintptr_t>(b.data())), 7), 0);
}

TEST(PictureRender, PremultipliedAlpha) {
  ScreenDc screen;
  const Bytes edge = FindPicture("png_alpha_edge").bytes();
  const auto picture = LoadPicture(edge.data(), static_cast<int32_t>(edge.size()));
  ASSERT_TRUE(picture);
  bool transparent = false;
  HBITMAP bitmap = RenderPicture(screen.dc, *picture, kWhite, true, &transparent);
  EXPECT_TRUE(transparent);
  const Readback r = Read(bitmap);
  DeleteObject(bitmap);
  ASSERT_EQ(r.width, 4);
  EXPECT_EQ(r.at(0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(r.at(1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(r.at(2, 0), (Rgb{128, 128, 128}));
  EXPECT_EQ(r.at(3, 0), (Rgb{10, 20, 30}));
  EXPECT_EQ(r.bgra[4 * 2 + 3], 128);  // the alpha byte stays

  const Bytes opaque = FindPicture("png_rgb").bytes();
  const auto solid = LoadPicture(opaque.data(), static_cast<int32_t>(opaque.size()));
  ASSERT_TRUE(solid);
  transparent = true;
  bitmap = RenderPicture(screen.dc, *solid, kWhite, true, &transparent);
  EXPECT_TRUE(bitmap);
  EXPECT_FALSE(transparent);
  DeleteObject(bitmap);
}

TEST(PictureRender, TransparencyOverAnotherBackground) {
  ScreenDc screen;
  const COLORREF blue = RGB(0, 0, 255);
  struct Case {
    const char* name;
    int32_t x, y;
    Rgb want;
  };
  const Case cases[] = {
      {"png_alpha_edge", 0, 0, {0, 0, 126}},  // half-transparent black over blue
      {"png_alpha_edge", 1, 0, {0, 0, 255}},
      {"ico48", 0, 0, {0, 0, 255}},
  };
  for (const Case& c : cases) {
    const Bytes b = FindPicture(c.name).bytes();
    const auto picture = LoadPicture(b.data(), static_cast<int32_t>(b.size()));
    ASSERT_TRUE(picture) << c.name;
    HBITMAP bitmap = RenderPicture(screen.dc, *picture, blue, false);
    EXPECT_EQ(Read(bitmap).at(c.x, c.y), c.want) << c.name;
    DeleteObject(bitmap);
  }
}

class PictureFile : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, dir), 0u);
    path_ = std::wstring(dir) + L"\u56fe\u7247 " + std::to_wstring(GetCurrentProcessId()) + L".png";  // 图片
    const Bytes b = FindPicture("png_rgb").bytes();
    HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &written, nullptr);
    CloseHandle(f);
    ASSERT_EQ(written, b.size());
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  std::wstring path_;
};

TEST_F(PictureFile, LoadsFromAGbkPath) {
  const std::string gbk = WideToGbk(path_.c_str());
  ASSERT_NE(gbk.find("\xCD\xBC\xC6\xAC"), std::string::npos);  // 图片 in GBK
  const auto picture = LoadPictureFile(gbk.c_str());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->decoded.kind, PictureKind::kPng);
  EXPECT_EQ(picture->decoded.width, 37);
  EXPECT_EQ(picture->decoded.height, 23);
}

TEST_F(PictureFile, NothingWithoutAFile) {
  EXPECT_FALSE(LoadPictureFile(nullptr));
  EXPECT_FALSE(LoadPictureFile(""));
  EXPECT_FALSE(LoadPictureFile((WideToGbk(path_.c_str()) + ".missing").c_str()));
}

TEST_F(PictureFile, NotWhileSomeoneWritesIt) {
  // The loader denies writes to others, so it cannot share a file that is
  // open for writing.
  HANDLE writer = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(LoadPictureFile(WideToGbk(path_.c_str()).c_str()));
  CloseHandle(writer);
  EXPECT_TRUE(LoadPictureFile(WideToGbk(path_.c_str()).c_str()));
}

}  // namespace

// The runtime linked for NotifyRuntime brings its start-up, which names the
// application's entry routine; these tests have none.
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }
