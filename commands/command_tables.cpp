#include "commands/command_tables.h"

#include "commands/core_commands.h"

using namespace commands;

// One line per entry, in the table's order (CMD_RUN_DIRECTORY = 0 first).
const CommandEntry kCoreCommands[CMD_CORE_COUNT] = {
    run_directory,     // 0
    file_exists,       // 1
    find_text,         // 2
    replace_text,      // 3
    message_box,       // 4
    left_text,         // 5
    right_text,        // 6
    write_file,        // 7
    delete_file,       // 8
    tick_count,        // 9
    to_text,           // 10
    bit_and,           // 11
    zero_bytes,        // 12
    text_length,       // 13
    open_file,         // 14
    seek_to_end,       // 15
    close_file,        // 16
    bytes_left,        // 17
    write_bytes,       // 18
    round_number,      // 19
    integer_divide,    // 20
    to_integer,        // 21
    process_events,    // 22
    space_text,        // 23
    get_bin_data,      // 24
    bytes_at_address,  // 25
};

const CommandEntry kSystemInterfaceCommands[SYSCMD_COUNT] = {shell_execute};
