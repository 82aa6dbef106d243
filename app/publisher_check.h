// Whether an archive carries its publisher's signature: the keys the build
// carries, and the system's verification of a signature with them (CNG's
// ECDSA P-256, Windows Vista and later, through the DLL-command gate).
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/publisher_signature.h"

// Whether this build checks signatures at all: it was given keys.
bool publisher_keys_given();

// The build's keys; nothing when the build option does not parse, which
// lets no archive pass.
std::optional<std::vector<PublisherKey>> build_publisher_keys();

// Whether one of `keys` signed the archive with SHA-256 `archive_sha256`
// saved under `file_name`.
bool publisher_signed(const std::vector<PublisherKey>& keys, const uint8_t archive_sha256[32],
                      std::string_view file_name, const RawSignature& signature);
