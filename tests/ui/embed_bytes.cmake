# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol -P embed_bytes.cmake
# Writes a file's bytes as a C++ array `NAME` with `NAME_size`, so that a test
# holds generated data without having to find a file at run time (under Wine
# the build tree's paths are not the program's).
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}.\n#include <cstdint>\n"
  "extern const uint8_t ${NAME}[] = {${bytes}0};\n"
  "extern const uint32_t ${NAME}_size = ${size};\n")
