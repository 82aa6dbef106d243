// Arbitrary bytes as an icon or cursor file: the image chosen for the system
// must lie inside the data and carry a usable size.
#include "tests/native/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IconImage image;
  if (!ChooseIconImage(ByteRun(data, size), &image)) return 0;
  const uint8_t* begin = image.bytes.data();
  if (image.bytes.empty() || begin < data || begin + image.bytes.size() > data + size) __builtin_trap();
  if (image.width <= 0 || image.width > 1024 || image.height <= 0 || image.height > 1024) __builtin_trap();
  volatile uint8_t sink = begin[0] ^ begin[image.bytes.size() - 1];
  (void)sink;
  return 0;
}
