#include "app/partial_download.h"

#include "app/http_values.h"
#include "app/runtime_calls.h"
#include "app/win32_constants.h"

using namespace win32;

namespace {

// Routine id of the partial-download helpers, for their DLL call sites.
constexpr int32_t kRoutine = 0x04010107;

// The first format had no "valid" line; such a record is no record, and
// its part file starts again from byte 0.
constexpr char kFirstLine[] = "qelmo partial 2";
constexpr int64_t kLargestRecord = 16384;

// One "name value" line; false when the line is not that field.
bool TakeField(const std::string& line, const char* name, std::string* value) {
  std::string prefix = std::string(name) + " ";
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  *value = line.substr(prefix.size());
  return true;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string format_partial_record(const PartialRecord& record) {
  return std::string(kFirstLine) + "\nurl " + record.url + "\ntotal " + std::to_string(record.total) + "\netag " +
         record.etag + "\nlast-modified " + record.last_modified + "\nvalid " + std::to_string(record.valid) + "\n";
}

bool parse_partial_record(const std::string& text, PartialRecord* record) {
  std::string lines[6];
  size_t start = 0;
  for (std::string& line : lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    line = text.substr(start, end - start);
    start = end + 1;
  }
  if (start != text.size() || lines[0] != kFirstLine) return false;
  PartialRecord parsed;
  std::string total, valid;
  if (!TakeField(lines[1], "url", &parsed.url) || !TakeField(lines[2], "total", &total) ||
      !TakeField(lines[3], "etag", &parsed.etag) || !TakeField(lines[4], "last-modified", &parsed.last_modified) ||
      !TakeField(lines[5], "valid", &valid))
    return false;
  parsed.total = parse_content_length(total.c_str());
  parsed.valid = parse_content_length(valid.c_str());
  if (parsed.url.empty() || parsed.total < 0 || parsed.valid < 0 || parsed.valid > parsed.total) return false;
  *record = parsed;
  return true;
}

std::string if_range_validator(const PartialRecord& record) {
  bool strong_etag = record.etag.size() >= 2 && record.etag.front() == '"' && record.etag.back() == '"';
  if (strong_etag) return record.etag;
  return record.last_modified;
}

PartialFiles partial_files_of(const char* local_path) {
  std::wstring part = WideText((std::string(local_path) + ".part").c_str());
  return PartialFiles{part, part + L".info", part + L".info.new"};
}

bool save_partial_record(const PartialFiles& files, const PartialRecord& record) {
  if (HasLineBreak(record.url) || HasLineBreak(record.etag) || HasLineBreak(record.last_modified)) return false;
  std::string text = format_partial_record(record);
  uint32_t file = dll::CreateFileW(kRoutine, files.record_new.c_str(), kGenericWrite, 0, 0, kCreateAlways, 0, 0);
  if (file == kInvalidHandle) return false;
  uint32_t written = 0;
  bool whole = dll::WriteFile(kRoutine, file, text.data(), static_cast<uint32_t>(text.size()), &written, 0) != 0 &&
               written == text.size();
  // On disk before it replaces the old record: it vouches for the part's
  // bytes after a power cut.
  whole = whole && dll::FlushFileBuffers(kRoutine, file) != 0;
  whole = dll::CloseHandle(kRoutine, file) != 0 && whole;
  if (whole && dll::MoveFileExW(kRoutine, files.record_new.c_str(), files.record.c_str(),
                                kMoveReplaceExisting | kMoveWriteThrough))
    return true;
  dll::DeleteFileW(kRoutine, files.record_new.c_str());
  return false;
}

bool load_partial_record(const PartialFiles& files, PartialRecord* record) {
  int64_t size = file_size(files.record);
  if (size <= 0 || size > kLargestRecord) return false;
  uint32_t file = dll::CreateFileW(kRoutine, files.record.c_str(), kGenericRead, kShareAll, 0, kOpenExisting, 0, 0);
  if (file == kInvalidHandle) return false;
  std::string text(static_cast<size_t>(size), '\0');
  uint32_t read = 0;
  bool whole = dll::ReadFile(kRoutine, file, text.data(), static_cast<uint32_t>(size), &read, 0) != 0 && read == size;
  dll::CloseHandle(kRoutine, file);
  return whole && parse_partial_record(text, record);
}

void remove_partial_record(const PartialFiles& files) { dll::DeleteFileW(kRoutine, files.record.c_str()); }

void remove_partial(const PartialFiles& files) {
  dll::DeleteFileW(kRoutine, files.part.c_str());
  remove_partial_record(files);
}

int64_t file_size(const std::wstring& path) {
  struct {
    uint32_t attributes;
    uint32_t times[6];
    uint32_t size_high, size_low;
  } data = {};
  if (!dll::GetFileAttributesExW(kRoutine, path.c_str(), kGetFileExInfoStandard, &data)) return -1;
  return static_cast<int64_t>(data.size_high) << 32 | data.size_low;
}
