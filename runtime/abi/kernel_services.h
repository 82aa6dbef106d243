// The kernel service table: the thirteen entry points through which compiled
// application code reaches the runtime, in their fixed order.
#pragma once
#include <cstdint>

#include "runtime/abi/arg_record.h"
#include "runtime/abi/library.h"

// Auxiliary service codes (slot 12).
enum AuxServiceCode : int32_t {
  AUX_FIND_FILE = 0,              // (pattern, mask, mask_omitted, HANDLE* search) -> text or null
  AUX_CLOSE_FIND = 1,             // (HANDLE search)
  AUX_COPY_CONST_ARRAY = 2,       // (element size, void** array)
  AUX_REGISTER_EXIT_ROUTINE = 3,  // (routine)
  AUX_READ_OBJECT_PROPERTY = 4,   // four words -> 64-bit value
  AUX_WRITE_OBJECT_PROPERTY = 5,  // six words
  AUX_INIT_RUNTIME = 6,
};

// An application routine: callee clean-up, may change any register.
using ApplicationRoutine = void(__stdcall*)();

struct KernelServices {
  void(__cdecl* ReportError)(int32_t code, int32_t where1, int32_t where2);  // does not return
  // Special calling sequence: the declaration index in EAX, the DLL
  // function's own arguments on the stack; the function returns straight to
  // the caller. Compiled code reaches it through InvokeDllCommand.
  const void* CallDllCommand;
  ArgRecord(__cdecl* CallLibraryCommand)(int32_t library_index, CommandEntry command, int32_t arg_count,
                                         ArgRecord* args);
  ArgRecord(__cdecl* CallCoreCommand)(CommandEntry command, int32_t arg_count, ArgRecord* args);
  uint64_t(__cdecl* ReadProperty)(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field);
  void(__cdecl* WriteProperty)(uint32_t window_id, uint32_t element_id, int32_t property, int32_t sub_field,
                               uint32_t value_low, uint32_t value_high);
  void*(__cdecl* Alloc)(int32_t size);
  void*(__cdecl* Realloc)(void* block, int32_t size);
  void(__cdecl* Free)(void* block);
  void(__cdecl* EndProgram)(int32_t exit_code);  // does not return
  void(__cdecl* RunMessageLoop)();
  void(__cdecl* LoadStartWindow)(uint32_t window_id);
  uint64_t(__cdecl* AuxService)(int32_t code, ...);
};
static_assert(sizeof(KernelServices) == 13 * 4, "thirteen slots");

extern "C" const KernelServices kernel_services;
