// Stands in for the picture decoder (notification code 1003) in these
// tests: uncompressed 24-bit BMP files, which the tests build themselves,
// become bitmaps. Anything else answers "no bitmap", as the decoder does
// with data it cannot read. OpenSuperWindow puts it into the runtime's slot.
#include <windows.h>

#include <cstring>

#include "tests/super/super_support.h"

int32_t BmpPictureToBitmap(const void* data, int32_t size) {
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  if (!data || size < static_cast<int32_t>(sizeof file + sizeof info)) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::memcpy(&file, bytes, sizeof file);
  std::memcpy(&info, bytes + sizeof file, sizeof info);
  if (file.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB || info.biWidth <= 0 ||
      info.biWidth > 4096 || info.biHeight == 0 || info.biHeight > 4096 || info.biHeight < -4096)
    return 0;
  int width = info.biWidth, height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
  int stride = (width * 3 + 3) & ~3;
  if (file.bfOffBits + static_cast<int64_t>(stride) * height > size) return 0;
  BITMAPINFO out = {};
  out.bmiHeader.biSize = sizeof out.bmiHeader;
  out.bmiHeader.biWidth = width;
  out.bmiHeader.biHeight = -height;
  out.bmiHeader.biPlanes = 1;
  out.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return 0;
  for (int y = 0; y < height; ++y) {
    int source_row = info.biHeight > 0 ? height - 1 - y : y;
    const uint8_t* row = bytes + file.bfOffBits + static_cast<size_t>(source_row) * stride;
    auto* target = static_cast<uint32_t*>(bits) + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) target[x] = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
  }
  return static_cast<int32_t>(reinterpret_cast<uintptr_t>(bitmap));
}
