// The window manager's test program: the tests, or with --scenario NAME one
// scenario that a process test watches from outside.
#include <gtest/gtest.h>

#include <string>

int RunWindowScenario(const std::string& name);

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--scenario") return RunWindowScenario(argv[2]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The runtime is linked without an application; these stand in.
#include "runtime/abi/app_header.h"
extern "C" const ApplicationHeader application_header = {};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }
