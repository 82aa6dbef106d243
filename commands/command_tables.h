// The used-command tables of the core and system-interface libraries, in
// the order of command_index.h.
#pragma once
#include "commands/command_index.h"
#include "runtime/abi/library.h"

extern const CommandEntry kCoreCommands[CMD_CORE_COUNT];
extern const CommandEntry kSystemInterfaceCommands[SYSCMD_COUNT];
