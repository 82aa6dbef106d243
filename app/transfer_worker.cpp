// The worker thread of a transfer: the request, the response's headers, the
// decision to go on from a part file or to start from byte 0, and the block
// loop that writes the body. See transfer_job.h for what it may
// call.
#include <cstring>

#include "app/download.h"
#include "app/http_values.h"
#include "app/part_flusher.h"
#include "app/runtime_calls.h"
#include "app/transfer_job.h"
#include "app/transfer_plan.h"
#include "app/win32_constants.h"

using namespace win32;

namespace {

// Routine id of the worker, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010106;

// Reload, no cache write, pragma no-cache. Never an ignore-certificate flag:
// an https archive is taken only from a server the system trusts.

uint32_t Now() { return dll::GetTickCount(kRoutine); }

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    char a = *text, b = *prefix;
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// A response header as text; empty when the server sent none.
std::string QueryText(uint32_t request, uint32_t what) {
  char text[512] = {};
  uint32_t length = sizeof text - 1, index = 0;
  if (!dll::HttpQueryInfoA(kRoutine, request, what, text, &length, &index)) return std::string();
  return text;
}

// True when the server encoded the body (gzip, deflate).
bool BodyIsEncoded(uint32_t request) {
  std::string encoding = QueryText(request, kQueryContentEncoding);
  return !encoding.empty() && !StartsWithNoCase(encoding.c_str(), "identity");
}

// Whether an https request ended on a plain http address. WinINet follows
// redirects by itself, and Wine follows one from https to http without a
// word, so the engine looks where the chain ended.
bool LeftTls(const char* url, uint32_t request) {
  if (!StartsWithNoCase(url, "https:")) return false;
  char final_url[2048] = {};
  uint32_t length = sizeof final_url - 1;
  if (!dll::InternetQueryOptionA(kRoutine, request, kOptionUrl, final_url, &length))
    return true;  // unknown counts as not proven safe
  return !StartsWithNoCase(final_url, "https:");
}

uint32_t StatusCode(uint32_t request) {
  uint32_t status = 0, length = 4, index = 0;
  dll::HttpQueryInfoA(kRoutine, request, kQueryStatusCode, &status, &length, &index);
  return status;
}

// Around a call that waits for the network as long as the server likes. A
// worker given up there at the program's end never comes back out.
void EnterNetworkWait(TransferJob& job) { job.place.store(WorkerPlace::kIdle); }
void LeaveNetworkWait(TransferJob& job) { leave_idle_place(job.place); }

uint32_t OpenRequest(TransferJob& job, const std::string& headers) {
  job.last_activity_tick.store(Now());
  EnterNetworkWait(job);
  uint32_t request = dll::InternetOpenUrlA(kRoutine, job.root, job.url, headers.c_str(),
                                           static_cast<uint32_t>(headers.size()), kRequestFlags, 0);
  LeaveNetworkWait(job);
  if (request) job.request.store(request);
  return request;
}

// Closes the worker's own request, unless the window's thread has taken it.
void CloseRequest(TransferJob& job) {
  if (uint32_t request = job.request.exchange(0)) dll::InternetCloseHandle(kRoutine, request);
}

AnswerHeaders ReadAnswer(const TransferJob& job, uint32_t request) {
  AnswerHeaders answer;
  answer.status = StatusCode(request);
  answer.left_tls = LeftTls(job.url, request);
  answer.encoded = BodyIsEncoded(request);
  answer.content_length = parse_content_length(QueryText(request, kQueryContentLength).c_str());
  answer.content_range = QueryText(request, kQueryContentRange);
  answer.etag = QueryText(request, kQueryEtag);
  answer.last_modified = QueryText(request, kQueryLastModified);
  return answer;
}

// The record of a transfer from byte 0, written before its first body byte
// (or the old one removed when this one cannot be resumed).
void DescribePartFile(TransferJob& job, const AnswerHeaders& answer, int64_t total) {
  PartialRecord record;
  record.url = job.url;
  record.total = total;
  record.etag = answer.etag;
  record.last_modified = answer.last_modified;
  bool resumable = !answer.encoded && total > 0 && !if_range_validator(record).empty() &&
                   save_partial_record(job.files, record);
  if (!resumable) remove_partial_record(job.files);
  job.resume_record = record;
  job.resumable.store(resumable);
}

// The archive's bytes from the part file's end on; the part file stays
// resumable under its record.
void GoOnFromPartFile(TransferJob& job) {
  job.resumable.store(true);
  job.base.store(job.resume_from);
  job.total.store(job.resume_record.total);
}

// The block loop: every block read is written whole before the next, while
// the flusher moves the part's record up every few seconds.
int32_t ReceiveBody(TransferJob& job, uint32_t request, uint32_t file) {
  int64_t received = 0;
  int64_t base = job.base.load();
  int32_t result = DOWNLOAD_OK;
  start_part_flusher(job, file);
  for (;;) {
    if (job.cancel.load()) {
      result = DOWNLOAD_CANCELLED;
      break;
    }
    uint32_t bytes_read = 0;
    EnterNetworkWait(job);
    bool read = dll::InternetReadFile(kRoutine, request, job.block, TransferJob::kBlockSize, &bytes_read) != 0;
    LeaveNetworkWait(job);
    if (!read) {
      result = job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
      break;
    }
    if (bytes_read == 0) break;
    // Stopped while the read waited: the window's thread has given up on
    // this transfer already.
    if (job.cancel.load()) {
      result = DOWNLOAD_CANCELLED;
      break;
    }
    uint32_t written = 0;
    if (!dll::WriteFile(kRoutine, file, job.block, bytes_read, &written, 0) || written != bytes_read) {
      result = DOWNLOAD_NO_FILE;  // a full disk or a vanished folder
      break;
    }
    received += bytes_read;
    job.received.store(received, std::memory_order_release);
    job.last_activity_tick.store(Now(), std::memory_order_release);
  }
  job.body_ms.store((Now() - job.start_tick) | 1);
  stop_part_flusher(job);
  // What arrived is kept for the next click, whatever stopped the loop; the
  // flusher has ended, so the record is the worker's alone again.
  if (!checkpoint_part(job, file, job.resume_record, base + received) && result == DOWNLOAD_OK)
    result = DOWNLOAD_NO_FILE;
  if (result != DOWNLOAD_OK) return result;
  // An empty body is no archive: it must never replace one.
  if (base + received == 0) return DOWNLOAD_NO_RESPONSE;
  // A connection that ended before the announced length is a failed read.
  int64_t total = job.total.load();
  return total >= 0 && base + received < total ? DOWNLOAD_READ_FAILED : DOWNLOAD_OK;
}

// Opens the part file for this plan: anew from byte 0, or cut back to the
// length its record vouches for (a power cut can leave a tail of zeros
// behind it) and written on from there. Others may read it (the hash
// follows it), nobody else may write it.
uint32_t OpenPartFile(TransferJob& job, bool appending) {
  uint32_t file = dll::CreateFileW(kRoutine, job.files.part.c_str(), kGenericWrite, kShareRead, 0,
                                   appending ? kOpenExisting : kCreateAlways, kAttributeNormal, 0);
  if (file == kInvalidHandle || !appending) return file;
  if (dll::SetFilePointerEx(kRoutine, file, job.resume_from, nullptr, kFileBegin) && dll::SetEndOfFile(kRoutine, file))
    return file;
  dll::CloseHandle(kRoutine, file);
  return kInvalidHandle;
}

// The request (for the rest of a part file, or from byte 0), the plan its
// answer allows, and the body into the part file; the file is left open in
// *file for the caller to close.
int32_t Transfer(TransferJob& job, uint32_t* file) {
  bool resuming = job.resume_from > 0;
  uint32_t request = OpenRequest(job, resuming ? job.resume_headers : job.headers);
  if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
  if (job.cancel.load()) return DOWNLOAD_CANCELLED;
  AnswerHeaders answer = ReadAnswer(job, request);
  Plan plan = resuming ? plan_for_rest(answer, job.resume_record, job.resume_from) : plan_for_whole(answer, job.decoding);
  if (plan == Plan::kAskAgain) {
    CloseRequest(job);
    request = OpenRequest(job, job.headers);
    if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    answer = ReadAnswer(job, request);
    plan = plan_for_whole(answer, job.decoding);
  }
  if (plan == Plan::kRefused) return DOWNLOAD_NO_RESPONSE;

  if (plan == Plan::kComplete) {
    GoOnFromPartFile(job);
    job.body_ms.store((Now() - job.start_tick) | 1);
    job.phase.store(TransferPhase::kReceiving);  // nothing more to come: the figures are final
    return DOWNLOAD_OK;
  }
  // Stopped while the answer came: the window's thread may have left this
  // worker behind, and the part file stays as it is.
  if (job.cancel.load()) return DOWNLOAD_CANCELLED;
  bool appending = plan == Plan::kAppend;
  *file = OpenPartFile(job, appending);
  if (*file == kInvalidHandle) return DOWNLOAD_NO_FILE;
  if (appending) {
    GoOnFromPartFile(job);
  } else {
    job.restarted.store(true);
    // A decoded body's length is not the announced one.
    int64_t total = answer.encoded ? -1 : answer.content_length;
    job.total.store(total);
    // The part file is empty now, so a record written here never describes
    // bytes of another version.
    DescribePartFile(job, answer, total);
  }
  job.last_activity_tick.store(Now());
  job.phase.store(TransferPhase::kReceiving);
  return ReceiveBody(job, request, *file);
}

// A signature into the job's block: the request and the answers refused
// are an archive's; the body is read until it ends or fills the block.
int32_t FetchIntoBlock(TransferJob& job) {
  uint32_t request = OpenRequest(job, job.headers);
  if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
  if (job.cancel.load()) return DOWNLOAD_CANCELLED;
  AnswerHeaders answer = ReadAnswer(job, request);
  if (plan_for_whole(answer, job.decoding) == Plan::kRefused) return DOWNLOAD_NO_RESPONSE;
  int32_t received = 0;
  while (received < TransferJob::kBlockSize) {
    uint32_t bytes_read = 0;
    EnterNetworkWait(job);
    bool read = dll::InternetReadFile(kRoutine, request, job.block + received,
                                      static_cast<uint32_t>(TransferJob::kBlockSize - received), &bytes_read) != 0;
    LeaveNetworkWait(job);
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    if (!read) return DOWNLOAD_READ_FAILED;
    if (bytes_read == 0) break;
    received += static_cast<int32_t>(bytes_read);
    job.received.store(received, std::memory_order_release);
    job.last_activity_tick.store(Now(), std::memory_order_release);
  }
  bool cut_short = !answer.encoded && received < TransferJob::kBlockSize && received < answer.content_length;
  return cut_short ? DOWNLOAD_READ_FAILED : DOWNLOAD_OK;
}

}  // namespace

extern "C" uint32_t __stdcall run_transfer_worker(void* argument) {
  auto& job = *static_cast<TransferJob*>(argument);
  uint32_t wininet = job.wininet;
  uint32_t file = kInvalidHandle;
  int32_t result = job.into_block ? FetchIntoBlock(job) : Transfer(job, &file);
  if (file != kInvalidHandle && !dll::CloseHandle(kRoutine, file) && result == DOWNLOAD_OK) result = DOWNLOAD_NO_FILE;
  job.result = result;
  // Whoever takes the request handle out closes it: here, or the window's
  // thread when it stops the transfer.
  CloseRequest(job);
  if (wininet) dll::FreeLibraryAndExitThread(kRoutine, wininet, 0);  // does not return
  return 0;
}
