// The picture decoder behind notification code 1003. The runtime decodes no
// pictures itself: a program that shows them puts its decoder here at start.
#pragma once
#include <cstdint>

// Picture bytes to a bitmap handle, or 0 when they cannot be read.
using PictureDecoder = int32_t (*)(const void* data, int32_t size);

void SetPictureDecoder(PictureDecoder decoder);
// The decoder's answer; 0 while the program has set none.
int32_t DecodePicture(const void* data, int32_t size);
