// The super button and transparent label tests, or with --show NAME one
// scene held up for a screenshot.
#include <gtest/gtest.h>

#include <string>

#include "runtime/picture_decoder.h"
#include "tests/super/super_support.h"

int ShowScene(const std::string& name, int seconds);

int main(int argc, char** argv) {
  SetPictureDecoder(BmpPictureToBitmap);
  if (argc >= 3 && std::string(argv[1]) == "--show") return ShowScene(argv[2], argc >= 4 ? std::stoi(argv[3]) : 10);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The runtime is linked without an application; these stand in.
#include "runtime/abi/app_header.h"
extern "C" const ApplicationHeader application_header = {};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }
