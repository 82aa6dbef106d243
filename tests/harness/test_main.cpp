// The in-process test programs' main: the tests, or with --scenario NAME
// one scenario of the program's (tests/harness/test_program.h).
#include <gtest/gtest.h>

#include <string>

#include "tests/harness/test_program.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--scenario")
    return kTestProgram.run_scenario ? kTestProgram.run_scenario(argv[2], argc - 3, argv + 3) : 2;
  if (kTestProgram.prepare_tests) kTestProgram.prepare_tests();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
