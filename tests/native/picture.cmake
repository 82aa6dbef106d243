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
add_library(native_picture STATIC
  ${QELMO_ROOT}/picture/picture_kind.cpp ${QELMO_ROOT}/picture/bmp_decoder.cpp
  ${QELMO_ROOT}/picture/gif_decoder.cpp ${QELMO_ROOT}/picture/pcx_decoder.cpp
  ${QELMO_ROOT}/picture/icon_directory.cpp ${QELMO_ROOT}/picture/png_decoder.cpp
  ${QELMO_ROOT}/picture/jpeg_decoder.cpp)
target_include_directories(native_picture PUBLIC ${QELMO_ROOT}/picture ${QELMO_ROOT}/runtime)
target_link_libraries(native_picture PUBLIC PNG::PNG JPEG::JPEG)

include(${QELMO_ROOT}/tests/picture/pictures.cmake)
qelmo_test_pictures(${CMAKE_CURRENT_BINARY_DIR}/pictures ${QELMO_ROOT})

add_executable(native_picture_tests ${QELMO_ROOT}/tests/picture/decoder_test.cpp ${QELMO_TEST_PICTURES_CPP})
target_include_directories(native_picture_tests PRIVATE ${QELMO_ROOT}/tests/picture)
target_link_libraries(native_picture_tests PRIVATE native_picture GTest::gtest_main)
gtest_discover_tests(native_picture_tests TEST_PREFIX native. DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)

qelmo_test_picture_files(png_seeds png_rgba.png png_palette.png png_grey.png png_rgba16.png png_interlaced.png
  png_alpha_edge.png info16.png)
qelmo_test_picture_files(jpeg_seeds jpeg_rgb.jpg jpeg_420.jpg jpeg_grey.jpg jpeg_progressive.jpg jpeg_cmyk.jpg)
qelmo_test_picture_files(bmp_seeds bmp1.bmp bmp4.bmp bmp8.bmp bmp8_v5.bmp bmp_rle8.bmp bmp24.bmp bmp32.bmp)
qelmo_test_picture_files(gif_seeds gif89.gif gif87.gif gif_interlaced.gif gif_small.gif gif_animated.gif)
qelmo_test_picture_files(icon_seeds ico48.ico ico_multi.ico cur32.cur)
qelmo_test_picture_files(pcx_seeds pcx8.pcx pcx1.pcx)

# Six targets: 20 seconds each keeps the suite short.
block()
  set(QELMO_FUZZ_SECONDS 20)
  qelmo_fuzz_target(picture_png_fuzzer SOURCES picture_png_fuzzer.cpp SEEDS ${png_seeds})
  qelmo_fuzz_target(picture_jpeg_fuzzer SOURCES picture_jpeg_fuzzer.cpp SEEDS ${jpeg_seeds})
  qelmo_fuzz_target(picture_bmp_fuzzer SOURCES picture_bmp_fuzzer.cpp SEEDS ${bmp_seeds})
  qelmo_fuzz_target(picture_gif_fuzzer SOURCES picture_gif_fuzzer.cpp SEEDS ${gif_seeds})
  qelmo_fuzz_target(picture_icon_fuzzer SOURCES picture_icon_fuzzer.cpp SEEDS ${icon_seeds})
  qelmo_fuzz_target(picture_pcx_fuzzer SOURCES picture_pcx_fuzzer.cpp SEEDS ${pcx_seeds})
endblock()
foreach(decoder IN ITEMS png jpeg bmp gif icon pcx)
  target_link_libraries(picture_${decoder}_fuzzer PRIVATE native_picture)
endforeach()
