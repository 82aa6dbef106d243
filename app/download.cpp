// The window thread's side of a transfer: the session, the worker, the wait
// that keeps the window alive, the progress, and what becomes of the file.
#include "app/download.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/archive_hasher.h"
#include "app/part_flusher.h"
#include "app/partial_download.h"
#include "app/publisher_check.h"
#include "app/runtime_calls.h"
#include "app/sha256_hash.h"
#include "app/transfer_job.h"
#include "app/transfer_plan.h"
#include "app/win32_constants.h"

using namespace win32;

namespace {

// Routine id of download_file, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010102;

constexpr char kHeadersBeforeEncoding[] = "Accept: */*\r\nAccept-Language: zh-cn\r\n";
constexpr char kEncodingHeader[] = "Accept-Encoding: gzip, deflate\r\n";
constexpr char kAgentHeader[] =
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";


constexpr uint32_t kWaitSliceMs = 100;  // the window's messages at least this often
constexpr uint32_t kReportEveryMs = 100;
constexpr uint32_t kHashSliceBytes = 8 << 20;  // about 30 ms of hashing between the window's messages
// A stopped worker that has not ended by then is left behind: under Wine
// neither closing the request handle nor the WinINet time-outs end a read
// that waits for a silent server (measured), so it may wait until the
// server lets go. It writes nothing more once stopped.
constexpr uint32_t kLeaveWorkerAfterMs = 1000;

// The transfer in progress, for the routines that stop it.
struct ActiveTransfer {
  TransferJob* job = nullptr;
  ArchiveHasher* hasher = nullptr;  // when the archive's SHA-256 is checked or signed
  bool hash_failed = false;         // the part file could not be read back
  uint32_t thread = 0;
  bool stopping = false;
  uint32_t stop_tick = 0;
};
ActiveTransfer* g_active = nullptr;
// Workers left behind: a new transfer of the same archive waits until they
// have ended, and the program's end holds them still.
struct LeftWorker {
  uint32_t thread;
  TransferJob* job;  // theirs until they end; never freed after
};
std::vector<LeftWorker> g_left_workers;

uint32_t Now() { return static_cast<uint32_t>(Core(CMD_TICK_COUNT).as_int()); }

void SetOption(uint32_t handle, uint32_t option, uint32_t value) {
  dll::InternetSetOptionA(kRoutine, handle, option, &value, 4);
}

uint32_t OpenSession() {
  uint32_t connection_flags = 0;
  dll::InternetGetConnectedState(kRoutine, &connection_flags, 0);
  Owned tick_text(Core(CMD_TO_TEXT, ArgRecord::Int(Core(CMD_TICK_COUNT).as_int())));
  std::string agent = std::string("Agent") + tick_text.text();
  bool direct = Core(CMD_BIT_AND, ArgRecord::Int(static_cast<int32_t>(connection_flags)),
                     ArgRecord::Int(kConnectionProxy)).as_int() == 0;
  return dll::InternetOpenA(kRoutine, agent.c_str(), direct ? kAccessPreconfigNoAutoproxy : kAccessPreconfig, 0, 0, 0);
}

void Stop(ActiveTransfer& active) {
  if (active.stopping) return;
  active.stopping = true;
  active.stop_tick = Now();
  active.job->cancel.store(true);
  // Closing the request handle ends a read that waits for the network (on
  // Windows; under Wine it may not, and the time-outs end it instead).
  if (uint32_t request = active.job->request.exchange(0)) dll::InternetCloseHandle(kRoutine, request);
}

bool WorkerEnded(const ActiveTransfer& active, uint32_t wait_ms) {
  uint32_t answer = dll::WaitForSingleObject(kRoutine, active.thread, wait_ms);
  return answer == kWaitObject0 || answer == kWaitFailed;
}

// A WM_QUIT that arrives while the transfer runs: taken out so that the
// wait does not spin on it, and posted again once the transfer has stopped.
bool TakeQuitMessage(int32_t* exit_code) {
  uint32_t msg[7] = {};
  if (!dll::PeekMessageW(kRoutine, msg, 0, kQuitMessage, kQuitMessage, kPeekRemove)) return false;
  *exit_code = static_cast<int32_t>(msg[2]);
  return true;
}

// The whole archive counts: a resumed transfer shows from the part file's
// size on, and its speed from its own bytes.
DownloadProgress Snapshot(const TransferJob& job, uint32_t finished) {
  int64_t received = job.received.load(std::memory_order_acquire);
  uint32_t elapsed = displayed_elapsed_ms(job.start_tick, Now(), job.body_ms.load(), finished != 0);
  return DownloadProgress{job.total.load(), job.base.load() + received, received, elapsed, finished};
}

// Called directly, not through CallWindowProcA: there Wine takes the first
// word for a window handle and looks it up in wineserver on every call.
void Report(ProgressRoutine progress, const DownloadProgress& record) {
  if (progress) progress(&record, 0, 0, 0);
}

// A part file is thrown away only when it is proven worthless: its archive
// failed its check, or this transfer started it anew from byte 0 and its
// answer gave nothing to resume against. Whatever else failed (no network,
// an error answer, a stall, a move that could not replace the old file),
// the bytes stay for the next click.
bool PartIsWorthless(int32_t result, const TransferJob& job) {
  if (result == DOWNLOAD_DAMAGED) return true;
  return result != DOWNLOAD_OK && job.restarted.load() && !job.resumable.load();
}

// A part file this address left behind, and how much of it its record
// vouches for.
bool FindResumable(const char* url, TransferJob* job) {
  PartialRecord record;
  if (!load_partial_record(job->files, &record) || record.url != url || if_range_validator(record).empty())
    return false;
  int64_t size = file_size(job->files.part);
  if (record.valid <= 0 || size < record.valid) return false;
  job->resume_record = record;
  job->resume_from = record.valid;
  return true;
}

// Whether a worker left behind still holds this archive's part file.
bool PartStillInUse(const PartialFiles& files) {
  for (const LeftWorker& left : g_left_workers)
    if (left.job->files.part == files.part && dll::WaitForSingleObject(kRoutine, left.thread, 0) != kWaitObject0)
      return true;
  return false;
}

// Suspends a thread and waits until it is (the suspension is asynchronous
// until the thread's context has been read).
void HoldStill(uint32_t thread) {
  alignas(16) uint32_t context[180] = {kContextControl};  // a CONTEXT of i386, 716 bytes
  dll::SuspendThread(kRoutine, thread);
  dll::GetThreadContext(kRoutine, thread, context);
}

// At the program's end, one thread of a transfer left behind: it has
// ended, or it is held still where it waits, so that it never calls through
// the DLL table the runtime releases next. One busy elsewhere (a write, a
// flush) soon ends or waits again; one that does neither within the
// patience is held still wherever it is.
// True when the thread was held still where it waits; false when it ended,
// or was held still busy elsewhere.
bool GiveUp(uint32_t thread, std::atomic<WorkerPlace>& place, uint32_t start) {
  constexpr uint32_t kPatienceMs = 5000, kLookEveryMs = 10;
  for (;;) {
    if (dll::WaitForSingleObject(kRoutine, thread, kLookEveryMs) == kWaitObject0) return false;
    WorkerPlace idle = WorkerPlace::kIdle;
    bool waiting = place.compare_exchange_strong(idle, WorkerPlace::kGivenUp);
    if (!waiting && Now() - start < kPatienceMs) continue;
    place.store(WorkerPlace::kGivenUp);
    HoldStill(thread);
    return waiting;
  }
}

// A worker held still while it waited for more of the body wrote its last
// blocks but never vouched for them: the record says so now, so that the
// next click goes on from there. The worker's record is its own until it
// ends, and it never ends now; the flusher, held still too, writes no more.
void VouchForWhatArrived(TransferJob& job) {
  if (job.phase.load() != TransferPhase::kReceiving || !job.part_file) return;
  checkpoint_part(job, job.part_file, job.resume_record, job.base.load() + job.received.load());
}

bool MoveIntoPlace(const std::wstring& from, const char* to) {
  std::wstring target = WideText(to);
  return dll::MoveFileExW(kRoutine, from.c_str(), target.c_str(),
                          kMoveReplaceExisting | kMoveCopyAllowed | kMoveWriteThrough) != 0;
}

// What of the part file the hash can follow now: the bytes the worker has
// written since the transfer's plan was made.
int64_t WrittenSoFar(const TransferJob& job) {
  if (job.phase.load() != TransferPhase::kReceiving) return 0;
  return job.base.load() + job.received.load(std::memory_order_acquire);
}

// One slice of the hash behind the worker; true while it lags.
bool FollowWithHash(ActiveTransfer& active) {
  if (!active.hasher || active.hash_failed) return false;
  int64_t written = WrittenSoFar(*active.job);
  if (written == 0) return false;
  if (!active.hasher->started() && !active.hasher->Start(active.job->files.part)) {
    active.hash_failed = true;
    return false;
  }
  if (!active.hasher->HashUpTo(written, kHashSliceBytes)) active.hash_failed = true;
  return !active.hash_failed && active.hasher->hashed() < written;
}

// How the wait for the worker ended.
struct WaitOutcome {
  bool stalled = false;
  bool worker_left = false;  // stopped but still inside WinINet: left behind
  bool quit = false;
  int32_t quit_code = 0;
};

// Keeps the window alive until the worker has ended: its messages are
// handled as they come (and at least every kWaitSliceMs), the progress is
// shown from the worker's counters, and a transfer that receives nothing
// for the stall limit is stopped.
WaitOutcome WaitForWorker(ActiveTransfer& active, ProgressRoutine progress) {
  WaitOutcome outcome;
  TransferJob& job = *active.job;
  uint32_t last_report = Now() - kReportEveryMs;  // the first block is shown at once
  for (bool hash_behind = false;;) {
    dll::MsgWaitForMultipleObjects(kRoutine, 1, &active.thread, 0, hash_behind ? 0 : kWaitSliceMs, kAllInput);
    if (WorkerEnded(active, 0)) return outcome;
    if (TakeQuitMessage(&outcome.quit_code)) {
      outcome.quit = true;
      Stop(active);
    }
    Core(CMD_PROCESS_EVENTS);  // the window's own loop steps, key handling included
    if (WorkerEnded(active, 0)) return outcome;

    uint32_t now = Now();
    if (active.stopping) {
      if (now - active.stop_tick >= kLeaveWorkerAfterMs) {
        outcome.worker_left = true;
        return outcome;
      }
      continue;
    }
    if (transfer_stalled(now, job.last_activity_tick.load(std::memory_order_acquire), kStallLimitMs)) {
      outcome.stalled = true;
      Stop(active);
      continue;
    }
    if (job.received.load(std::memory_order_acquire) > 0 && now - last_report >= kReportEveryMs) {
      Report(progress, Snapshot(job, 0));
      last_report = now;
    }
    hash_behind = FollowWithHash(active);
  }
}

// The rest of the hash once the worker is done, in slices between the
// window's messages: the whole archive's SHA-256.
bool FinishArchiveHash(ActiveTransfer& active, uint8_t digest[32]) {
  // A part file that was whole already, or an empty body, starts it here.
  if (!active.hasher->started() && !active.hasher->Start(active.job->files.part)) return false;
  while (FollowWithHash(active)) Core(CMD_PROCESS_EVENTS);
  return !active.hash_failed && active.hasher->hashed() == WrittenSoFar(*active.job) && active.hasher->Finish(digest);
}

// Runs a job's worker while the window stays alive, and answers its
// result. A worker that has to be left behind keeps its job, and the
// session, until it ends: *left tells so.
int32_t RunWorker(ActiveTransfer& active, std::unique_ptr<TransferJob>& job, ProgressRoutine progress, bool* left) {
  job->start_tick = Now();
  job->last_activity_tick.store(job->start_tick);
  // The worker's hold on WinINet: another reference to the module the DLL
  // commands bound from the system folder, taken before the worker runs.
  dll::GetModuleHandleExW(kRoutine, 0, L"wininet.dll", &job->wininet);
  active.job = job.get();
  uint32_t thread_id = 0;
  active.thread =
      dll::CreateThread(kRoutine, 0, 0, reinterpret_cast<void*>(&run_transfer_worker), job.get(), 0, &thread_id);
  *left = false;
  if (!active.thread) {
    if (job->wininet) dll::FreeLibrary(kRoutine, job->wininet);
    return DOWNLOAD_NO_SESSION;
  }
  g_active = &active;
  WaitOutcome outcome = WaitForWorker(active, progress);
  g_active = nullptr;
  if (outcome.quit) dll::PostQuitMessage(kRoutine, outcome.quit_code);
  *left = outcome.worker_left;
  int32_t result = outcome.worker_left ? DOWNLOAD_CANCELLED : job->result;
  if (outcome.worker_left) {
    // The program can start another transfer meanwhile.
    g_left_workers.push_back(LeftWorker{active.thread, job.release()});
  } else {
    dll::CloseHandle(kRoutine, active.thread);
    if (job->flusher) dll::CloseHandle(kRoutine, job->flusher);
    if (job->flusher_wake) dll::CloseHandle(kRoutine, job->flusher_wake);
  }
  if (result != DOWNLOAD_OK && outcome.stalled) result = DOWNLOAD_READ_FAILED;
  if (result != DOWNLOAD_OK && active.stopping && !outcome.stalled) result = DOWNLOAD_CANCELLED;
  return result;
}

// The publisher's signature of the archive at `url`, fetched from `url`
// plus ".sig" under the archive's rules (its session and headers, the stall
// limit, the window alive, a stop from the window) and verified against the
// build's keys. A signature that does not verify, in any way, is
// DOWNLOAD_DAMAGED; one that cannot be fetched is that transfer's failure.
int32_t CheckSignature(const TransferJob& archive_job, const uint8_t archive_sha256[32], const char* file_name,
                       bool* session_left) {
  auto job = std::make_unique<TransferJob>();
  job->root = archive_job.root;
  job->owned_url = std::string(archive_job.url) + ".sig";
  job->url = job->owned_url.c_str();
  job->headers = archive_job.headers;
  job->decoding = archive_job.decoding;
  job->into_block = true;
  ActiveTransfer active;
  int32_t fetched = RunWorker(active, job, nullptr, session_left);
  if (fetched != DOWNLOAD_OK) return fetched;
  std::optional<RawSignature> signature =
      parse_signature_file(job->block, static_cast<size_t>(job->received.load(std::memory_order_acquire)));
  std::optional<std::vector<PublisherKey>> keys = build_publisher_keys();
  bool verified = signature && keys && publisher_signed(*keys, archive_sha256, file_name, *signature);
  return verified ? DOWNLOAD_OK : DOWNLOAD_DAMAGED;
}

}  // namespace

