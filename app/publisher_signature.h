// A publisher's signature of an archive, as far as it is bytes: the .sig
// file, the message it signs and the public keys the program carries. The
// system verifies (sha256_hash.h's CNG, publisher_check.h); nothing here
// computes any cryptography.
//
// The .sig file is one ECDSA P-256 signature in DER (an ECDSA-Sig-Value:
// SEQUENCE { INTEGER r, INTEGER s }, as `openssl dgst -sha256 -sign` writes
// it), nothing before or after it. The message it signs is the archive's
// SHA-256 (32 bytes) followed by the archive's local file name (its bytes,
// no terminator), so that a signature of one archive does not pass for
// another's.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// A .sig file longer than this is refused unread.
constexpr size_t kMaxSignatureFileBytes = 512;

// r and s, 32 bytes each, big-endian: the form the system verifies.
using RawSignature = std::array<uint8_t, 64>;
// A P-256 public key: the point's X and Y, 32 bytes each, big-endian.
using PublisherKey = std::array<uint8_t, 64>;

// The signature in a .sig file; nothing for anything but exactly one
// well-formed DER signature with both numbers in 1 .. 2^256 - 1.
std::optional<RawSignature> parse_signature_file(const uint8_t* bytes, size_t size);

// What the publisher signs for an archive with this SHA-256 and file name.
std::vector<uint8_t> signed_message(const uint8_t archive_sha256[32], std::string_view file_name);

// The keys of the build option: each the uncompressed point in hexadecimal
// ("04", X, Y: 130 digits), separated by ';' or ','; blanks around them are
// ignored. Nothing when any one is malformed; an empty list for no text.
std::optional<std::vector<PublisherKey>> parse_publisher_keys(std::string_view text);
