// Library descriptors and the shape of every library command.
#pragma once
#include <cstdint>

#include "runtime/abi/arg_record.h"
#include "runtime/abi/notify_codes.h"

#ifndef __stdcall
#define __stdcall __attribute__((stdcall))
#endif
#ifndef __cdecl
#define __cdecl __attribute__((cdecl))
#endif

// Every command: result record (zeroed by the gate), argument count, the
// argument records one after another. The caller removes its arguments.
using CommandEntry = void(__cdecl*)(ArgRecord* result, int32_t arg_count, ArgRecord* args);

// Both directions of the notification interface: code, argument 1,
// argument 2 -> 32-bit result, callee clean-up. The codes: notify_codes.h.
using NotifyEntry = int32_t(__stdcall*)(int32_t code, int32_t arg1, int32_t arg2);

struct UnitDescriptor;  // window units; the window manager defines them

// One library the application was built against. Libraries are numbered from
// 1 in component types and from 0 in CallLibraryCommand.
struct LibraryDescriptor {
  const char* name;
  NotifyEntry notify;
  const CommandEntry* commands;  // the used-command table
  int32_t command_count;
  const UnitDescriptor* const* units;
  int32_t unit_count;
};
