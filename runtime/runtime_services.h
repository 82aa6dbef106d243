// What the window manager reads of the runtime's process-wide state, and the
// one thing it changes: kept to these calls so that ui/ never reaches into
// the runtime's records.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/abi/library.h"

// The invisible owner of ownerless windows and of windows kept out of the
// task bar; null before start-up.
HWND HiddenOwner();

// The program file's folder with its trailing backslash, and its name.
const std::string& ProgramFolderWithBackslash();
const std::string& ProgramFileName();

// The application's library by number, counted from 1 as in component
// types; null when the application has no such library.
const LibraryDescriptor* ApplicationLibrary(uint32_t number);

// True while events are suspended (code 2009) or the program is ending.
bool EventsBlocked();

// The window a nested message loop waits for is gone: that loop returns.
void EndLocalLoopOf(uint32_t window_id);
