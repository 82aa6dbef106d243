// Pictures for the components: picture bytes or a picture file decoded, and a
// decoded picture turned into a screen-compatible bitmap. Code 1003 of
// NotifyRuntime is PictureToBitmap, through the runtime's decoder slot.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "picture/decoded_picture.h"

// A decoded picture. Icons and cursors hold the system icon made from them
// (both become icons).
struct LoadedPicture {
  DecodedPicture decoded;
  HICON icon = nullptr;

  LoadedPicture() = default;
  LoadedPicture(const LoadedPicture&) = delete;
  LoadedPicture& operator=(const LoadedPicture&) = delete;
  ~LoadedPicture() {
    if (icon) DestroyIcon(icon);
  }
};

// Null for empty or unusable data; never shows a message.
std::unique_ptr<LoadedPicture> LoadPicture(const void* data, int32_t size);
// A GBK path, opened read-only with writes denied to others. Null for an
// empty path, a file that cannot be opened or read, or unusable contents.
std::unique_ptr<LoadedPicture> LoadPictureFile(const char* path);

// Picture bytes as a bitmap on a white background: the decoder of code 1003.
// Answers the bitmap handle, or 0.
int32_t PictureToBitmap(const void* data, int32_t size);

// The picture as a bitmap compatible with `dc`, transparency laid over
// `background`. With `premultiply` PNG colours are instead multiplied by
// their alpha and `transparent` (when given) tells whether any pixel is not
// opaque. Null when the bitmap cannot be made.
HBITMAP RenderPicture(HDC dc, const LoadedPicture& picture, COLORREF background, bool premultiply,
                      bool* transparent = nullptr);
