// What the command tests share, in the Windows build (through the library
// table and the command gate, with the real runtime behind the link) and in
// the native sanitizer build (the portable commands called directly, with a
// stand-in runtime). Test texts are GBK bytes written as escapes so that
// both compilers store the same bytes.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "commands/command_index.h"
#include "runtime/abi/arg_record.h"

// What the runtime error routine was asked to show; thrown by the test
// link instead of ending the process.
struct RuntimeErrorSeen {
  std::string message;
};

// Calls command `index` with these arguments (result record zeroed first).
ArgRecord CallCommand(CoreCommandIndex index, int32_t arg_count, ArgRecord* args);
inline ArgRecord Call(CoreCommandIndex index, std::initializer_list<ArgRecord> list = {}) {
  std::vector<ArgRecord> args(list);
  args.push_back(ArgRecord::Omitted());  // never read: a guard for a command reading one too many
  return CallCommand(index, static_cast<int32_t>(list.size()), args.data());
}
// Gives a result block back to the runtime heap.
void FreeResult(void* block);

// A text result as a string (freed); "(null)" marks the empty text's null.
inline std::string TakeText(const ArgRecord& result) {
  auto* text = static_cast<char*>(result.as_pointer());
  if (!text) return "(null)";
  std::string copy = text;
  FreeResult(text);
  return copy;
}

// A byte-array result as its bytes (freed); null gives "(null)".
inline std::string TakeBytes(const ArgRecord& result) {
  void* block = result.as_pointer();
  if (!block) return "(null)";
  const auto* header = static_cast<const int32_t*>(block);
  std::string bytes = header[0] == 1 ? std::string(reinterpret_cast<const char*>(header + 2), header[1])
                                     : std::string("(bad dimension count)");
  FreeResult(block);
  return bytes;
}

// A byte array owned by the test.
class TestBytes {
 public:
  explicit TestBytes(const std::string& bytes) : words_(2 + (bytes.size() + 3) / 4) {
    words_[0] = 1;
    words_[1] = static_cast<int32_t>(bytes.size());
    if (!bytes.empty()) std::memcpy(words_.data() + 2, bytes.data(), bytes.size());
  }
  ArgRecord arg() const { return ArgRecord::Bytes(words_.data()); }

 private:
  std::vector<int32_t> words_;
};

inline ArgRecord Typed(uint32_t type, uint32_t value, uint32_t aux = 0) { return ArgRecord{value, aux, type}; }
inline ArgRecord Float(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return Typed(TYPE_FLOAT, bits);
}
inline uint32_t WordOf(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
inline ArgRecord Address(const void* p) { return ArgRecord::Int(static_cast<int32_t>(WordOf(p))); }
