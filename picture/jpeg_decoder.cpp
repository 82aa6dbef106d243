// JPEG through libjpeg from memory: grey or RGB output, stored as B, G, R
// rows bottom-up.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "picture/picture_decoders.h"

namespace {

// Real pictures have a few dozen scans; damaged ones can repeat scans over
// the whole picture until decoding takes minutes.
constexpr int kMaxScans = 256;

struct JpegSession {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf failed;
};

JpegSession* SessionOf(j_common_ptr info) { return static_cast<JpegSession*>(info->client_data); }

[[noreturn]] void Fail(j_common_ptr info) { std::longjmp(SessionOf(info)->failed, 1); }

// Warnings are absorbed, except the end of the data: libjpeg would fill the
// rest of a cut-off picture with grey and call it decoded.
void Message(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) Fail(info);
}
void Quiet(j_common_ptr) {}

void Progress(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) Fail(info);
}

// Everything between the jump target and a failure lives in the session or
// in `out`, never in automatic variables that a longjmp would leave stale.
bool Decode(JpegSession* s, ByteRun data, DecodedPicture* out) {
  jpeg_decompress_struct* info = &s->info;
  jpeg_create_decompress(info);
  info->client_data = s;
  info->progress = &s->progress;
  jpeg_mem_src(info, data.data(), static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  if (!PictureSizeAllowed(info->image_width, info->image_height)) return false;
  jpeg_start_decompress(info);
  const uint32_t width = info->output_width, height = info->output_height;
  const int components = info->output_components;
  if ((components != 1 && components != 3) || !PictureSizeAllowed(width, height)) return false;
  if (!out->pixels.Allocate(uint64_t{width} * height * 3)) return false;
  // A row as libjpeg gives it, then turned into B, G, R and stored
  // bottom-up.
  JSAMPARRAY line = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                               width * static_cast<uint32_t>(components), 1);
  while (info->output_scanline < height) {
    const uint32_t y = info->output_scanline;
    if (jpeg_read_scanlines(info, line, 1) != 1) return false;
    uint8_t* dst = out->pixels.data() + uint64_t{height - 1 - y} * width * 3;
    const uint8_t* src = line[0];
    for (uint32_t x = 0; x < width; ++x, dst += 3) {
      if (components == 3) {
        dst[0] = src[3 * x + 2];
        dst[1] = src[3 * x + 1];
        dst[2] = src[3 * x];
      } else {
        dst[0] = dst[1] = dst[2] = src[x];
      }
    }
  }
  // Every row is in: whatever follows them (even a missing end marker) does
  // not matter, so the rest of the data is not read.
  out->kind = PictureKind::kJpeg;
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  return true;
}

// A libjpeg failure lands here.
bool Guarded(JpegSession* s, ByteRun data, DecodedPicture* out) {
  if (setjmp(s->failed) != 0) return false;
  return Decode(s, data, out);
}

}  // namespace

bool DecodeJpeg(ByteRun data, DecodedPicture* out) {
  if (data.empty() || data.size() > 0xFFFFFFFFu) return false;
  const std::unique_ptr<JpegSession> session(new (std::nothrow) JpegSession());
  if (!session) return false;
  JpegSession* s = session.get();
  s->info.err = jpeg_std_error(&s->errors);
  s->errors.error_exit = Fail;
  s->errors.emit_message = Message;
  s->errors.output_message = Quiet;
  s->progress.progress_monitor = Progress;
  const bool decoded = Guarded(s, data, out);
  jpeg_destroy_decompress(&s->info);
  if (!decoded) out->pixels.Reset();
  return decoded;
}
