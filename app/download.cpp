#include "download.h"

#include <string>

#include "app_calls.h"

const char kRequestHeaders[] =
    "Accept: */*\r\nAccept-Language: zh-cn\r\nAccept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

namespace {

// Routine id of download_file, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010102;

constexpr uint32_t kAccessPreconfigNoAutoproxy = 4;
constexpr uint32_t kAccessPreconfig = 0;
constexpr uint32_t kConnectionProxy = 4;
constexpr uint32_t kRequestFlags = 0x84000100;  // reload, no cache write, pragma no-cache
constexpr uint32_t kQueryContentLength = 0x20000005;
constexpr uint32_t kQueryStatusCode = 0x20000013;
constexpr uint32_t kQueryContentEncoding = 29;
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

// True when the server encoded the body (gzip, deflate): WinINet hands us
// the decoded bytes, so the announced length is not the length we receive.
bool BodyIsEncoded(uint32_t request) {
  char encoding[64] = {};
  uint32_t length = sizeof encoding - 1, index = 0;
  if (!CallDll(Site(DLL_HTTP_QUERY_INFO, kRoutine, 4), request, kQueryContentEncoding, Word(encoding), Word(&length),
               Word(&index)))
    return false;
  return encoding[0] != '\0' && Core(CMD_FIND_TEXT, Text(encoding), Text("identity"), ArgRecord::Omitted(),
                                     ArgRecord::Bool(true)).as_int() == -1;
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

}  // namespace

int32_t download_file(const char* url, const char* local_path, ProgressRoutine progress, int32_t start_offset,
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
  uint32_t decode = 1;
  CallDll(Site(DLL_INTERNET_SET_OPTION, kRoutine, 12), transfer.root, kOptionHttpDecoding, Word(&decode), 4);

  std::string headers = kRequestHeaders;
  if (resume) {
    Owned offset_text(Core(CMD_TO_TEXT, ArgRecord::Int(start_offset)));
    headers += std::string("\r\nRange:bytes=") + offset_text.text() + "-";
  }
  Owned buffer(Core(CMD_ZERO_BYTES, ArgRecord::Int(kBlockSize)));
  int32_t header_length = Core(CMD_TEXT_LENGTH, Text(headers.c_str())).as_int();
  transfer.request = CallDll(Site(DLL_INTERNET_OPEN_URL, kRoutine, 13), transfer.root, Word(url), Word(headers.c_str()),
                             header_length, kRequestFlags, 0);
  if (!transfer.request) return DOWNLOAD_NO_RESPONSE;
  // An error page is no archive.
  bool have_status = false;
  uint32_t status = QueryNumber(transfer.request, kQueryStatusCode, &have_status);
  if (have_status && status >= 400) return DOWNLOAD_NO_RESPONSE;

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

  bool have_length = false;
  int32_t content_length = static_cast<int32_t>(QueryNumber(transfer.request, kQueryContentLength, &have_length));
  if (BodyIsEncoded(transfer.request)) content_length = 0;  // decoded: its length is not announced
  uint32_t start_tick = static_cast<uint32_t>(Core(CMD_TICK_COUNT).as_int());
  auto total = static_cast<int32_t>(content_length + downloaded);
  uint32_t last_keep_alive = start_tick;

  uint8_t* data = ByteArrayData(buffer.block());
  for (;;) {
    uint32_t bytes_read = 0;
    if (!CallDll(Site(DLL_INTERNET_READ_FILE, kRoutine, 14), transfer.request, Word(data), kBlockSize, Word(&bytes_read)))
      return DOWNLOAD_READ_FAILED;
    if (bytes_read == 0) break;
    Owned block(Core(CMD_BYTES_LEFT, ArgRecord::Bytes(buffer.block()), ArgRecord::Int(static_cast<int32_t>(bytes_read))));
    if (!Core(CMD_WRITE_BYTES, ArgRecord::Int(transfer.file), ArgRecord::Bytes(block.block())).as_bool())
      return DOWNLOAD_NO_FILE;  // a full disk or a vanished folder
    downloaded += bytes_read;
    // Unsigned ticks: the difference stays right when the counter wraps.
    uint32_t now = static_cast<uint32_t>(Core(CMD_TICK_COUNT).as_int());
    auto elapsed = static_cast<int32_t>(now - start_tick);
    if (elapsed == 0) elapsed = 10;
    if (now - last_keep_alive >= kKeepAliveIntervalMs) {
      KeepWindowAlive();
      last_keep_alive = now;
    }
    CallDll(Site(DLL_CALL_WINDOW_PROC, kRoutine, 15), Word(reinterpret_cast<void*>(progress)), total,
            static_cast<uint32_t>(downloaded), elapsed, static_cast<uint32_t>(downloaded - start_offset));
  }
  // A connection that ended before the announced length is a failed read.
  if (content_length > 0 && downloaded < total) return DOWNLOAD_READ_FAILED;
  transfer.CloseFile();
  if (!transfer.temporary.empty()) {
    if (!MoveIntoPlace(transfer.temporary, local_path)) return DOWNLOAD_NO_FILE;
    transfer.temporary.clear();
  }
  return DOWNLOAD_OK;
}
