// The used-command tables of the core and system-interface libraries, in
// the order of command_index.h.
#pragma once
#include "command_index.h"
#include "library.h"

extern const CommandEntry kCoreCommands[CMD_CORE_COUNT];
extern const CommandEntry kSystemInterfaceCommands[SYSCMD_COUNT];
