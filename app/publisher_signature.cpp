#include "app/publisher_signature.h"

#include <algorithm>

#include "app/hex_bytes.h"

namespace {

// One DER INTEGER at `at`, a positive number of at most 32 bytes written in
// its shortest form, into `out` right-aligned; advances `at`.
bool ReadInteger(const uint8_t* bytes, size_t size, size_t& at, uint8_t out[32]) {
  if (size - at < 2 || bytes[at] != 0x02) return false;
  size_t length = bytes[at + 1];
  at += 2;
  if (length == 0 || length > 33 || size - at < length) return false;
  const uint8_t* value = bytes + at;
  if (value[0] & 0x80) return false;                                        // negative
  if (length > 1 && value[0] == 0 && !(value[1] & 0x80)) return false;      // a needless leading zero
  if (value[0] == 0) ++value, --length;                                     // the sign byte
  if (length > 32) return false;
  if (length == 0) return false;                                            // zero
  std::fill(out, out + 32 - length, 0);
  std::copy(value, value + length, out + 32 - length);
  at = static_cast<size_t>(value + length - bytes);
  return true;
}

std::optional<PublisherKey> ParseKey(std::string_view hex) {
  PublisherKey key;
  if (hex.substr(0, 2) != "04" || !parse_hex_bytes(hex.substr(2), key.data(), key.size())) return std::nullopt;
  return key;
}

}  // namespace

std::optional<RawSignature> parse_signature_file(const uint8_t* bytes, size_t size) {
  // SEQUENCE with a short-form length: two integers of at most 35 bytes.
  if (!bytes || size < 8 || size > kMaxSignatureFileBytes || bytes[0] != 0x30) return std::nullopt;
  if (bytes[1] & 0x80 || static_cast<size_t>(bytes[1]) != size - 2) return std::nullopt;
  RawSignature signature;
  size_t at = 2;
  if (!ReadInteger(bytes, size, at, signature.data()) || !ReadInteger(bytes, size, at, signature.data() + 32))
    return std::nullopt;
  if (at != size) return std::nullopt;
  return signature;
}

std::vector<uint8_t> signed_message(const uint8_t archive_sha256[32], std::string_view file_name) {
  std::vector<uint8_t> message(32 + file_name.size());
  std::copy(archive_sha256, archive_sha256 + 32, message.begin());
  std::copy(file_name.begin(), file_name.end(), message.begin() + 32);
  return message;
}

std::optional<std::vector<PublisherKey>> parse_publisher_keys(std::string_view text) {
  std::vector<PublisherKey> keys;
  while (!text.empty()) {
    size_t end = text.find_first_of(";,");
    std::string_view item = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
    if (item.empty()) continue;
    std::optional<PublisherKey> key = ParseKey(item);
    if (!key) return std::nullopt;
    keys.push_back(*key);
  }
  return keys;
}
