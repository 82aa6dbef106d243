// The words of get and set as the units' stored fields: texts, byte data,
// and stored words read as choices.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pointer_word.h"
#include "runtime/value/byte_reader.h"
#include "ui/unit.h"

namespace controls {

inline std::string TextOf(ByteRun run) { return std::string(reinterpret_cast<const char*>(run.data()), run.size()); }
inline std::vector<uint8_t> BytesOf(ByteRun run) { return std::vector<uint8_t>(run.begin(), run.end()); }

// A stored word read as a choice: negative values become 0, values above
// `max` become `max`.
inline uint32_t ClampChoice(uint32_t value, int32_t max) {
  auto v = static_cast<int32_t>(value);
  return static_cast<uint32_t>(v < 0 ? 0 : (v > max ? max : v));
}
inline int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

// Value words for get.
inline PropertyValue WordValue(uint32_t word) { return {word, 0}; }
inline PropertyValue TextValue(const std::string& text) { return {PointerWord(text.c_str()), 0}; }
inline PropertyValue BytesValue(const std::vector<uint8_t>& bytes) {
  return {PointerWord(bytes.empty() ? nullptr : bytes.data()), static_cast<uint32_t>(bytes.size())};
}
// Values from set: a text (null reads as empty) and byte data.
inline std::string TextFrom(const PropertyValue& value) {
  const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low));
  return text ? text : "";
}
inline std::vector<uint8_t> BytesFrom(const PropertyValue& value) {
  const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value.low));
  return data ? std::vector<uint8_t>(data, data + value.high) : std::vector<uint8_t>();
}

}  // namespace controls
