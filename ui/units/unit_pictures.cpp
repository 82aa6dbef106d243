#include "ui/units/unit_pictures.h"

#include <cstring>

#include "platform/pointer_word.h"
#include "runtime/notify.h"
#include "runtime/value/byte_reader.h"

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

}  // namespace controls
