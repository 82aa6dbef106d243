// What an in-process test program gives the one test main
// (tests/harness/test_main.cpp): what it sets up before its tests, and the
// scenarios it runs as a program of its own (--scenario NAME [ARGS]), for a
// process test watching it from outside or for a screenshot.
#pragma once
#include <string>

struct TestProgram {
  void (*prepare_tests)();  // may be null
  // Runs scenario `name`, `args` being what follows it on the command line;
  // answers the exit code. May be null.
  int (*run_scenario)(const std::string& name, int arg_count, char** args);
};

extern const TestProgram kTestProgram;
