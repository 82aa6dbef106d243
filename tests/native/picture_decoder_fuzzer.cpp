// Arbitrary bytes through one decoder of the format table, named by the
// build (QELMO_FUZZ_DECODER).
#include "tests/native/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzDecoder(data, size, QELMO_FUZZ_DECODER);
}
