// Fetching one resource over HTTP or HTTPS into a local file, block by block.
#pragma once
#include <cstdint>
#include <string>

// What the engine reports after a block. Sizes are 64-bit: an archive of
// 2 GiB and more must neither wrap nor pass a short body as complete.
struct DownloadProgress {
  int64_t total;            // the whole resource in bytes; -1 when the server gave no usable length
  int64_t downloaded;       // bytes on disk: the start offset plus this transfer's bytes
  int64_t bytes_this_call;  // bytes this transfer has received
  uint32_t elapsed_ms;      // since the transfer started; never 0
  uint32_t finished;        // 1 for the figures after the last block, shown whatever the pacing
};

// Shaped like a window procedure, four 32-bit words. They cannot carry 64-bit
// sizes, so the first word is the address of the progress record and the
// others are 0.
using ProgressRoutine = intptr_t(__stdcall*)(const DownloadProgress* progress, uint32_t, uint32_t, uint32_t);

enum DownloadResult : int32_t {
  DOWNLOAD_OK = 0,
  DOWNLOAD_NO_SESSION = -1,   // no WinINet root handle
  DOWNLOAD_NO_RESPONSE = -2,  // the address could not be opened (a certificate error included), the answer
                              // is no archive (an error status, no 200, an empty body), an https address was
                              // redirected to http, or the body came encoded when the system would not
                              // decode it
  DOWNLOAD_NO_FILE = -3,      // the local file could not be opened, written or moved into place, or a
                              // transfer of the same archive left behind still writes it
  DOWNLOAD_READ_FAILED = -4,  // a read failed, nothing arrived for the stall limit, or the body ended before
                              // its announced length
  DOWNLOAD_CANCELLED = -5,    // stopped because the window closes, the session ends or the program quits
  DOWNLOAD_DAMAGED = -6,      // the archive's SHA-256 is not the one given at build time, or its publisher's
                              // signature does not verify
};

// How long a transfer may receive nothing before it fails (a build option).
#ifndef QELMO_STALL_LIMIT_MS
#define QELMO_STALL_LIMIT_MS 30000
#endif
constexpr uint32_t kStallLimitMs = QELMO_STALL_LIMIT_MS;

// Downloads into a part file beside local_path and moves it into place only
// when the whole body has arrived (and, with `expected_sha256`, has that
// hash; in a build given publisher keys, carries its publisher's signature
// of it under the file name `signed_name`), so an older file of that name
// stays untouched until a complete one replaces it. With resume, a part
// file that a cut-off transfer of the same address left behind is continued
// from the length its record vouches for, if the server still has the same
// version (start_offset is not used: the part file is the truth); otherwise
// the transfer starts from byte 0.
//
// A worker thread moves the bytes; this thread keeps the window alive
// meanwhile (its messages are handled at least ten times a second, whatever
// the network does) and shows the progress from the worker's counters at
// most every 100 ms. A transfer that fails keeps its part file for the next
// click, unless the archive failed its hash or signature or the part was
// started from byte 0 under an answer that cannot be resumed.
int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int64_t start_offset,
                      bool resume, const char* expected_sha256 = nullptr, const char* signed_name = nullptr);

// Whether a transfer's worker is running.
bool transfer_running();
// Stops the running transfer, if any: tells the worker to stop and tries to
// wake it from a read that waits for the network. The transfer returns (as
// cancelled) within about a second, whether the worker has ended or not.
void stop_transfer();
// Waits up to wait_ms for the running worker to end; true when none runs.
bool wait_for_transfer_end(uint32_t wait_ms);
// At the program's end: every worker left behind has ended or is held still
// where it waits for the network, before the runtime releases the DLL table
// their calls go through.
void end_transfer_workers();

// The request header block: the encodings are offered only when the system
// decodes them; with resume it asks for the bytes from the offset on, of the
// version `if_range` names.
std::string request_headers(bool offer_encodings, bool resume, int64_t start_offset, const std::string& if_range = "");
