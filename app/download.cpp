// The window thread's side of a transfer: the session, the worker, the wait
// that keeps the window alive, the progress, and what becomes of the file.
#include "download.h"

#include <memory>
#include <string>
#include <vector>

#include "app_calls.h"
#include "transfer_job.h"

namespace {

// Routine id of download_file, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010102;

constexpr char kHeadersBeforeEncoding[] = "Accept: */*\r\nAccept-Language: zh-cn\r\n";
constexpr char kEncodingHeader[] = "Accept-Encoding: gzip, deflate\r\n";
constexpr char kAgentHeader[] =
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

constexpr uint32_t kAccessPreconfigNoAutoproxy = 4;
constexpr uint32_t kAccessPreconfig = 0;
constexpr uint32_t kConnectionProxy = 4;
constexpr uint32_t kOptionConnectTimeout = 2, kOptionSendTimeout = 5, kOptionReceiveTimeout = 6;
constexpr uint32_t kOptionHttpDecoding = 65;
constexpr uint32_t kMoveReplaceExisting = 1, kMoveCopyAllowed = 2, kMoveWriteThrough = 8;

constexpr uint32_t kWaitSliceMs = 100;  // the window's messages at least this often
constexpr uint32_t kReportEveryMs = 100;
// A stopped worker that has not ended by then is left behind: under Wine
// neither closing the request handle nor the WinINet time-outs end a read
// that waits for a silent server (measured), so it may wait until the
// server lets go. It writes nothing more once stopped.
constexpr uint32_t kLeaveWorkerAfterMs = 1000;
constexpr uint32_t kWaitObject0 = 0, kWaitFailed = 0xFFFFFFFF;
constexpr uint32_t kAllInput = 0x04FF;  // QS_ALLINPUT
constexpr uint32_t kQuitMessage = 0x0012;

// The transfer in progress, for the routines that stop it.
struct ActiveTransfer {
  TransferJob* job = nullptr;
  uint32_t thread = 0;
  bool stopping = false;
  uint32_t stop_tick = 0;
};
ActiveTransfer* g_active = nullptr;
// Threads of workers left behind, for the program's end.
std::vector<uint32_t> g_left_workers;

uint32_t Now() { return static_cast<uint32_t>(Core(CMD_TICK_COUNT).as_int()); }

void SetOption(uint32_t handle, uint32_t option, uint32_t value) {
  CallDll(Site(DLL_INTERNET_SET_OPTION, kRoutine, 1), handle, option, Word(&value), 4);
}

uint32_t OpenSession() {
  uint32_t connection_flags = 0;
  CallDll(Site(DLL_INTERNET_GET_CONNECTED_STATE, kRoutine, 2), Word(&connection_flags), 0);
  Owned tick_text(Core(CMD_TO_TEXT, ArgRecord::Int(Core(CMD_TICK_COUNT).as_int())));
  std::string agent = std::string("Agent") + tick_text.text();
  bool direct = Core(CMD_BIT_AND, ArgRecord::Int(static_cast<int32_t>(connection_flags)),
                     ArgRecord::Int(kConnectionProxy)).as_int() == 0;
  return CallDll(Site(DLL_INTERNET_OPEN, kRoutine, 3), Word(agent.c_str()),
                 direct ? kAccessPreconfigNoAutoproxy : kAccessPreconfig, 0, 0, 0);
}

void Stop(ActiveTransfer& active) {
  if (active.stopping) return;
  active.stopping = true;
  active.stop_tick = Now();
  active.job->cancel.store(true);
  // Closing the request handle ends a read that waits for the network (on
  // Windows; under Wine it may not, and the time-outs end it instead).
  if (uint32_t request = active.job->request.exchange(0))
    CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 4), request);
}

bool WorkerEnded(const ActiveTransfer& active, uint32_t wait_ms) {
  uint32_t answer = CallDll(Site(DLL_WAIT_FOR_SINGLE_OBJECT, kRoutine, 5), active.thread, wait_ms);
  return answer == kWaitObject0 || answer == kWaitFailed;
}

// A WM_QUIT that arrives while the transfer runs: taken out so that the
// wait does not spin on it, and posted again once the transfer has stopped.
bool TakeQuitMessage(int32_t* exit_code) {
  uint32_t msg[7] = {};
  if (!CallDll(Site(DLL_PEEK_MESSAGE_W, kRoutine, 6), Word(msg), 0, kQuitMessage, kQuitMessage, 1 /*PM_REMOVE*/))
    return false;
  *exit_code = static_cast<int32_t>(msg[2]);
  return true;
}

DownloadProgress Snapshot(const TransferJob& job, int64_t start_offset, uint32_t finished) {
  int64_t received = job.received.load(std::memory_order_acquire);
  int64_t total = job.total.load();
  uint32_t elapsed = Now() - job.start_tick;  // unsigned: right when the tick count wraps
  return DownloadProgress{total < 0 ? -1 : total + start_offset, start_offset + received, received,
                          elapsed ? elapsed : 10, finished};
}

// Called directly, not through CallWindowProcA: there Wine takes the first
// word for a window handle and looks it up in wineserver on every call.
void Report(ProgressRoutine progress, const DownloadProgress& record) { progress(&record, 0, 0, 0); }

bool MoveIntoPlace(const std::wstring& from, const char* to) {
  std::wstring target = WideText(to);
  return CallDll(Site(DLL_MOVE_FILE_EX_W, kRoutine, 7), Word(from.c_str()), Word(target.c_str()),
                 kMoveReplaceExisting | kMoveCopyAllowed | kMoveWriteThrough) != 0;
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
WaitOutcome WaitForWorker(ActiveTransfer& active, ProgressRoutine progress, int64_t start_offset) {
  WaitOutcome outcome;
  TransferJob& job = *active.job;
  uint32_t last_report = Now() - kReportEveryMs;  // the first block is shown at once
  for (;;) {
    CallDll(Site(DLL_MSG_WAIT_FOR_MULTIPLE_OBJECTS, kRoutine, 8), 1, Word(&active.thread), 0, kWaitSliceMs,
            kAllInput);
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
    if (now - job.last_activity_tick.load(std::memory_order_acquire) > kStallLimitMs) {
      outcome.stalled = true;
      Stop(active);
      continue;
    }
    if (job.received.load(std::memory_order_acquire) > 0 && now - last_report >= kReportEveryMs) {
      Report(progress, Snapshot(job, start_offset, 0));
      last_report = now;
    }
  }
}

}  // namespace

std::string request_headers(bool offer_encodings, bool resume, int64_t start_offset) {
  std::string headers = kHeadersBeforeEncoding;
  if (offer_encodings) headers += kEncodingHeader;
  headers += kAgentHeader;
  if (resume) {
    Owned offset_text(Core(CMD_TO_TEXT, ArgRecord::Long(start_offset)));
    headers += std::string("\r\nRange:bytes=") + offset_text.text() + "-";
  }
  return headers;
}

bool transfer_running() { return g_active != nullptr; }

void stop_transfer() {
  if (g_active) Stop(*g_active);
}

bool wait_for_transfer_end(uint32_t wait_ms) { return !g_active || WorkerEnded(*g_active, wait_ms); }

void end_transfer_workers() {
  transfer_workers_must_quit.store(true);
  if (g_left_workers.empty()) return;
  constexpr uint32_t kFinishingMs = 100, kMostHandles = 64;
  auto count = static_cast<uint32_t>(g_left_workers.size() < kMostHandles ? g_left_workers.size() : kMostHandles);
  CallDll(Site(DLL_WAIT_FOR_MULTIPLE_OBJECTS, kRoutine, 15), count,
          Word(g_left_workers.data() + g_left_workers.size() - count), 1 /*all*/, kFinishingMs);
}

int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int64_t start_offset,
                      bool resume) {
  uint32_t root = OpenSession();
  if (!root) return DOWNLOAD_NO_SESSION;
  // Let WinINet undo a gzip or deflate encoding, so the file is the resource.
  // A system that will not decode is not offered the encodings at all.
  uint32_t decode = 1;
  bool decoding =
      CallDll(Site(DLL_INTERNET_SET_OPTION, kRoutine, 9), root, kOptionHttpDecoding, Word(&decode), 4) != 0;
  // A network that goes silent ends the worker's call after the stall limit
  // (on Windows; Wine keeps only the connect time-out, hence the watch in
  // WaitForWorker).
  for (uint32_t option : {kOptionConnectTimeout, kOptionSendTimeout, kOptionReceiveTimeout})
    SetOption(root, option, kStallLimitMs);

  // Freed here unless the worker is left behind still using it.
  auto job = std::make_unique<TransferJob>();
  job->root = root;
  job->url = url;
  job->headers = request_headers(decoding, resume, start_offset);
  job->decoding = decoding;
  job->append = resume;
  std::string part = resume ? std::string(local_path) : std::string(local_path) + ".part";
  job->part_path = WideText(part.c_str());
  job->start_tick = Now();
  job->last_activity_tick.store(job->start_tick);

  ActiveTransfer active;
  active.job = job.get();
  uint32_t thread_id = 0;
  active.thread = CallDll(Site(DLL_CREATE_THREAD, kRoutine, 10), 0, 0,
                          Word(reinterpret_cast<void*>(&run_transfer_worker)), Word(job.get()), 0, Word(&thread_id));
  if (!active.thread) {
    CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 11), root);
    return DOWNLOAD_NO_SESSION;
  }
  g_active = &active;
  WaitOutcome outcome = WaitForWorker(active, progress, start_offset);
  g_active = nullptr;
  if (outcome.quit) CallDll(Site(DLL_POST_QUIT_MESSAGE, kRoutine, 12), outcome.quit_code);
  int32_t result = outcome.worker_left ? DOWNLOAD_CANCELLED : job->result;
  if (outcome.worker_left) {
    // It still uses the job and the session: they stay until it ends, and
    // the program can start another transfer meanwhile.
    job.release();
    g_left_workers.push_back(active.thread);
  } else {
    CallDll(Site(DLL_CLOSE_HANDLE, kRoutine, 13), active.thread);
    CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 14), root);
  }
  if (result != DOWNLOAD_OK && outcome.stalled) result = DOWNLOAD_READ_FAILED;
  if (result != DOWNLOAD_OK && active.stopping && !outcome.stalled) result = DOWNLOAD_CANCELLED;
  if (result == DOWNLOAD_OK && !resume && !MoveIntoPlace(active.job->part_path, local_path)) result = DOWNLOAD_NO_FILE;
  // A stopped transfer keeps what arrived; a failed one leaves nothing.
  if (result != DOWNLOAD_OK && result != DOWNLOAD_CANCELLED && !resume) Core(CMD_DELETE_FILE, Text(part.c_str()));
  // The figures of the whole transfer, whatever the pacing showed last.
  if (active.job->phase.load() == TransferPhase::kReceiving) Report(progress, Snapshot(*active.job, start_offset, 1));
  return result;
}
