#include "download.h"

#include <string>

#include "app_calls.h"

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
// Reload, no cache write, pragma no-cache. Never an ignore-certificate flag:
// an https archive is taken only from a server the system trusts.
constexpr uint32_t kRequestFlags = 0x84000100;
constexpr uint32_t kQueryContentLength = 5;  // as text: the number flag stops at 32 bits
constexpr uint32_t kQueryStatusCode = 0x20000013;
constexpr uint32_t kQueryContentEncoding = 29;
constexpr uint32_t kOptionUrl = 34;
constexpr uint32_t kOptionHttpDecoding = 65;
constexpr int32_t kBlockSize = 10240;
constexpr uint32_t kMoveReplaceExisting = 1, kMoveCopyAllowed = 2, kMoveWriteThrough = 8;
constexpr uint32_t kKeepAliveIntervalMs = 100;

// Releases what one call opened, on every road out.
struct Transfer {
  uint32_t root = 0;
  uint32_t request = 0;
  int32_t file = 0;
  std::string temporary;  // the file being written, when not yet in place

  ~Transfer() {
    CloseFile();
    if (!temporary.empty()) Core(CMD_DELETE_FILE, Text(temporary.c_str()));
    if (request) CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 1), request);
    if (root) CallDll(Site(DLL_INTERNET_CLOSE_HANDLE, kRoutine, 2), root);
  }
  void CloseFile() {
    if (file) Core(CMD_CLOSE_FILE, ArgRecord::Int(file));
    file = 0;
  }
};

uint32_t QueryNumber(uint32_t request, uint32_t what, bool* ok) {
  uint32_t value = 0, length = 4, index = 0;
  *ok = CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 3), request, what, Word(&value), Word(&length), Word(&index)) != 0;
  return *ok ? value : 0;
}

// A response header as text; empty when the server sent none.
std::string QueryText(uint32_t request, uint32_t what) {
  char text[128] = {};
  uint32_t length = sizeof text - 1, index = 0;
  if (!CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 4), request, what, Word(text), Word(&length), Word(&index)))
    return std::string();
  return text;
}

// True when the server encoded the body (gzip, deflate).
bool BodyIsEncoded(uint32_t request) {
  std::string encoding = QueryText(request, kQueryContentEncoding);
  return !encoding.empty() && Core(CMD_FIND_TEXT, Text(encoding.c_str()), Text("identity"), ArgRecord::Omitted(),
                                   ArgRecord::Bool(true)).as_int() == -1;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  return Core(CMD_FIND_TEXT, Text(text), Text(prefix), ArgRecord::Omitted(), ArgRecord::Bool(true)).as_int() == 1;
}

// Whether an https request ended on a plain http address. WinINet follows
// redirects by itself, and Wine follows one from https to http without a
// word, so the engine looks where the chain ended.
bool LeftTls(const char* url, uint32_t request) {
  if (!StartsWithNoCase(url, "https:")) return false;
  char final_url[2048] = {};
  uint32_t length = sizeof final_url - 1;
  if (!CallDll(Site(DLL_INTERNET_QUERY_OPTION, kRoutine, 7), request, kOptionUrl, Word(final_url), Word(&length)))
    return true;  // unknown counts as not proven safe
  return !StartsWithNoCase(final_url, "https:");
}

// Input that arrives during a transfer is dropped (no second click may start
// a second transfer); looking at the queue also keeps the window from being
// shown as not responding.
void KeepWindowAlive() {
  uint32_t msg[7];
  for (uint32_t first : {0x0100u /*WM_KEYFIRST*/, 0x0200u /*WM_MOUSEFIRST*/}) {
    uint32_t last = first == 0x0100u ? 0x0109u : 0x020Eu;
    while (CallDll(Site(DLL_PEEK_MESSAGE_W, kRoutine, 5), Word(msg), 0, first, last, 1 /*PM_REMOVE*/)) {
    }
  }
  CallDll(Site(DLL_PEEK_MESSAGE_W, kRoutine, 6), Word(msg), 0, 0, 0, 0 /*PM_NOREMOVE*/);
}

bool MoveIntoPlace(const std::string& from, const char* to) {
  std::wstring source = WideText(from.c_str()), target = WideText(to);
  return CallDll(Site(DLL_MOVE_FILE_EX_W, kRoutine, 9), Word(source.c_str()), Word(target.c_str()),
                 kMoveReplaceExisting | kMoveCopyAllowed | kMoveWriteThrough) != 0;
}

uint32_t Now() { return static_cast<uint32_t>(Core(CMD_TICK_COUNT).as_int()); }

// Called directly, not through CallWindowProcA: there Wine takes the first
// word for a window handle and looks it up in wineserver on every block,
// which cost a quarter of the download speed.
void Report(ProgressRoutine progress, const DownloadProgress& record) { progress(&record, 0, 0, 0); }

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

