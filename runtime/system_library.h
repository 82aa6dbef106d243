// Code from the system folder only. The program is run from a Downloads
// folder, where any file may lie under a system library's name, and a
// library found there would run with the user's rights. So the library
// search is narrowed first thing at start-up, and the libraries Windows
// brings are loaded from the system folder alone, with what they pull in.
// System libraries that only some runs use (the sound library, the shell)
// are loaded on first use, so they cost nothing before the window shows.
#pragma once
#include <windows.h>

// Takes the program's folder and the current directory out of the library
// search for the rest of the process. Called before anything else at
// start-up.
void RestrictLibrarySearch();

// The library `name` (a bare file name) from the system folder, never from
// anywhere else; its own dependencies come from there too. Null when it is
// not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Whether a bare library name (GBK) names a library that Windows brings:
// such a name is never looked for outside the system folder. "Wininet" is
// "Wininet.dll", as the system reads it.
bool IsSystemLibraryName(const char* name);

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
