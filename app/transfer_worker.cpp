// The worker thread of a transfer: the request, the response's headers, the
// decision to go on from a part file or to start from byte 0, and the block
// loop that writes the body. See transfer_job.h for what it may
// call.
#include <cstring>

#include "app_calls.h"
#include "download.h"
#include "http_values.h"
#include "transfer_job.h"

namespace {

// Routine id of the worker, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010106;

// Reload, no cache write, pragma no-cache. Never an ignore-certificate flag:
// an https archive is taken only from a server the system trusts.
constexpr uint32_t kRequestFlags = 0x84000100;
constexpr uint32_t kQueryContentLength = 5;  // as text: the number flag stops at 32 bits
constexpr uint32_t kQueryStatusCode = 0x20000013;
constexpr uint32_t kQueryContentEncoding = 29;
constexpr uint32_t kQueryLastModified = 11;
constexpr uint32_t kQueryEtag = 54;
constexpr uint32_t kQueryContentRange = 53;
constexpr uint32_t kOptionUrl = 34;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kAppendData = 4;
// Others may read, and a later transfer may take the file over should this
// worker be left behind in a read that does not end.
constexpr uint32_t kShareAll = 7;
constexpr uint32_t kCreateAlways = 2, kOpenExisting = 3;
constexpr uint32_t kAttributeNormal = 0x80;
constexpr uint32_t kInvalidHandle = 0xFFFFFFFF;

uint32_t Now() { return CallDll(Site(DLL_GET_TICK_COUNT, kRoutine, 1)); }

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
  if (!CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 2), request, what, Word(text), Word(&length), Word(&index)))
    return std::string();
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
  if (!CallDll(Site(DLL_INTERNET_QUERY_OPTION, kRoutine, 3), request, kOptionUrl, Word(final_url), Word(&length)))
    return true;  // unknown counts as not proven safe
  return !StartsWithNoCase(final_url, "https:");
}

uint32_t StatusCode(uint32_t request) {
  uint32_t status = 0, length = 4, index = 0;
  CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 4), request, kQueryStatusCode, Word(&status), Word(&length), Word(&index));
  return status;
}

uint32_t OpenRequest(TransferJob& job, const std::string& headers) {
  job.last_activity_tick.store(Now());
  uint32_t request = CallDll(Site(DLL_INTERNET_OPEN_URL, kRoutine, 5), job.root, Word(job.url), Word(headers.c_str()),
                             static_cast<uint32_t>(headers.size()), kRequestFlags, 0);
  if (request) job.request.store(request);
  return request;
}

// Closes the worker's own request, unless the window's thread has taken it.
void CloseRequest(TransferJob& job) {
  if (uint32_t request = job.request.exchange(0)) CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 6), request);
}

// What the part file will be, after the answer to a request.
enum class Plan {
  kRefused,   // an error or an answer that is no archive
  kFromZero,  // this answer's body is the whole archive
  kAppend,    // this answer's body is the rest of the part file's archive
  kComplete,  // the part file already holds the whole archive
  kAskAgain,  // a resumed request was not answered with the rest: ask for all of it
};

// The answer to a request from byte 0.
Plan PlanForWhole(const TransferJob& job, uint32_t request) {
  if (LeftTls(job.url, request) || StatusCode(request) >= 400) return Plan::kRefused;  // an error page is no archive
  // Encoded bytes would not be the archive when the system does not decode.
  if (BodyIsEncoded(request) && !job.decoding) return Plan::kRefused;
  return Plan::kFromZero;
}

// The answer to a request for the rest of the part file's archive. Only the
// rest of the same version, from the part file's end, is appended to it;
// anything else starts again from byte 0 (never a whole body after a part).
Plan PlanForRest(const TransferJob& job, uint32_t request) {
  if (LeftTls(job.url, request)) return Plan::kRefused;
  uint32_t status = StatusCode(request);
  if (status >= 400 && status != 416) return Plan::kRefused;
  if (BodyIsEncoded(request)) return Plan::kAskAgain;  // an encoded transfer is never resumed
  if (status == 200) return Plan::kFromZero;           // another version, or a server that ignores ranges
  ContentRange range;
  bool ranged = parse_content_range(QueryText(request, kQueryContentRange).c_str(), &range);
  bool same_total = ranged && range.total == job.resume_record.total;
  if (status == 206 && same_total && range.first == job.resume_from) return Plan::kAppend;
  if (status == 416 && same_total && range.first < 0 && job.resume_from == range.total) return Plan::kComplete;
  return Plan::kAskAgain;
}

// The record of a transfer from byte 0, written before its first body byte
// (or the old one removed when this one cannot be resumed).
void DescribePartFile(TransferJob& job, uint32_t request, bool encoded, int64_t total) {
  PartialRecord record;
  record.url = job.url;
  record.total = total;
  record.etag = QueryText(request, kQueryEtag);
  record.last_modified = QueryText(request, kQueryLastModified);
  bool resumable = !encoded && total > 0 && !if_range_validator(record).empty() && save_partial_record(job.files, record);
  if (!resumable) remove_partial_record(job.files);
  job.resumable.store(resumable);
}

