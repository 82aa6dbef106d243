// Arbitrary bytes as a PCX of either kind.
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzDecoder(data, size, DecodePcx); }
