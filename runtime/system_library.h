// System DLLs that only some runs use (the sound library, the shell), loaded
// on first use instead of at start-up, where they cost about a megabyte of
// memory and time before the window shows. They are loaded by full path
// from the system folder: never from the program's own folder, which is
// where the downloads land.
#pragma once
#include <windows.h>

// The function, or null when the library or the function is missing. The
// library stays loaded until the process ends.
FARPROC SystemFunction(const wchar_t* library, const char* function);

// The function only when its library is loaded already: for calls that have
// nothing to do otherwise (stopping a sound that was never played).
FARPROC LoadedSystemFunction(const wchar_t* library, const char* function);

template <typename Function>
Function SystemFunctionAs(const wchar_t* library, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(library, function)));
}

template <typename Function>
Function LoadedSystemFunctionAs(const wchar_t* library, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(LoadedSystemFunction(library, function)));
}
