// Writes a unit's property data in its stored form (operation 5).
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class PropertyWriter {
 public:
  void Word(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  void Half(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
  }
  void Raw(const void* data, size_t size) {
    if (size) bytes_.insert(bytes_.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  }
  void Buffer(const void* data, uint32_t size) {
    Word(size);
    Raw(data, size);
  }
  void Buffer(const std::vector<uint8_t>& data) { Buffer(data.data(), static_cast<uint32_t>(data.size())); }
  void CountedText(const std::string& text) { Buffer(text.data(), static_cast<uint32_t>(text.size())); }

  // A movable global block holding the data, as operation 5 answers.
  HGLOBAL ToGlobal() const {
    if (bytes_.empty()) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
    if (!block) return nullptr;
    if (void* p = GlobalLock(block)) {
      std::memcpy(p, bytes_.data(), bytes_.size());
      GlobalUnlock(block);
    }
    return block;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};
