// The portable commands on arbitrary bytes: texts with broken two-byte
// characters, any start positions and counts, byte arrays of any length
// read at any position. Besides the sanitizers, a few properties that must
// hold for every input are checked.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_support.h"
#include "commands/core_commands.h"

namespace {

int32_t __stdcall FuzzRuntime(int32_t code, int32_t arg1, int32_t) {
  if (code == 2024) return static_cast<int32_t>(reinterpret_cast<uintptr_t>(std::malloc(static_cast<size_t>(arg1))));
  if (code == 2027) std::abort();  // no input here may reach a runtime error
  return 0;
}
LibraryLink fuzz_link = {FuzzRuntime};

#define Check(condition) CheckAt(condition, __LINE__)
void CheckAt(bool condition, int line) {
  if (!condition) {
    std::fprintf(stderr, "property broken at line %d\n", line);
    __builtin_trap();
  }
}

std::string TakeText(const ArgRecord& result) {
  auto* text = static_cast<char*>(result.as_pointer());
  std::string copy = text ? text : "";
  Check(!text || *text);  // an empty result is null, never an empty block
  std::free(text);
  return copy;
}

ArgRecord Call(CommandEntry command, std::vector<ArgRecord> args) {
  ArgRecord result = {0, 0, 0};
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

ArgRecord MaybeOmitted(FuzzedDataProvider& data, ArgRecord value) {
  return data.ConsumeBool() ? ArgRecord::Omitted() : value;
}

}  // namespace

LibraryLink& core_link = fuzz_link;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace commands;
  FuzzedDataProvider data(bytes, size);
  int32_t number = data.ConsumeIntegral<int32_t>();
  int32_t count = data.ConsumeIntegralInRange<int32_t>(-3, 12);
  int32_t flag = data.ConsumeIntegralInRange<int32_t>(0, 2);
  // Texts end at their first zero byte, as the commands see them.
  std::string sought = data.ConsumeRandomLengthString(8).c_str();
  std::string replacement = data.ConsumeRandomLengthString(8).c_str();
  std::string text = data.ConsumeRandomLengthString(256).c_str();
  std::vector<uint8_t> blob = data.ConsumeRemainingBytes<uint8_t>();
  size_t length = text.size();

  ArgRecord text_arg = ArgRecord::Text(text.c_str());
  ArgRecord sought_arg = ArgRecord::Text(sought.c_str());
  int32_t start = number % 300;

  int32_t found = Call(find_text, {text_arg, sought_arg, ArgRecord::Int(start), ArgRecord::Int(flag)}).as_int();
  Check(found == -1 || (found >= 1 && static_cast<size_t>(found) <= length));
  if (found > 0 && !sought.empty() && flag != 1)
    Check(text.compare(static_cast<size_t>(found - 1), sought.size(), sought) == 0);
  Call(find_text, {text_arg, sought_arg, ArgRecord::Omitted(), ArgRecord::Omitted()});

  std::string replaced = TakeText(Call(replace_text, {text_arg, sought_arg, ArgRecord::Text(replacement.c_str()),
                                                       MaybeOmitted(data, ArgRecord::Int(start)),
                                                       MaybeOmitted(data, ArgRecord::Int(count)), ArgRecord::Int(flag)}));
  // Putting back what was found leaves the text as it was, but for a last
  // byte that the scan took for a broken character and dropped.
  std::string same = TakeText(Call(replace_text, {text_arg, sought_arg, sought_arg, ArgRecord::Omitted(),
                                                   ArgRecord::Omitted(), ArgRecord::Int(1)}));
  Check(same == text || (static_cast<unsigned char>(text.back()) >= 0x80 && same == text.substr(0, length - 1)));
  std::string unchanged = TakeText(Call(replace_text, {text_arg, sought_arg, ArgRecord::Text(replacement.c_str()),
                                                        ArgRecord::Omitted(), ArgRecord::Int(0), ArgRecord::Int(0)}));
  Check(unchanged == text);

  size_t cut = count <= 0 ? 0 : std::min(static_cast<size_t>(count), length);
  Check(TakeText(Call(left_text, {text_arg, ArgRecord::Int(count)})) == text.substr(0, cut));
  Check(TakeText(Call(right_text, {text_arg, ArgRecord::Int(count)})) == text.substr(length - cut));
  Check(Call(text_length, {text_arg}).as_int() == static_cast<int32_t>(length));
  Call(to_integer, {text_arg});
  TakeText(Call(to_text, {text_arg}));

  // The blob as a byte array, read as every type from a position kept by
  // reference until it reports the end.
  std::vector<int32_t> block(2 + (blob.size() + 3) / 4);
  block[0] = 1;
  block[1] = static_cast<int32_t>(blob.size());
  if (!blob.empty()) std::memcpy(block.data() + 2, blob.data(), blob.size());
  ArgRecord array = ArgRecord::Bytes(block.data());
  int32_t position = number % 64;
  ArgRecord by_reference = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&position)), 0, 0xA0000301};
  for (int round = 0; round < 40 && position != -1; ++round) {
    ArgRecord value = Call(get_bin_data, {array, ArgRecord::Int(1 + round % 10), by_reference});
    if (value.type == TYPE_TEXT) std::free(value.as_pointer());
    Check(position == -1 || (position >= 1 && static_cast<size_t>(position) <= blob.size()));
  }
  std::free(Call(bytes_left, {array, ArgRecord::Int(number)}).as_pointer());
  TakeText(Call(to_text, {array}));
  return 0;
}
