#include "app/publisher_check.h"

#include <cstring>

#include "app/runtime_calls.h"
#include "app/sha256_hash.h"

namespace {

// Routine id of the signature check, for its DLL call sites.
constexpr int32_t kRoutine = 0x0401010A;

#ifndef QELMO_PUBLISHER_KEYS
#define QELMO_PUBLISHER_KEYS ""
#endif

// A P-256 public key as CNG imports it: BCRYPT_ECCKEY_BLOB (its magic
// BCRYPT_ECDSA_PUBLIC_P256_MAGIC, "ECS1", and the size of a coordinate),
// then X and Y.
struct EccPublicBlob {
  uint32_t magic = 0x31534345;
  uint32_t coordinate_bytes = 32;
  uint8_t point[64];
};
static_assert(sizeof(EccPublicBlob) == 72);

// True only for a signature that verifies; any other answer (an invalid
// signature, a key the system refuses) is false.
bool VerifiesWith(uint32_t algorithm, const PublisherKey& key, const uint8_t message_hash[32],
                  const RawSignature& signature) {
  EccPublicBlob blob;
  std::memcpy(blob.point, key.data(), key.size());
  uint32_t key_handle = 0;
  if (dll::BCryptImportKeyPair(kRoutine, algorithm, 0, L"ECCPUBLICBLOB", &key_handle, &blob, sizeof blob, 0) != 0)
    return false;
  bool verified = dll::BCryptVerifySignature(kRoutine, key_handle, nullptr, message_hash, 32, signature.data(),
                                             static_cast<uint32_t>(signature.size()), 0) == 0;
  dll::BCryptDestroyKey(kRoutine, key_handle);
  return verified;
}

}  // namespace

bool publisher_keys_given() { return QELMO_PUBLISHER_KEYS[0] != '\0'; }

std::optional<std::vector<PublisherKey>> build_publisher_keys() { return parse_publisher_keys(QELMO_PUBLISHER_KEYS); }

bool publisher_signed(const std::vector<PublisherKey>& keys, const uint8_t archive_sha256[32],
                      std::string_view file_name, const RawSignature& signature) {
  std::vector<uint8_t> message = signed_message(archive_sha256, file_name);
  uint8_t message_hash[32];
  Sha256 hash;
  if (!hash.Start() || !hash.Add(message.data(), static_cast<uint32_t>(message.size())) || !hash.Finish(message_hash))
    return false;
  uint32_t algorithm = 0;
  if (dll::BCryptOpenAlgorithmProvider(kRoutine, &algorithm, L"ECDSA_P256", nullptr, 0) != 0) return false;
  bool signed_by_one = false;
  for (const PublisherKey& key : keys)
    if ((signed_by_one = VerifiesWith(algorithm, key, message_hash, signature))) break;
  dll::BCryptCloseAlgorithmProvider(kRoutine, algorithm, 0);
  return signed_by_one;
}
