#include "archive_hasher.h"

#include <cstring>

#include "app_calls.h"

namespace {

// Routine id of the archive hasher, for its DLL call sites.
constexpr int32_t kRoutine = 0x04010109;

constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kShareAll = 7;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kSequentialScan = 0x08000000;
constexpr uint32_t kReadSize = 1 << 16;

}  // namespace

ArchiveHasher::~ArchiveHasher() { Close(); }

void ArchiveHasher::Close() {
  if (file_ != kNoFile) CallDll(Site(DLL_CLOSE_HANDLE, kRoutine, 1), file_);
  file_ = kNoFile;
}

bool ArchiveHasher::Start(const std::wstring& part_path) {
  Close();
  hashed_ = 0;
  buffer_.resize(kReadSize);
  file_ = CallDll(Site(DLL_CREATE_FILE_W, kRoutine, 2), Word(part_path.c_str()), kGenericRead, kShareAll, 0,
                  kOpenExisting, kSequentialScan, 0);
  return file_ != kNoFile && hash_.Start();
}

bool ArchiveHasher::HashUpTo(int64_t end, uint32_t budget) {
  while (hashed_ < end && budget > 0) {
    int64_t left = end - hashed_;
    uint32_t want = left < kReadSize ? static_cast<uint32_t>(left) : kReadSize;
    if (want > budget) want = budget;
    uint32_t got = 0;
    // Reads follow one another: the position is where the last one ended.
    if (!CallDll(Site(DLL_READ_FILE, kRoutine, 3), file_, Word(buffer_.data()), want, Word(&got), 0) || got != want ||
        !hash_.Add(buffer_.data(), got))
      return false;
    hashed_ += got;
    budget -= got;
  }
  return true;
}

bool ArchiveHasher::Matches(const uint8_t expected[32]) {
  uint8_t digest[32];
  Close();
  return hash_.Finish(digest) && std::memcmp(digest, expected, sizeof digest) == 0;
}
