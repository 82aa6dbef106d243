// The commands themselves, in the order of the core library's table. All
// have one shape: result record (zeroed by the gate), argument count,
// argument records. The text and number commands are platform-free; the
// file and system commands and shell_execute need Win32.
#pragma once
#include "runtime/abi/library.h"

namespace commands {

#define QELMO_COMMAND(name) void __cdecl name(ArgRecord* result, int32_t arg_count, ArgRecord* args)

// Platform-free: text_commands.cpp, number_commands.cpp, byte_commands.cpp.
QELMO_COMMAND(find_text);
QELMO_COMMAND(replace_text);
QELMO_COMMAND(left_text);
QELMO_COMMAND(right_text);
QELMO_COMMAND(text_length);
QELMO_COMMAND(space_text);
QELMO_COMMAND(to_text);
QELMO_COMMAND(to_integer);
QELMO_COMMAND(round_number);
QELMO_COMMAND(integer_divide);
QELMO_COMMAND(bit_and);
QELMO_COMMAND(zero_bytes);
QELMO_COMMAND(bytes_left);
QELMO_COMMAND(bytes_at_address);
QELMO_COMMAND(get_bin_data);

// Win32: file_commands.cpp, system_commands.cpp.
QELMO_COMMAND(run_directory);
QELMO_COMMAND(file_exists);
QELMO_COMMAND(message_box);
QELMO_COMMAND(write_file);
QELMO_COMMAND(delete_file);
QELMO_COMMAND(tick_count);
QELMO_COMMAND(open_file);
QELMO_COMMAND(seek_to_end);
QELMO_COMMAND(close_file);
QELMO_COMMAND(write_bytes);
QELMO_COMMAND(process_events);

// The system-interface library: shell_command.cpp.
QELMO_COMMAND(shell_execute);

#undef QELMO_COMMAND

}  // namespace commands
