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

}  // namespace controls
