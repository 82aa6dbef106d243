// Fetching one resource over HTTP into a local file, block by block.
#pragma once
#include <cstdint>

// Called after every block with (total size, downloaded, elapsed ms, bytes
// of this call); reached through CallWindowProcA like a window procedure.
using ProgressRoutine = intptr_t(__stdcall*)(int32_t total, int32_t downloaded, int32_t elapsed_ms,
                                              int32_t bytes_this_call);

enum DownloadResult : int32_t {
  DOWNLOAD_OK = 0,
  DOWNLOAD_NO_SESSION = -1,   // no WinINet root handle
  DOWNLOAD_NO_RESPONSE = -2,  // the address could not be opened, or the server answered 400 or above
  DOWNLOAD_NO_FILE = -3,      // the local file could not be opened or written
  DOWNLOAD_READ_FAILED = -4,  // a read failed, or the body ended before its announced length
};

// Downloads into a temporary file beside local_path and moves it into place
// only when the whole body has arrived; a failure leaves nothing under the
// archive's name. With resume the body is appended to local_path from
// start_offset on.
int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int32_t start_offset,
                      bool resume);

// The request header block (without a range, or with one for resume).
extern const char kRequestHeaders[];
