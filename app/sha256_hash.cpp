#include "app/sha256_hash.h"

#include "app/hex_bytes.h"
#include "app/runtime_calls.h"

namespace {

// Routine id of the hash helpers, for their DLL call sites.
constexpr int32_t kRoutine = 0x04010108;

}  // namespace

Sha256::~Sha256() { Release(); }

void Sha256::Release() {
  if (hash_) dll::BCryptDestroyHash(kRoutine, hash_);
  if (algorithm_) dll::BCryptCloseAlgorithmProvider(kRoutine, algorithm_, 0);
  hash_ = algorithm_ = 0;
}

bool Sha256::Start() {
  Release();
  // CNG answers an NTSTATUS: 0 is success.
  if (dll::BCryptOpenAlgorithmProvider(kRoutine, &algorithm_, L"SHA256", 0, 0) != 0) {
    algorithm_ = 0;
    return false;
  }
  uint32_t object_size = 0, got = 0;
  if (dll::BCryptGetProperty(kRoutine, algorithm_, L"ObjectLength", &object_size, 4, &got, 0) != 0) return false;
  object_.assign(object_size, 0);
  return dll::BCryptCreateHash(kRoutine, algorithm_, &hash_, object_.data(), object_size, 0, 0, 0) == 0;
}

bool Sha256::Add(const uint8_t* data, uint32_t size) {
  return hash_ && dll::BCryptHashData(kRoutine, hash_, data, size, 0) == 0;
}

bool Sha256::Finish(uint8_t digest[32]) {
  bool done = hash_ && dll::BCryptFinishHash(kRoutine, hash_, digest, 32, 0) == 0;
  Release();
  return done;
}

bool parse_sha256_hex(const char* text, uint8_t digest[32]) { return text && parse_hex_bytes(text, digest, 32); }
