// A unit's pictures: icon and cursor files become icons, other pictures
// bitmaps through the runtime's picture loader.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace controls {

// Icon and cursor files by their header; they become icons, not bitmaps.
bool IsIconFile(const uint8_t* data, size_t size);
// The icon of an icon or cursor file: the first 32-pixel entry with more
// than 15 colours, else the last entry. Null when damaged.
HICON IconFromFile(const uint8_t* data, size_t size);
// Any other picture, through the runtime's picture loader; null when it
// cannot be decoded.
HBITMAP BitmapFromPicture(const std::vector<uint8_t>& picture);
// One picture drawn at several sizes: an icon file whose images are all
// PNGs. Its template size is its smallest image's; `png` gets the image
// nearest to that size at `dpi`, and `template_size` that size. False for
// any other picture.
bool NearestPngImage(const std::vector<uint8_t>& icon_file, int dpi, std::vector<uint8_t>* png, int* template_size);
// A copy of `source` at `width` x `height`, each pixel the area-weighted
// mean of the source pixels it covers: smooth, and the same on every
// system (no stretch mode of the system's). Null when it cannot be made.
HBITMAP ScaledBitmap(HBITMAP source, int width, int height);

}  // namespace controls
