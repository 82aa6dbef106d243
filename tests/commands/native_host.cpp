// The native build's stand-in runtime: the portable commands called
// directly, blocks from malloc, runtime errors thrown.
#include <cstdlib>

#include "commands/command_support.h"
#include "commands/core_commands.h"
#include "tests/commands/command_test_support.h"

namespace {

int32_t __stdcall NativeRuntime(int32_t code, int32_t arg1, int32_t) {
  if (code == 2024) return static_cast<int32_t>(reinterpret_cast<uintptr_t>(std::malloc(static_cast<size_t>(arg1))));
  if (code == 2027) throw RuntimeErrorSeen{reinterpret_cast<const char*>(static_cast<uintptr_t>(arg1))};
  return 0;
}

LibraryLink native_link = {NativeRuntime};

CommandEntry PortableCommand(CoreCommandIndex index) {
  using namespace commands;
  switch (index) {
    case CMD_FIND_TEXT: return find_text;
    case CMD_REPLACE_TEXT: return replace_text;
    case CMD_LEFT_TEXT: return left_text;
    case CMD_RIGHT_TEXT: return right_text;
    case CMD_TEXT_LENGTH: return text_length;
    case CMD_SPACE_TEXT: return space_text;
    case CMD_TO_TEXT: return to_text;
    case CMD_TO_INTEGER: return to_integer;
    case CMD_ROUND_NUMBER: return round_number;
    case CMD_INTEGER_DIVIDE: return integer_divide;
    case CMD_BIT_AND: return bit_and;
    case CMD_ZERO_BYTES: return zero_bytes;
    case CMD_BYTES_LEFT: return bytes_left;
    case CMD_BYTES_AT_ADDRESS: return bytes_at_address;
    case CMD_GET_BIN_DATA: return get_bin_data;
    default: std::abort();  // not a portable command
  }
}

}  // namespace

LibraryLink& core_link = native_link;

ArgRecord CallCommand(CoreCommandIndex index, int32_t arg_count, ArgRecord* args) {
  ArgRecord result = {0, 0, 0};
  PortableCommand(index)(&result, arg_count, args);
  return result;
}

void FreeResult(void* block) { std::free(block); }
