# qelmo_test_pictures(DIR ROOT): the picture loader's test pictures, made
# with ImageMagick at build time by make_pictures.py into DIR (ROOT is the
# repository). Sets QELMO_TEST_PICTURES_CPP (the pictures and their expected
# pixels, for a test's sources); qelmo_test_picture_files(<var> <names>)
# then gives the paths of single pictures, e.g. as fuzzing seeds.
include_guard(GLOBAL)

set(QELMO_TEST_PICTURE_NAMES
  png_rgba.png png_rgb.png png_palette.png png_grey.png png_rgba16.png png_interlaced.png png_alpha_edge.png
  info16.png
  jpeg_rgb.jpg jpeg_420.jpg jpeg_grey.jpg jpeg_progressive.jpg jpeg_cmyk.jpg
  bmp1.bmp bmp4.bmp bmp8.bmp bmp8_v5.bmp bmp_rle8.bmp bmp24.bmp bmp32.bmp
  gif89.gif gif87.gif gif_interlaced.gif gif_small.gif gif_noise.gif gif_animated.gif
  ico48.ico ico_multi.ico cur32.cur
  pcx8.pcx pcx1.pcx)

function(qelmo_test_pictures dir root)
  set(files)
  foreach(name IN LISTS QELMO_TEST_PICTURE_NAMES)
    list(APPEND files ${dir}/${name})
  endforeach()
  set(script ${root}/tests/picture/make_pictures.py)
  add_custom_command(OUTPUT ${dir}/pictures.cpp ${files}
    COMMAND ${Python3_EXECUTABLE} ${script} ${dir} ${root}/app/resources/info16.png
    DEPENDS ${script} ${root}/app/resources/info16.png
    COMMENT "Making the test pictures with ImageMagick"
    VERBATIM)
  set(QELMO_TEST_PICTURES_CPP ${dir}/pictures.cpp PARENT_SCOPE)
  set(QELMO_TEST_PICTURE_DIR ${dir} PARENT_SCOPE)
endfunction()

function(qelmo_test_picture_files out_var)
  set(files)
  foreach(name IN LISTS ARGN)
    list(APPEND files ${QELMO_TEST_PICTURE_DIR}/${name})
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()
