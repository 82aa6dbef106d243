// The one runtime application object and the process-wide state it holds.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/abi/app_header.h"
#include "runtime/value/list_buffer.h"

extern const ListHeap kRuntimeListHeap;  // the process heap, for list buffers

// A facility of the media and database runtime that this program does not
// carry: the stubs report it absent.
struct FacilityHook {
  int (*available)();
  int (*dispatch)(int code, int arg1, int arg2);
  void (*terminate)();
};

struct RuntimeApp {
  const ApplicationHeader* header = nullptr;

  uint32_t program_kind = 0;
  uint32_t header_word2 = 0;
  uint32_t header_word3 = 0;

  std::string program_dir;        // without the trailing backslash
  std::string program_file;
  std::string program_dir_slash;  // with it

  const LibraryDescriptor* const* libraries = nullptr;
  ListBuffer library_values{&kRuntimeListHeap};
  uint32_t library_count = 0;

  const char* const_begin = nullptr;
  const char* const_end = nullptr;

  int32_t event_block = 0;
  int32_t loop_started = 0;
  uint32_t local_loop_active = 0;

  DWORD main_thread_id = 0;
  ListBuffer exit_routines{&kRuntimeListHeap};
  HWND hidden_owner = nullptr;
  HANDLE heap = nullptr;
  int32_t ole_started = 0;
  int32_t winsock_started = 0;
  int32_t shutting_down = 0;
  FacilityHook facilities[3] = {};

  bool InConstSegment(const void* p) const {
    auto c = static_cast<const char*>(p);
    return const_begin && c >= const_begin && c < const_end;
  }
};

extern RuntimeApp g_app;

// Runtime initialisation (auxiliary service 6).
void InitRuntime(const ApplicationHeader* header);
