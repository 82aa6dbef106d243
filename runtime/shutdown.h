// The orderly shutdown: the exit routines, the libraries' goodbye, the DLL
// commands, the shared objects, and the end of the process after it.
#pragma once
#include <cstdint>

// Kernel service slot 9: the shutdown, then the process ends with exit_code.
[[noreturn]] void __cdecl EndProgram(int32_t exit_code);
// The shutdown alone, run once. On the main thread it returns, for the
// instance exit; another thread hands it to the main thread instead.
void RunShutdown(int32_t exit_code);
