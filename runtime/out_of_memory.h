// Running out of memory ends the program as any runtime error does, with
// one error box and exit code -1. The report itself allocates nothing: its
// text is built on the stack from wide literals.
#pragma once
#include <cstdint>

// `size` is the request that failed; negative when it is not known.
[[noreturn]] void RaiseOutOfMemory(int32_t size);

// Makes a failed operator new (inside std::string, std::vector, ...) end
// the same way. Exceptions cannot unwind through the system's window
// procedures, so a bad_alloc thrown in a command would end the process with
// no word at all.
void InstallOutOfMemoryHandler();
