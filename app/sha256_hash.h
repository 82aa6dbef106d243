// SHA-256 with the system's CNG functions (Windows Vista and later), called
// through the DLL-command gate so that the transfer's worker may use it.
#pragma once
#include <cstdint>
#include <vector>

class Sha256 {
 public:
  Sha256() = default;
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // False when the system offers no SHA-256.
  bool Start();
  bool Add(const uint8_t* data, uint32_t size);
  bool Finish(uint8_t digest[32]);

 private:
  void Release();
  uint32_t algorithm_ = 0;
  uint32_t hash_ = 0;
  // Windows 7 wants the hash object's memory from the caller.
  std::vector<uint8_t> object_;
};

// 64 hexadecimal digits (either case) as 32 bytes; false for anything else.
bool parse_sha256_hex(const char* text, uint8_t digest[32]);
