// A bounds-checked little-endian reader over [begin, end), for stored data
// that may be damaged (window templates, picture files). Reading past the
// end yields zeros or an empty run and sets a sticky failure flag, so a
// parser can read a whole record and check once at the end. Lengths come
// from the data and may be anything up to 0xFFFFFFFF: every check compares
// against what remains instead of forming an end pointer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

using ByteRun = std::span<const uint8_t>;

class ByteReader {
 public:
  ByteReader(const uint8_t* begin, const uint8_t* end)
      : begin_(begin), position_(begin), end_(begin && end > begin ? end : begin) {}
  ByteReader(const uint8_t* data, size_t size) : ByteReader(data, data ? data + size : data) {}
  explicit ByteReader(ByteRun run) : ByteReader(run.data(), run.size()) {}

  bool failed() const { return failed_; }
  size_t position() const { return static_cast<size_t>(position_ - begin_); }
  size_t remaining() const { return static_cast<size_t>(end_ - position_); }
  bool at_end() const { return position_ == end_; }
  const uint8_t* cursor() const { return position_; }

  // Marks the data as unusable: every later read yields nothing.
  void Fail() {
    failed_ = true;
    position_ = end_;
  }

  uint8_t Byte() {
    ByteRun run = Bytes(1);
    return run.empty() ? 0 : run[0];
  }
  uint16_t Half() {
    ByteRun run = Bytes(2);
    return run.empty() ? 0 : static_cast<uint16_t>(run[0] | run[1] << 8);
  }
  uint32_t Word() {
    ByteRun run = Bytes(4);
    if (run.empty()) return 0;
    return static_cast<uint32_t>(run[0]) | static_cast<uint32_t>(run[1]) << 8 | static_cast<uint32_t>(run[2]) << 16 |
           static_cast<uint32_t>(run[3]) << 24;
  }

  // The next `count` bytes; empty (and failed) when fewer remain.
  ByteRun Bytes(size_t count) {
    if (count > remaining()) {
      Fail();
      return {};
    }
    ByteRun run(position_, count);
    position_ += count;
    return run;
  }
  // `count` items of `item_size` bytes each, without overflowing the product.
  ByteRun Items(uint32_t count, uint32_t item_size) {
    uint64_t total = static_cast<uint64_t>(count) * item_size;
    if (total > remaining()) {
      Fail();
      return {};
    }
    return Bytes(static_cast<size_t>(total));
  }
  bool Skip(size_t count) {
    Bytes(count);
    return !failed_;
  }

  // A word N, then N bytes. Counted texts carry no terminator.
  ByteRun Buffer() {
    uint32_t count = Word();
    return Bytes(count);
  }
  ByteRun CountedText() { return Buffer(); }

  // Bytes up to and including a zero byte; failed when there is no zero.
  ByteRun TerminatedText() {
    for (const uint8_t* p = position_; p != end_; ++p)
      if (*p == 0) return Bytes(static_cast<size_t>(p - position_) + 1);
    Fail();
    return {};
  }

 private:
  const uint8_t* begin_;
  const uint8_t* position_;
  const uint8_t* end_;
  bool failed_ = false;
};
