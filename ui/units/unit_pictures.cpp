#include "ui/units/unit_pictures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pointer_word.h"
#include "runtime/notify.h"
#include "runtime/value/byte_reader.h"
#include "ui/display_scale.h"

namespace controls {

bool IsIconFile(const uint8_t* data, size_t size) {
  if (!data || size < 8) return false;
  uint16_t reserved = static_cast<uint16_t>(data[0] | data[1] << 8);
  uint16_t type = static_cast<uint16_t>(data[2] | data[3] << 8);
  uint16_t count = static_cast<uint16_t>(data[4] | data[5] << 8);
  return reserved == 0 && (type == 1 || type == 2) && count > 0;
}

HICON IconFromFile(const uint8_t* data, size_t size) {
  if (!IsIconFile(data, size)) return nullptr;
  ByteReader reader(data, size);
  reader.Skip(4);
  uint16_t count = reader.Half();
  ByteRun chosen;
  for (uint16_t i = 0; i < count; ++i) {
    ByteRun entry = reader.Bytes(16);
    if (entry.empty()) return nullptr;
    chosen = entry;
    if (entry[2] > 15 && entry[0] == 32) break;
  }
  ByteReader fields(chosen);
  fields.Skip(8);
  uint32_t image_size = fields.Word();
  uint32_t offset = fields.Word();
  if (offset > size || image_size > size - offset || image_size < sizeof(BITMAPINFOHEADER)) return nullptr;
  // The image header gives the real size; its height covers image and mask.
  const uint8_t* image = data + offset;
  BITMAPINFOHEADER header;
  std::memcpy(&header, image, sizeof header);
  int width = header.biWidth, height = header.biHeight / 2;
  // Cursor images are icons too: the file's hot spot is not part of the image.
  HICON icon = CreateIconFromResourceEx(const_cast<uint8_t*>(image), image_size, TRUE, 0x00030000, width, height,
                                        LR_DEFAULTCOLOR);
  if (!icon && header.biBitCount != 16)
    icon = CreateIconFromResourceEx(const_cast<uint8_t*>(image), image_size, TRUE, 0x00030000, 0, 0,
                                    LR_DEFAULTCOLOR | LR_DEFAULTSIZE);
  return icon;
}

HBITMAP BitmapFromPicture(const std::vector<uint8_t>& picture) {
  if (picture.empty()) return nullptr;
  int32_t handle = NotifyRuntime(NR_PICTURE_TO_BITMAP, static_cast<int32_t>(PointerWord(picture.data())),
                                 static_cast<int32_t>(picture.size()));
  return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
}

bool NearestPngImage(const std::vector<uint8_t>& icon_file, int dpi, std::vector<uint8_t>* png, int* template_size) {
  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!IsIconFile(icon_file.data(), icon_file.size()) || icon_file[2] != 1) return false;
  ByteReader reader(icon_file.data(), icon_file.size());
  reader.Skip(4);
  uint16_t count = reader.Half();
  struct Image {
    int size;
    uint32_t bytes, offset;
  };
  std::vector<Image> images;
  for (uint16_t i = 0; i < count; ++i) {
    ByteRun entry = reader.Bytes(16);
    if (entry.empty()) return false;
    ByteReader fields(entry);
    fields.Skip(8);
    Image image{entry[0] ? entry[0] : 256, fields.Word(), fields.Word()};
    if (image.offset > icon_file.size() || image.bytes > icon_file.size() - image.offset || image.bytes < 8 ||
        std::memcmp(icon_file.data() + image.offset, kPngSignature, 8) != 0)
      return false;
    images.push_back(image);
  }
  if (images.empty()) return false;
  int smallest = images[0].size;
  for (const Image& image : images) smallest = std::min(smallest, image.size);
  int wanted = display::ToPixels(smallest, dpi);
  const Image* nearest = &images[0];
  for (const Image& image : images)
    if (std::abs(image.size - wanted) < std::abs(nearest->size - wanted)) nearest = &image;
  png->assign(icon_file.begin() + nearest->offset, icon_file.begin() + nearest->offset + nearest->bytes);
  *template_size = smallest;
  return true;
}

namespace {

// A bitmap's pixels as 32-bit BGRX words, top row first.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>* pixels) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  pixels->assign(static_cast<size_t>(width) * height, 0);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, height, pixels->data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == height;
}

// How much of source cell `i` (of `from` cells) lies under destination cell
// `j` (of `to`), both spanning the same length.
double Overlap(int i, int j, int from, int to) {
  double start = std::max(static_cast<double>(i) / from, static_cast<double>(j) / to);
  double end = std::min(static_cast<double>(i + 1) / from, static_cast<double>(j + 1) / to);
  return end > start ? (end - start) * from : 0.0;
}

}  // namespace

HBITMAP ScaledBitmap(HBITMAP source, int width, int height) {
  BITMAP info = {};
  if (!source || width <= 0 || height <= 0 || !GetObjectW(source, sizeof info, &info)) return nullptr;
  int from_width = info.bmWidth, from_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  std::vector<uint32_t> from;
  if (from_width <= 0 || from_height <= 0 || !ReadPixels(source, from_width, from_height, &from)) return nullptr;
  BITMAPINFO target_info = {};
  target_info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(nullptr, &target_info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!target || !bits) return target;
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    int first_row = y * from_height / height;
    int last_row = std::min(from_height - 1, ((y + 1) * from_height - 1) / height);
    for (int x = 0; x < width; ++x) {
      int first_column = x * from_width / width;
      int last_column = std::min(from_width - 1, ((x + 1) * from_width - 1) / width);
      double sum[3] = {}, weight = 0;
      for (int sy = first_row; sy <= last_row; ++sy) {
        double wy = Overlap(sy, y, from_height, height);
        for (int sx = first_column; sx <= last_column; ++sx) {
          double w = wy * Overlap(sx, x, from_width, width);
          uint32_t pixel = from[static_cast<size_t>(sy) * from_width + sx];
          for (int c = 0; c < 3; ++c) sum[c] += w * ((pixel >> (8 * c)) & 0xFF);
          weight += w;
        }
      }
      uint32_t pixel = 0;
      for (int c = 0; c < 3; ++c)
        pixel |= static_cast<uint32_t>(weight > 0 ? sum[c] / weight + 0.5 : 0) << (8 * c);
      out[static_cast<size_t>(y) * width + x] = pixel;
    }
  }
  GdiFlush();
  return target;
}

}  // namespace controls
