// Typed argument records and type codes: the one value format shared by the
// compiled application, the runtime and the command libraries.
#pragma once
#include <cstdint>
#include <cstring>

#include "platform/pointer_word.h"

// Pointers travel in 32-bit words: everything here is built for i386 only
// (the target, and the -m32 native builds for sanitizers and fuzzers).
static_assert(sizeof(void*) == 4, "the value model is 32-bit");

// Type codes. Built-in types carry 0x8000 in the high half; a component type
// is (library number << 16) | unit number with bit 31 clear.
constexpr uint32_t TYPE_NONE = 0;  // an omitted optional argument
constexpr uint32_t TYPE_BYTE = 0x80000101;
constexpr uint32_t TYPE_SHORT = 0x80000201;
constexpr uint32_t TYPE_INT = 0x80000301;
constexpr uint32_t TYPE_LONG = 0x80000401;
constexpr uint32_t TYPE_FLOAT = 0x80000501;
constexpr uint32_t TYPE_DOUBLE = 0x80000601;
constexpr uint32_t TYPE_BOOL = 0x80000002;
constexpr uint32_t TYPE_DATETIME = 0x80000003;
constexpr uint32_t TYPE_TEXT = 0x80000004;
constexpr uint32_t TYPE_BYTES = 0x80000005;
constexpr uint32_t TYPE_SUBPTR = 0x80000006;
constexpr uint32_t TYPE_WIDE8 = 0x80000008;  // a further 8-byte value, passed on like a double

// Set in an argument's type when its value word is an address: of an array,
// or of a variable passed by reference.
constexpr uint32_t TYPE_ADDRESS_FLAG = 0x20000000;

// Size of a numeric type in bytes; 0 for every non-numeric code.
constexpr int NumericSize(uint32_t type) {
  switch (type) {
    case TYPE_BYTE: return 1;
    case TYPE_SHORT: return 2;
    case TYPE_INT:
    case TYPE_FLOAT: return 4;
    case TYPE_LONG:
    case TYPE_DOUBLE: return 8;
    default: return 0;
  }
}

constexpr bool IsComponentType(uint32_t type) { return type != 0 && (type & 0x80000000u) == 0; }
constexpr uint32_t ComponentType(uint32_t library, uint32_t unit) { return library << 16 | unit; }
// The units whose values the runtime, the libraries and the application
// recognise by type: libraries in the order of the application's library
// table, units in the order of their library's unit table.
constexpr uint32_t TYPE_WINDOW = ComponentType(1, 1);
constexpr uint32_t TYPE_MENU_ITEM = ComponentType(1, 3);
constexpr uint32_t TYPE_STATUS_BAR = ComponentType(2, 2);

// Date-time values are days; stored values are kept inside this range.
constexpr double kDateTimeMin = -657434.0;
constexpr double kDateTimeMax = 2958465.0;
constexpr double ClampDateTime(double days) {
  return days < kDateTimeMin ? kDateTimeMin : (days > kDateTimeMax ? kDateTimeMax : days);
}

// Three 32-bit words. `value` and `aux` together are a little-endian 64-bit
// field, so 8-byte values are read from the start of the record.
struct ArgRecord {
  uint32_t value;
  uint32_t aux;
  uint32_t type;

  bool omitted() const { return type == TYPE_NONE; }
  int32_t as_int() const { return static_cast<int32_t>(value); }
  bool as_bool() const { return value != 0; }
  const char* as_text() const { return reinterpret_cast<const char*>(static_cast<uintptr_t>(value)); }
  void* as_pointer() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(value)); }
  uint64_t as_u64() const { return static_cast<uint64_t>(aux) << 32 | value; }
  int64_t as_long() const { return static_cast<int64_t>(as_u64()); }
  double as_double() const {
    uint64_t bits = as_u64();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  float as_float() const {
    float f;
    std::memcpy(&f, &value, sizeof f);
    return f;
  }

  static ArgRecord Int(int32_t v) { return {static_cast<uint32_t>(v), 0, TYPE_INT}; }
  static ArgRecord Bool(bool v) { return {v ? 1u : 0u, 0, TYPE_BOOL}; }
  static ArgRecord Text(const char* p) { return {PointerWord(p), 0, TYPE_TEXT}; }
  static ArgRecord Bytes(const void* block) { return {PointerWord(block), 0, TYPE_BYTES}; }
  static ArgRecord Long(int64_t v) { return Wide(static_cast<uint64_t>(v), TYPE_LONG); }
  static ArgRecord Double(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return Wide(bits, TYPE_DOUBLE);
  }
  static ArgRecord DateTime(double days) {
    ArgRecord r = Double(ClampDateTime(days));
    r.type = TYPE_DATETIME;
    return r;
  }
  static ArgRecord Omitted() { return {0, 0, TYPE_NONE}; }

 private:
  static ArgRecord Wide(uint64_t bits, uint32_t type) {
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
  }
};
static_assert(sizeof(ArgRecord) == 12, "an argument record is three 32-bit words");

// A byte array block: dimension count 1, length, then the bytes.
struct ByteArrayHeader {
  int32_t dimensions;
  int32_t length;
};
constexpr int kByteArrayDataOffset = 8;

inline unsigned char* ByteArrayData(void* block) {
  return block ? static_cast<unsigned char*>(block) + kByteArrayDataOffset : nullptr;
}
inline int32_t ByteArrayLength(const void* block) {
  return block ? static_cast<const ByteArrayHeader*>(block)->length : 0;
}
