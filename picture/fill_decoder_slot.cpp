// Linked into every program that shows pictures (qelmo_picture_link): puts
// the picture loader into the runtime's decoder slot before start-up, so
// that linking it is all a program has to do.
#include "picture/picture_loader.h"
#include "runtime/picture_decoder.h"

namespace {

[[maybe_unused]] const bool kDecoderSlotFilled = (SetPictureDecoder(PictureToBitmap), true);

}  // namespace
