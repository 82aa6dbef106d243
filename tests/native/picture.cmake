# The picture decoders, natively: their unit tests (shared with the Windows
# build) and one fuzz target per decoder, seeded with the test pictures.
# libpng, libjpeg and zlib are Debian's i386 packages. Everything is built
# with -m32, which CMake's compiler checks did not see: the libraries are
# looked for in the i386 multiarch folder.
block()
  set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
endblock()
include(${QELMO_ROOT}/picture/sources.cmake)
list(TRANSFORM QELMO_PICTURE_DECODER_SOURCES PREPEND ${QELMO_ROOT}/picture/)
add_library(native_picture STATIC ${QELMO_PICTURE_DECODER_SOURCES})
target_link_libraries(native_picture PUBLIC PNG::PNG JPEG::JPEG)

include(${QELMO_ROOT}/tests/picture/pictures.cmake)
qelmo_test_pictures(${CMAKE_CURRENT_BINARY_DIR}/pictures ${QELMO_ROOT})

add_executable(native_picture_tests ${QELMO_ROOT}/tests/picture/decoder_test.cpp ${QELMO_TEST_PICTURES_CPP})
target_link_libraries(native_picture_tests PRIVATE native_picture GTest::gtest_main)
gtest_discover_tests(native_picture_tests TEST_PREFIX native. DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)

# One fuzz target per decoder in the format table (picture/picture_formats.h),
# named and seeded by its format (DecodePng: picture_png_fuzzer, seeded with
# the test pictures png*); and one for the icon chooser, whose icons the
# system makes. 20 seconds each keeps the suite short.
file(STRINGS ${QELMO_ROOT}/picture/picture_formats.h format_rows REGEX "^ *{PictureKind::")
set(decoders)
foreach(row IN LISTS format_rows)
  if(row MATCHES ", (Decode[A-Z][A-Za-z0-9]*), PixelLayout")
    list(APPEND decoders ${CMAKE_MATCH_1})
  endif()
endforeach()
list(REMOVE_DUPLICATES decoders)
if(NOT decoders)
  message(FATAL_ERROR "no decoders found in picture/picture_formats.h")
endif()
block()
  set(QELMO_FUZZ_SECONDS 20)
  foreach(decoder IN LISTS decoders)
    string(REGEX REPLACE "^Decode" "" format ${decoder})
    string(TOLOWER ${format} format)
    set(names ${QELMO_TEST_PICTURE_NAMES})
    list(FILTER names INCLUDE REGEX "^${format}")
    qelmo_test_picture_files(seeds ${names})
    qelmo_fuzz_target(picture_${format}_fuzzer SOURCES picture_decoder_fuzzer.cpp SEEDS ${seeds})
    target_compile_definitions(picture_${format}_fuzzer PRIVATE QELMO_FUZZ_DECODER=${decoder})
    target_link_libraries(picture_${format}_fuzzer PRIVATE native_picture)
  endforeach()
  qelmo_test_picture_files(icon_seeds ico48.ico ico_multi.ico cur32.cur)
  qelmo_fuzz_target(picture_icon_fuzzer SOURCES picture_icon_fuzzer.cpp SEEDS ${icon_seeds})
  target_link_libraries(picture_icon_fuzzer PRIVATE native_picture)
endblock()
