# The platform-free decoders' files: the product's library and the native
# sanitizer and fuzz build both take them from here.
set(QELMO_PICTURE_DECODER_SOURCES
  picture_kind.cpp bmp_decoder.cpp gif_decoder.cpp pcx_decoder.cpp icon_directory.cpp png_decoder.cpp
  jpeg_decoder.cpp)
