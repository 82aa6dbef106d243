// Arbitrary bytes as a PNG, through libpng.
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder(data, size, DecodePng); }
