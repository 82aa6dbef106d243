// Where each command sits in its library's used-command table. Application
// code includes this with libraries.h and calls, for example,
//   kernel_services.CallCoreCommand(core_library.commands[CMD_FIND_TEXT], 4, args);
// The order is fixed by the compiled program's table: do not sort it.
#pragma once
#include <cstdint>

enum CoreCommandIndex : int32_t {
  CMD_RUN_DIRECTORY = 0,
  CMD_FILE_EXISTS = 1,
  CMD_FIND_TEXT = 2,
  CMD_REPLACE_TEXT = 3,
  CMD_MESSAGE_BOX = 4,
  CMD_LEFT_TEXT = 5,
  CMD_RIGHT_TEXT = 6,
  CMD_WRITE_FILE = 7,
  CMD_DELETE_FILE = 8,
  CMD_TICK_COUNT = 9,
  CMD_TO_TEXT = 10,
  CMD_BIT_AND = 11,
  CMD_ZERO_BYTES = 12,
  CMD_TEXT_LENGTH = 13,
  CMD_OPEN_FILE = 14,
  CMD_SEEK_TO_END = 15,
  CMD_CLOSE_FILE = 16,
  CMD_BYTES_LEFT = 17,
  CMD_WRITE_BYTES = 18,
  CMD_ROUND_NUMBER = 19,
  CMD_INTEGER_DIVIDE = 20,
  CMD_TO_INTEGER = 21,
  CMD_PROCESS_EVENTS = 22,
  CMD_SPACE_TEXT = 23,
  CMD_GET_BIN_DATA = 24,
  CMD_BYTES_AT_ADDRESS = 25,
  CMD_CORE_COUNT = 26,
};

// The system-interface library: index 2 for CallLibraryCommand (libraries
// are counted from 0 there, from 1 in component types).
constexpr int32_t kSystemInterfaceLibraryIndex = 2;
enum SystemInterfaceCommandIndex : int32_t {
  SYSCMD_SHELL_EXECUTE = 0,
  SYSCMD_COUNT = 1,
};

// Values the commands take.
enum ShellOperation : int32_t { SHELL_EDIT = 1, SHELL_EXPLORE = 2, SHELL_FIND = 3, SHELL_OPEN = 4, SHELL_PRINT = 5 };
enum FileOpenMode : int32_t {
  OPENMODE_READ = 1,
  OPENMODE_WRITE = 2,
  OPENMODE_READ_WRITE = 3,
  OPENMODE_REWRITE = 4,           // created or emptied
  OPENMODE_WRITE_CREATE = 5,      // created when missing, contents kept
  OPENMODE_READ_WRITE_CREATE = 6,
};
// What other openers may do meanwhile.
enum FileSharing : int32_t { SHARING_ALL = 1, SHARING_NO_READ = 2, SHARING_NO_WRITE = 3, SHARING_NONE = 4 };
// get_bin_data's type index.
enum BinDataType : int32_t {
  BIN_BYTE = 1, BIN_SHORT, BIN_INT, BIN_LONG, BIN_FLOAT, BIN_DOUBLE, BIN_BOOL, BIN_DATETIME, BIN_SUBPTR, BIN_TEXT,
};
// message_box answers.
enum MessageBoxAnswer : int32_t {
  ANSWER_OK = 0, ANSWER_CANCEL, ANSWER_ABORT, ANSWER_RETRY, ANSWER_IGNORE, ANSWER_YES, ANSWER_NO,
};
