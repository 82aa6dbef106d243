// One transfer as the worker thread sees it. The window's thread prepares
// everything the worker needs, starts it, and then only reads the counters
// the worker publishes, until the worker has ended.
//
// The worker moves bytes and nothing else: it calls WinINet, the file
// functions and the clock through the DLL-command gate only. It never calls
// the runtime's commands or heap (the runtime is single-threaded: its
// open-file register is not locked, and a runtime error raised here would
// end the program from under the window's thread).
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "app/partial_download.h"

// Eight-byte atomics must not fall back to a lock (a library call) on i686.
static_assert(std::atomic<int64_t>::is_always_lock_free);

enum class TransferPhase : int32_t { kConnecting, kReceiving };

// Where a transfer's thread is, for the program's end: one left behind
// inside a call that waits (for the network, or the flusher for its next
// turn) is given up there for good (held still until the process ends), so
// nothing calls through the DLL table after the runtime has released it.
enum class WorkerPlace : int32_t { kWorking, kIdle, kGivenUp };

// Back from a wait: working again, unless given up meanwhile; a thread given
// up stays here, calling nothing, until the process ends.
inline void leave_idle_place(std::atomic<WorkerPlace>& place) {
  WorkerPlace expected = WorkerPlace::kIdle;
  if (place.compare_exchange_strong(expected, WorkerPlace::kWorking)) return;
  while (place.load() == WorkerPlace::kGivenUp) {
  }
}

struct TransferJob {
  // Set by the window's thread before the worker starts; read-only after.
  uint32_t root = 0;           // the WinINet session
  const char* url = nullptr;   // constant data of the application, or owned_url
  std::string owned_url;       // an address made at run time (a signature's)
  // A signature instead of an archive: the body goes into `block` (a body
  // that fills it is longer than any signature), `received` counts it, and
  // no file is written.
  bool into_block = false;
  std::string headers;         // the request header block from byte 0
  bool decoding = false;       // whether WinINet undoes gzip and deflate
  PartialFiles files;          // the part file and its record
  // A part file to go on from: its record and the length it vouches for
  // (0: none); the file is cut back to that length first.
  PartialRecord resume_record;
  int64_t resume_from = 0;
  std::string resume_headers;  // asks for the rest, if still the same version
  uint32_t start_tick = 0;
  // A reference to WinINet's module, which the worker gives up as it ends
  // (0: none). A shutdown that frees the module while the worker is still
  // inside it cannot then pull the code from under it.
  uint32_t wininet = 0;

  // Written by the worker, read by the window's thread.
  std::atomic<uint32_t> request{0};  // whoever takes it out closes it
  std::atomic<int64_t> total{-1};    // the whole archive's length; -1 unknown
  std::atomic<int64_t> base{0};      // where this transfer's bytes start in the archive
  std::atomic<int64_t> received{0};  // this transfer's bytes
  std::atomic<uint32_t> last_activity_tick{0};  // the request went out, or bytes came
  std::atomic<TransferPhase> phase{TransferPhase::kConnecting};  // receiving once the body may come
  std::atomic<bool> resumable{false};  // a record describes what the part file holds
  std::atomic<bool> restarted{false};  // the part file was started again from byte 0
  std::atomic<uint32_t> body_ms{0};    // from the start to the body's last byte; 0 until then
  std::atomic<WorkerPlace> place{WorkerPlace::kWorking};

  // The part file's flusher (0: none), the event that wakes it, and where
  // it is; the part's handle while the body is written.
  uint32_t flusher = 0;
  uint32_t flusher_wake = 0;
  std::atomic<bool> flusher_stop{false};
  std::atomic<WorkerPlace> flusher_place{WorkerPlace::kWorking};
  uint32_t part_file = 0;
  int32_t result = 0;  // a DownloadResult; valid once the worker has ended

  // Written by the window's thread: stop at the next block.
  std::atomic<bool> cancel{false};

  // The worker's read buffer, one block.
  static constexpr int32_t kBlockSize = 10240;
  uint8_t block[kBlockSize];
};

// The worker thread's procedure (a thread start routine); its argument is
// the job, whose reference on WinINet it releases as it ends.
extern "C" uint32_t __stdcall run_transfer_worker(void* job);