int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int64_t start_offset,
                      bool resume) {
  Transfer transfer;
  uint32_t connection_flags = 0;
  CallDll(Site(DLL_INTERNET_GET_CONNECTED_STATE, kRoutine, 10), Word(&connection_flags), 0);
  Owned tick_text(Core(CMD_TO_TEXT, ArgRecord::Int(Core(CMD_TICK_COUNT).as_int())));
  std::string agent = std::string("Agent") + tick_text.text();
  bool direct = Core(CMD_BIT_AND, ArgRecord::Int(static_cast<int32_t>(connection_flags)),
                     ArgRecord::Int(kConnectionProxy)).as_int() == 0;
  transfer.root = CallDll(Site(DLL_INTERNET_OPEN, kRoutine, 11), Word(agent.c_str()),
                          direct ? kAccessPreconfigNoAutoproxy : kAccessPreconfig, 0, 0, 0);
  if (!transfer.root) return DOWNLOAD_NO_SESSION;
  // Let WinINet undo a gzip or deflate encoding, so the file is the resource.
  // A system that will not decode is not offered the encodings at all.
  uint32_t decode = 1;
  bool decoding =
      CallDll(Site(DLL_INTERNET_SET_OPTION, kRoutine, 12), transfer.root, kOptionHttpDecoding, Word(&decode), 4) != 0;

  std::string headers = request_headers(decoding, resume, start_offset);
  Owned buffer(Core(CMD_ZERO_BYTES, ArgRecord::Int(kBlockSize)));
  int32_t header_length = Core(CMD_TEXT_LENGTH, Text(headers.c_str())).as_int();
  transfer.request = CallDll(Site(DLL_INTERNET_OPEN_URL, kRoutine, 13), transfer.root, Word(url), Word(headers.c_str()),
                             header_length, kRequestFlags, 0);
  if (!transfer.request) return DOWNLOAD_NO_RESPONSE;
  if (LeftTls(url, transfer.request)) return DOWNLOAD_NO_RESPONSE;
  // An error page is no archive.
  bool have_status = false;
  uint32_t status = QueryNumber(transfer.request, kQueryStatusCode, &have_status);
  if (have_status && status >= 400) return DOWNLOAD_NO_RESPONSE;
  bool encoded = BodyIsEncoded(transfer.request);
  if (encoded && !decoding) return DOWNLOAD_NO_RESPONSE;  // the bytes would not be the archive

  int64_t downloaded = 0;
  if (resume) {
    bool exists = Core(CMD_FILE_EXISTS, Text(local_path)).as_bool();
    transfer.file = Core(CMD_OPEN_FILE, Text(local_path), ArgRecord::Int(exists ? OPENMODE_WRITE_CREATE
                                                                                : OPENMODE_REWRITE)).as_int();
    if (transfer.file) Core(CMD_SEEK_TO_END, ArgRecord::Int(transfer.file));
    downloaded = start_offset;
  } else {
    transfer.temporary = std::string(local_path) + ".part";
    transfer.file = Core(CMD_OPEN_FILE, Text(transfer.temporary.c_str()), ArgRecord::Int(OPENMODE_REWRITE)).as_int();
  }
  if (!transfer.file) return DOWNLOAD_NO_FILE;

  // A decoded body's length is not the announced one.
  int64_t content_length =
      encoded ? -1 : parse_content_length(QueryText(transfer.request, kQueryContentLength).c_str());
  uint32_t start_tick = Now();
  DownloadProgress record = {content_length < 0 ? -1 : content_length + downloaded, downloaded, 0, 10, 0};
  uint32_t last_keep_alive = start_tick;
  // The figures after the last block, on every road out of the loop.
  auto finish = [&] {
    auto elapsed = Now() - start_tick;
    record.elapsed_ms = elapsed ? elapsed : 10;
    record.finished = 1;
    Report(progress, record);
  };

  uint8_t* data = ByteArrayData(buffer.block());
  for (;;) {
    uint32_t bytes_read = 0;
    if (!CallDll(Site(DLL_INTERNET_READ_FILE, kRoutine, 14), transfer.request, Word(data), kBlockSize,
                 Word(&bytes_read))) {
      finish();
      return DOWNLOAD_READ_FAILED;
    }
    if (bytes_read == 0) break;
    Owned block(Core(CMD_BYTES_LEFT, ArgRecord::Bytes(buffer.block()), ArgRecord::Int(static_cast<int32_t>(bytes_read))));
    if (!Core(CMD_WRITE_BYTES, ArgRecord::Int(transfer.file), ArgRecord::Bytes(block.block())).as_bool()) {
      finish();
      return DOWNLOAD_NO_FILE;  // a full disk or a vanished folder
    }
    record.downloaded += bytes_read;
    record.bytes_this_call += bytes_read;
    // Unsigned ticks: the difference stays right when the counter wraps.
    uint32_t now = Now();
    record.elapsed_ms = now - start_tick ? now - start_tick : 10;
    if (now - last_keep_alive >= kKeepAliveIntervalMs) {
      KeepWindowAlive();
      last_keep_alive = now;
    }
    Report(progress, record);
  }
  finish();
  // A connection that ended before the announced length is a failed read.
  if (record.total >= 0 && record.downloaded < record.total) return DOWNLOAD_READ_FAILED;
  transfer.CloseFile();
  if (!transfer.temporary.empty()) {
    if (!MoveIntoPlace(transfer.temporary, local_path)) return DOWNLOAD_NO_FILE;
    transfer.temporary.clear();
  }
  return DOWNLOAD_OK;
}
