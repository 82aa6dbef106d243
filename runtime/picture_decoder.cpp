#include "runtime/picture_decoder.h"

namespace {

// Constant-initialised, so a program may fill it from a static initialiser.
constinit PictureDecoder g_picture_decoder = nullptr;

}  // namespace

void SetPictureDecoder(PictureDecoder decoder) { g_picture_decoder = decoder; }

int32_t DecodePicture(const void* data, int32_t size) { return g_picture_decoder ? g_picture_decoder(data, size) : 0; }
