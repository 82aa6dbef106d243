# The sanitizer and fuzz build of the platform-free modules (tests/native),
# built with the host's clang as part of this build. Its tests run on the
# host, not under Wine, and are listed in this build's ctest run.
include(ExternalProject)

set(qelmo_native_build ${CMAKE_BINARY_DIR}/native)
ExternalProject_Add(qelmo_native
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tests/native
  BINARY_DIR ${qelmo_native_build}
  CMAKE_ARGS -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)  # its own ninja decides what is out of date

# ctest reads the native build's test list when it starts; a build that did
# not get that far shows up as a failing test instead of missing ones.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/native_tests.cmake
  "if(EXISTS \"${qelmo_native_build}/CTestTestfile.cmake\")\n"
  "  include(\"${qelmo_native_build}/CTestTestfile.cmake\")\n"
  "else()\n"
  "  add_test(native_build_missing \"${CMAKE_COMMAND}\" -E false)\n"
  "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/native_tests.cmake)
