// The worker thread of a transfer: the request, the response's headers and
// the block loop, writing the body to the part file. See transfer_job.h for
// what it may call.
#include <cstring>

#include "app_calls.h"
#include "download.h"
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
constexpr uint32_t kOptionUrl = 34;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kAppendData = 4;
// Others may read, and a later transfer may take the file over should this
// worker be left behind in a read that does not end.
constexpr uint32_t kShareAll = 7;
constexpr uint32_t kCreateAlways = 2;
constexpr uint32_t kOpenAlways = 4;
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
  char text[128] = {};
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

int32_t CheckResponse(const TransferJob& job, uint32_t request, bool* encoded) {
  if (LeftTls(job.url, request)) return DOWNLOAD_NO_RESPONSE;
  // An error page is no archive.
  uint32_t status = 0, length = 4, index = 0;
  if (CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 4), request, kQueryStatusCode, Word(&status), Word(&length),
              Word(&index)) &&
      status >= 400)
    return DOWNLOAD_NO_RESPONSE;
  *encoded = BodyIsEncoded(request);
  if (*encoded && !job.decoding) return DOWNLOAD_NO_RESPONSE;  // the bytes would not be the archive
  return DOWNLOAD_OK;
}

// The block loop: every block read is written whole before the next.
int32_t ReceiveBody(TransferJob& job, uint32_t request, uint32_t file) {
  int64_t received = 0;
  for (;;) {
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    uint32_t bytes_read = 0;
    if (!CallDll(Site(DLL_INTERNET_READ_FILE, kRoutine, 5), request, Word(job.block), TransferJob::kBlockSize,
                 Word(&bytes_read)))
      return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
    if (bytes_read == 0) break;
    // Stopped while the read waited: the window's thread may have left this
    // worker behind and started another transfer on the same part file.
    if (job.cancel.load()) return DOWNLOAD_CANCELLED;
    uint32_t written = 0;
    if (!CallDll(Site(DLL_WRITE_FILE, kRoutine, 6), file, Word(job.block), bytes_read, Word(&written), 0) ||
        written != bytes_read)
      return DOWNLOAD_NO_FILE;  // a full disk or a vanished folder
    received += bytes_read;
    job.received.store(received, std::memory_order_release);
    job.last_activity_tick.store(Now(), std::memory_order_release);
  }
  // A connection that ended before the announced length is a failed read.
  int64_t total = job.total.load();
  return total >= 0 && received < total ? DOWNLOAD_READ_FAILED : DOWNLOAD_OK;
}

// The request and the body; the part file is left open in *file for the
// caller to close.
int32_t Transfer(TransferJob& job, uint32_t* file) {
  job.last_activity_tick.store(Now());
  uint32_t request = CallDll(Site(DLL_INTERNET_OPEN_URL, kRoutine, 7), job.root, Word(job.url),
                             Word(job.headers.c_str()), static_cast<uint32_t>(job.headers.size()), kRequestFlags, 0);
  if (!request) return job.cancel.load() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_RESPONSE;
  job.request.store(request);
  if (job.cancel.load()) return DOWNLOAD_CANCELLED;
  bool encoded = false;
  if (int32_t refused = CheckResponse(job, request, &encoded)) return refused;
  // A decoded body's length is not the announced one.
  job.total.store(encoded ? -1 : parse_content_length(QueryText(request, kQueryContentLength).c_str()));

  *file = CallDll(Site(DLL_CREATE_FILE_W, kRoutine, 8), Word(job.part_path.c_str()),
                  job.append ? kAppendData : kGenericWrite, kShareAll, 0, job.append ? kOpenAlways : kCreateAlways,
                  kAttributeNormal, 0);
  if (*file == kInvalidHandle) return DOWNLOAD_NO_FILE;
  job.last_activity_tick.store(Now());
  job.phase.store(TransferPhase::kReceiving);
  return ReceiveBody(job, request, *file);
}

}  // namespace

int64_t parse_content_length(const char* text) {
  if (!text || !*text) return -1;
  int64_t value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return -1;
    int digit = *p - '0';
    if (value > (INT64_MAX - digit) / 10) return -1;
    value = value * 10 + digit;
  }
  return value;
}

std::atomic<bool> transfer_workers_must_quit{false};

extern "C" uint32_t __stdcall run_transfer_worker(void* argument) {
  auto& job = *static_cast<TransferJob*>(argument);
  uint32_t module = CallDll(Site(DLL_LOAD_LIBRARY_W, kRoutine, 10), Word(L"wininet.dll"));
  uint32_t file = kInvalidHandle;
  int32_t result = Transfer(job, &file);
  // A worker left behind that wakes while the program ends calls nothing
  // more: the runtime is releasing the table its DLL calls go through.
  if (transfer_workers_must_quit.load()) return 0;
  if (file != kInvalidHandle && !CallDll(Site(DLL_CLOSE_HANDLE, kRoutine, 9), file) && result == DOWNLOAD_OK)
    result = DOWNLOAD_NO_FILE;
  job.result = result;
  // Whoever takes the request handle out closes it: here, or the window's
  // thread when it stops the transfer.
  if (uint32_t request = job.request.exchange(0)) CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 11), request);
  if (module) CallDll(Site(DLL_FREE_LIBRARY_AND_EXIT_THREAD, kRoutine, 12), module, 0);  // does not return
  return 0;
}
