// Decoded pictures to bitmaps compatible with a device context.
#include <cstring>
#include <memory>
#include <new>

#include "picture/alpha.h"
#include "picture/picture_formats.h"
#include "picture/picture_loader.h"
#include "platform/gdi_handle.h"

namespace {

BITMAPINFOHEADER Header(int32_t width, int32_t height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  return h;
}

HBITMAP FromDib(HDC dc, const BITMAPINFO* info, const void* bits) {
  return CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
}

// A compatible bitmap filled with the background, with `draw` painting on it.
template <typename Draw>
HBITMAP Compose(HDC dc, int32_t width, int32_t height, COLORREF background, Draw draw) {
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  if (!bitmap) return nullptr;
  bool drawn;
  {
    MemoryDc target(dc, bitmap);
    drawn = target.ok();
    if (drawn) {
      FillSolid(target.get(), RECT{0, 0, width, height}, background);
      drawn = draw(target.get());
    }
  }
  if (drawn) return bitmap;
  DeleteObject(bitmap);
  return nullptr;
}

HBITMAP IconBitmap(HDC dc, const LoadedPicture& picture, COLORREF background) {
  const DecodedPicture& d = picture.decoded;
  return Compose(dc, d.width, d.height, background, [&](HDC target) {
    return DrawIconEx(target, 0, 0, picture.icon, 0, 0, 0, nullptr, DI_NORMAL) != FALSE;
  });
}

// B, G, R, A rows top-down: laid over the background, or premultiplied.
HBITMAP AlphaBitmap(HDC dc, const DecodedPicture& d, COLORREF background, bool premultiply, bool* transparent) {
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[d.pixels.size()]);
  if (!pixels) return nullptr;
  std::memcpy(pixels.get(), d.pixels.data(), d.pixels.size());
  const uint8_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  bool any_transparent = false;
  for (size_t i = 0; i + 4 <= d.pixels.size(); i += 4) {
    uint8_t* p = pixels.get() + i;
    const uint8_t a = p[3];
    if (a == 255) continue;
    any_transparent = true;
    for (int c = 0; c < 3; ++c) p[c] = premultiply ? alpha::Premultiply(p[c], a) : alpha::Flatten(p[c], a, bg[c]);
  }
  if (premultiply && transparent) *transparent = any_transparent;
  BITMAPINFO info{};
  info.bmiHeader = Header(d.width, -d.height, 32);
  return FromDib(dc, &info, pixels.get());
}

// B, G, R rows bottom-up, padded here to whole words.
HBITMAP RgbBitmap(HDC dc, const DecodedPicture& d) {
  const size_t row = static_cast<size_t>(d.width) * 3;
  const size_t stride = (row + 3) & ~size_t{3};
  std::unique_ptr<uint8_t[]> padded(new (std::nothrow) uint8_t[stride * static_cast<size_t>(d.height)]());
  if (!padded) return nullptr;
  for (int32_t y = 0; y < d.height; ++y) std::memcpy(padded.get() + stride * y, d.pixels.data() + row * y, row);
  BITMAPINFO info{};
  info.bmiHeader = Header(d.width, d.height, 24);
  return FromDib(dc, &info, padded.get());
}

const BITMAPINFO* PackedInfo(const DecodedPicture& d) { return reinterpret_cast<const BITMAPINFO*>(d.pixels.data()); }
const void* PackedBits(const DecodedPicture& d) { return d.pixels.data() + kPackedBitsOffset; }

// The packed image on a picture of the background colour, at its place
// there; an image that is the whole picture is the bitmap itself.
HBITMAP PackedBitmap(HDC dc, const DecodedPicture& d, COLORREF background) {
  HBITMAP image = FromDib(dc, PackedInfo(d), PackedBits(d));
  if (!image) return nullptr;
  if (d.image_left == 0 && d.image_top == 0 && d.image_width == d.width && d.image_height == d.height) return image;
  HBITMAP bitmap = Compose(dc, d.width, d.height, background, [&](HDC target) {
    MemoryDc source(dc, image);
    return source.ok() &&
           BitBlt(target, d.image_left, d.image_top, d.image_width, d.image_height, source.get(), 0, 0, SRCCOPY);
  });
  DeleteObject(image);
  return bitmap;
}

}  // namespace

HBITMAP RenderPicture(HDC dc, const LoadedPicture& picture, COLORREF background, bool premultiply,
                      bool* transparent) {
  if (transparent) *transparent = false;
  const DecodedPicture& d = picture.decoded;
  if (d.width <= 0 || d.height <= 0) return nullptr;
  switch (LayoutOf(d.kind)) {
    case PixelLayout::kNone:
      return picture.icon ? IconBitmap(dc, picture, background) : nullptr;
    case PixelLayout::kBgra32TopDown:
      return AlphaBitmap(dc, d, background, premultiply, transparent);
    case PixelLayout::kBgr24BottomUp:
      return RgbBitmap(dc, d);
    case PixelLayout::kPacked8:
      return PackedBitmap(dc, d, background);
    case PixelLayout::kMono1TopDown:
      return CreateBitmap(d.width, d.height, 1, 1, d.pixels.data());
  }
  return nullptr;
}
