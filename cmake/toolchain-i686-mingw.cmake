# Cross build for 32-bit Windows with the POSIX thread model of mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TARGET_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TARGET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARGET_TRIPLE}-g++-posix)
set(CMAKE_ASM_COMPILER ${TARGET_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER ${TARGET_TRIPLE}-windres)
# libjpeg-turbo's SIMD code, when scripts/setup builds it.
set(CMAKE_ASM_NASM_COMPILER nasm)
# The target's libraries that scripts/setup builds come before mingw's own:
# QELMO_DEPS_PREFIX is set by cmake/deps_prefix.cmake, or by scripts/setup
# when it builds them into that prefix.
set(CMAKE_FIND_ROOT_PATH ${QELMO_DEPS_PREFIX} /usr/${TARGET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest and gtest_discover_tests run the target programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/under_wine.sh)