// The archive's bytes from the part file's end on; the part file stays
// resumable under its record.
void GoOnFromPartFile(TransferJob& job) {
  job.resumable.store(true);
  job.base.store(job.resume_from);
  job.total.store(job.resume_record.total);
}

// The block loop: every block read is written whole before the next.
int32_t ReceiveBody(TransferJob& job, uint32_t request, uint32_t file) {
  int64_t received = 0;
  for (;;) {
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    uint32_t bytes_read = 0;
    if (!CallDll(Site(DLL_INTERNET_READ_FILE, kRoutine, 10), request, Word(job.block), TransferJob::kBlockSize,
                 Word(&bytes_read)))
      return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
    if (bytes_read == 0) break;
    // Stopped while the read waited: the window's thread may have left this
    // worker behind and started another transfer on the same part file.
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    uint32_t written = 0;
    if (!CallDll(Site(DLL_WRITE_FILE, kRoutine, 11), file, Word(job.block), bytes_read, Word(&written), 0) ||
        written != bytes_read)
      return DOWNLOAD_NO_FILE;  // a full disk or a vanished folder
    received += bytes_read;
    job.received.store(received, std::memory_order_release);
    job.last_activity_tick.store(Now(), std::memory_order_release);
  }
  // A connection that ended before the announced length is a failed read.
  int64_t total = job.total.load();
  return total >= 0 && job.base.load() + received < total ? DOWNLOAD_READ_FAILED : DOWNLOAD_OK;
}

// The request (for the rest of a part file, or from byte 0), the plan its
// answer allows, and the body into the part file; the file is left open in
// *file for the caller to close.
int32_t Transfer(TransferJob& job, uint32_t* file) {
  bool resuming = job.resume_from > 0;
  uint32_t request = OpenRequest(job, resuming ? job.resume_headers : job.headers);
  if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
  if (job.cancel.load()) return DOWNLOAD_CANCELLED;
  Plan plan = resuming ? PlanForRest(job, request) : PlanForWhole(job, request);
  if (plan == Plan::kAskAgain) {
    CloseRequest(job);
    request = OpenRequest(job, job.headers);
    if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    plan = PlanForWhole(job, request);
  }
  if (plan == Plan::kRefused) return DOWNLOAD_NO_RESPONSE;

  if (plan == Plan::kComplete) {
    GoOnFromPartFile(job);
    job.phase.store(TransferPhase::kReceiving);  // nothing more to come: the figures are final
    return DOWNLOAD_OK;
  }
  bool appending = plan == Plan::kAppend;
  *file = CallDll(Site(DLL_CREATE_FILE_W, kRoutine, 12), Word(job.files.part.c_str()),
                  appending ? kAppendData : kGenericWrite, kShareAll, 0, appending ? kOpenExisting : kCreateAlways,
                  kAttributeNormal, 0);
  if (*file == kInvalidHandle) return DOWNLOAD_NO_FILE;
  if (appending) {
    GoOnFromPartFile(job);
  } else {
    bool encoded = BodyIsEncoded(request);
    // A decoded body's length is not the announced one.
    int64_t total = encoded ? -1 : parse_content_length(QueryText(request, kQueryContentLength).c_str());
    job.total.store(total);
    // The part file is empty now, so a record written here never describes
    // bytes of another version.
    DescribePartFile(job, request, encoded, total);
  }
  job.last_activity_tick.store(Now());
  job.phase.store(TransferPhase::kReceiving);
  return ReceiveBody(job, request, *file);
}

}  // namespace

std::atomic<bool> transfer_workers_must_quit{false};

extern "C" uint32_t __stdcall run_transfer_worker(void* argument) {
  auto& job = *static_cast<TransferJob*>(argument);
  uint32_t wininet = job.wininet;
  uint32_t file = kInvalidHandle;
  int32_t result = Transfer(job, &file);
  // A worker left behind that wakes while the program ends calls nothing
  // more: the runtime is releasing the table its DLL calls go through.
  if (transfer_workers_must_quit.load()) return 0;
  if (file != kInvalidHandle && !CallDll(Site(DLL_CLOSE_HANDLE, kRoutine, 14), file) && result == DOWNLOAD_OK)
    result = DOWNLOAD_NO_FILE;
  job.result = result;
  // Whoever takes the request handle out closes it: here, or the window's
  // thread when it stops the transfer.
  CloseRequest(job);
  if (wininet) CallDll(Site(DLL_FREE_LIBRARY_AND_EXIT_THREAD, kRoutine, 15), wininet, 0);  // does not return
  return 0;
}