std::string request_headers(bool offer_encodings, bool resume, int64_t start_offset, const std::string& if_range) {
  std::string headers = kHeadersBeforeEncoding;
  if (offer_encodings) headers += kEncodingHeader;
  headers += kAgentHeader;
  if (resume) {
    Owned offset_text(Core(CMD_TO_TEXT, ArgRecord::Long(start_offset)));
    headers += std::string("\r\nRange:bytes=") + offset_text.text() + "-";
    if (!if_range.empty()) headers += "\r\nIf-Range: " + if_range;
  }
  return headers;
}

bool transfer_running() { return g_active != nullptr; }

void stop_transfer() {
  if (g_active) Stop(*g_active);
}

bool wait_for_transfer_end(uint32_t wait_ms) { return !g_active || WorkerEnded(*g_active, wait_ms); }

void end_transfer_workers() {
  uint32_t start = Now();
  // The worker first: once it waits for the network, its flusher (if it
  // has one) has been started.
  for (LeftWorker& left : g_left_workers) {
    bool held_at_a_wait = GiveUp(left.thread, left.job->place, start);
    bool flusher_stopped = !left.job->flusher || GiveUp(left.job->flusher, left.job->flusher_place, start) ||
                           dll::WaitForSingleObject(kRoutine, left.job->flusher, 0) == kWaitObject0;
    if (held_at_a_wait && flusher_stopped) VouchForWhatArrived(*left.job);
  }
}

