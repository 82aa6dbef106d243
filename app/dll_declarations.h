// The DLL commands the application declares, by index into the header
// block's name tables. Every call site names its index and convention.
#pragma once

enum DllCommand : int {
  DLL_DELETE_FILE = 0,  // unused since an older archive stays until a new one replaces it
  DLL_INTERNET_GET_CONNECTED_STATE,
  DLL_INTERNET_OPEN,
  DLL_INTERNET_OPEN_URL,
  DLL_HTTP_QUERY_INFO,
  DLL_INTERNET_READ_FILE,
  DLL_CALL_WINDOW_PROC,  // unused: the engine calls its progress routine directly
  DLL_INTERNET_CLOSE_HANDLE,
  DLL_GET_CURRENT_PROCESS_ID,
  DLL_MESSAGE_BOX_TIMEOUT,  // the wide export: texts are converted from GBK
  DLL_GET_TICK_COUNT,
  DLL_FIND_WINDOW_EX,
  DLL_IS_WINDOW_VISIBLE,
  DLL_GET_WINDOW_THREAD_PROCESS_ID,
  DLL_GET_PARENT,
  DLL_GET_CLASS_NAME,
  DLL_GET_WINDOW_TEXT_LENGTH_W,
  DLL_GET_WINDOW_TEXT_W,
  DLL_LSTRLEN_W,
  DLL_WIDE_CHAR_TO_MULTI_BYTE,
  DLL_STRLEN,  // msvcrt, caller clean-up
  // Declared beyond the original twenty-one for the mended download engine:
  // content decoding, keeping the window alive during a transfer, and
  // moving the finished file into place under its Chinese-safe wide name.
  DLL_INTERNET_SET_OPTION,
  DLL_PEEK_MESSAGE_W,
  DLL_MULTI_BYTE_TO_WIDE_CHAR,
  DLL_MOVE_FILE_EX_W,
  // The message box closes itself by a timer of its own: the system's
  // time-out is not honoured everywhere.
  DLL_SET_TIMER,
  DLL_KILL_TIMER,
  DLL_END_DIALOG,
  // Where an https transfer ended up after redirects, and the write probe
  // that creates a new file only (never one of the user's).
  DLL_INTERNET_QUERY_OPTION,
  DLL_CREATE_FILE_W,
  DLL_CLOSE_HANDLE,
  // The transfer's worker thread and the wait that keeps the window alive
  // meanwhile; the worker's own hold on WinINet's module and its writes.
  DLL_CREATE_THREAD,
  DLL_WAIT_FOR_SINGLE_OBJECT,
  DLL_MSG_WAIT_FOR_MULTIPLE_OBJECTS,
  DLL_POST_QUIT_MESSAGE,
  DLL_GET_MODULE_HANDLE_EX_W,  // a reference to a loaded module: it never loads, so never searches
  DLL_FREE_LIBRARY_AND_EXIT_THREAD,
  DLL_WRITE_FILE,
  DLL_WAIT_FOR_MULTIPLE_OBJECTS,
  // Resuming a cut-off transfer: the part file's size and record.
  DLL_READ_FILE,
  DLL_DELETE_FILE_W,
  DLL_GET_FILE_ATTRIBUTES_EX_W,
  // The archive's SHA-256, with CNG (Windows Vista and later; not
  // BCryptHash, which needs Windows 10).
  DLL_BCRYPT_OPEN_ALGORITHM_PROVIDER,
  DLL_BCRYPT_GET_PROPERTY,
  DLL_BCRYPT_CREATE_HASH,
  DLL_BCRYPT_HASH_DATA,
  DLL_BCRYPT_FINISH_HASH,
  DLL_BCRYPT_DESTROY_HASH,
  DLL_BCRYPT_CLOSE_ALGORITHM_PROVIDER,
  DLL_FREE_LIBRARY,  // the worker's hold on WinINet, when the worker could not start
  // What is on disk is what was counted: the part and its record flushed,
  // a part cut back to its flushed length before it is continued, and a
  // worker given up at the program's end held still.
  DLL_FLUSH_FILE_BUFFERS,
  DLL_SET_FILE_POINTER_EX,
  DLL_SET_END_OF_FILE,
  DLL_SUSPEND_THREAD,
  DLL_GET_THREAD_CONTEXT,
  // The part file's flusher sleeps between its turns until woken.
  DLL_CREATE_EVENT_W,
  DLL_SET_EVENT,
  DLL_COMMAND_COUNT
};
