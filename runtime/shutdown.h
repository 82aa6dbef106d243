// The orderly shutdown: the windows, the exit routines, the libraries'
// goodbye, then the steps other modules registered (the DLL commands, the
// shared objects), and the end of the process after it.
#pragma once
#include <windows.h>

#include <cstdint>

// Private message to the hidden owner: end the program with exit code wParam.
constexpr UINT WM_RUNTIME_END = WM_APP + 999;

// What another module leaves for the shutdown to undo, in the order the
// shutdown undoes it: each module registers its step when it first makes
// what the step undoes, so that the shutdown needs to know none of them.
// The DLL commands are released only after the exit routines and the
// libraries' goodbye, when no transfer worker runs any more.
enum class ShutdownStage : uint8_t { kDllCommands, kSound, kDefaultIcons, kHiddenOwner, kCount };
void SetShutdownStep(ShutdownStage stage, void (*step)());

// Kernel service slot 9: the shutdown, then the process ends with exit_code.
[[noreturn]] void __cdecl EndProgram(int32_t exit_code);
// The shutdown alone, run once. On the main thread it returns, for the
// instance exit; another thread hands it to the main thread instead.
void RunShutdown(int32_t exit_code);
