#include "app/archive_hasher.h"

#include "app/runtime_calls.h"
#include "app/win32_constants.h"

using namespace win32;

namespace {

// Routine id of the archive hasher, for its DLL call sites.
constexpr int32_t kRoutine = 0x04010109;

constexpr uint32_t kReadSize = 1 << 16;

}  // namespace

ArchiveHasher::~ArchiveHasher() { Close(); }

void ArchiveHasher::Close() {
  if (file_ != kNoFile) dll::CloseHandle(kRoutine, file_);
  file_ = kNoFile;
}

bool ArchiveHasher::Start(const std::wstring& part_path) {
  Close();
  hashed_ = 0;
  buffer_.resize(kReadSize);
  file_ =
      dll::CreateFileW(kRoutine, part_path.c_str(), kGenericRead, kShareAll, 0, kOpenExisting, kFlagSequentialScan, 0);
  return file_ != kNoFile && hash_.Start();
}

bool ArchiveHasher::HashUpTo(int64_t end, uint32_t budget) {
  while (hashed_ < end && budget > 0) {
    int64_t left = end - hashed_;
    uint32_t want = left < kReadSize ? static_cast<uint32_t>(left) : kReadSize;
    if (want > budget) want = budget;
    uint32_t got = 0;
    // Reads follow one another: the position is where the last one ended.
    if (!dll::ReadFile(kRoutine, file_, buffer_.data(), want, &got, 0) || got != want ||
        !hash_.Add(buffer_.data(), got))
      return false;
    hashed_ += got;
    budget -= got;
  }
  return true;
}

bool ArchiveHasher::Finish(uint8_t digest[32]) {
  Close();
  return hash_.Finish(digest);
}