int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int64_t,
                      bool resume, const char* expected_sha256, const char* signed_name) {
  PartialFiles files = partial_files_of(local_path);
  // A worker left behind may still write into this archive's part file:
  // another transfer of it would mix their bytes.
  if (PartStillInUse(files)) return DOWNLOAD_NO_FILE;
  uint32_t root = OpenSession();
  if (!root) return DOWNLOAD_NO_SESSION;
  // Let WinINet undo a gzip or deflate encoding, so the file is the resource.
  // A system that will not decode is not offered the encodings at all.
  uint32_t decode = 1;
  bool decoding = dll::InternetSetOptionA(kRoutine, root, kOptionHttpDecoding, &decode, 4) != 0;
  // A network that goes silent ends the worker's call after the stall limit
  // (on Windows; Wine keeps only the connect time-out, hence the watch in
  // WaitForWorker).
  for (uint32_t option : {kOptionConnectTimeout, kOptionSendTimeout, kOptionReceiveTimeout})
    SetOption(root, option, kStallLimitMs);

  // Freed here unless the worker is left behind still using it.
  auto job = std::make_unique<TransferJob>();
  job->root = root;
  job->url = url;
  job->headers = request_headers(decoding, false, 0);
  job->decoding = decoding;
  job->files = files;
  // A resumed request never asks for an encoding: only identity bytes can
  // be appended to identity bytes.
  if (resume && FindResumable(url, job.get()))
    job->resume_headers = request_headers(false, true, job->resume_from, if_range_validator(job->resume_record));
  uint8_t expected_hash[32];
  bool check_hash = expected_sha256 && *expected_sha256;
  if (check_hash && !parse_sha256_hex(expected_sha256, expected_hash)) {
    dll::InternetCloseHandle(kRoutine, root);
    return DOWNLOAD_DAMAGED;  // a hash that cannot match anything
  }
  // A signature covers the whole archive, so its hash follows the part file
  // as a pinned hash does.
  bool check_signature = publisher_keys_given();
  ArchiveHasher hasher;
  ActiveTransfer active;
  if (check_hash || check_signature) active.hasher = &hasher;
  bool session_left = false;  // a worker left behind still uses it
  int32_t result = RunWorker(active, job, progress, &session_left);
  uint8_t archive_hash[32];
  if (result == DOWNLOAD_OK && active.hasher &&
      (!FinishArchiveHash(active, archive_hash) ||
       (check_hash && std::memcmp(archive_hash, expected_hash, sizeof archive_hash) != 0)))
    result = DOWNLOAD_DAMAGED;
  // What is moved into place is what was counted: the whole length, where
  // the server gave one.
  int64_t total = active.job->total.load();
  if (result == DOWNLOAD_OK && total >= 0 && file_size(files.part) != total) result = DOWNLOAD_NO_FILE;
  // Only an archive its publisher signed. A signature that cannot be fetched
  // leaves the whole part (and its record) for the next click, which finds
  // it complete and fetches the signature again.
  if (result == DOWNLOAD_OK && check_signature)
    result = CheckSignature(*active.job, archive_hash, signed_name ? signed_name : "", &session_left);
  if (result == DOWNLOAD_OK) {
    // A part whose move fails stays, with its record: the next click finds
    // it whole and tries the move again.
    if (MoveIntoPlace(files.part, local_path))
      remove_partial_record(files);
    else
      result = DOWNLOAD_NO_FILE;
  }
  if (PartIsWorthless(result, *active.job)) remove_partial(files);
  // The figures of the whole transfer, whatever the pacing showed last.
  if (active.job->phase.load() == TransferPhase::kReceiving) Report(progress, Snapshot(*active.job, 1));
  if (!session_left) dll::InternetCloseHandle(kRoutine, root);
  return result;
}
