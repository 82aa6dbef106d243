// Support that compiled application code links in: the entry sequence, the
// calling sequence of DLL commands with its stack check, and the text
// operations. Everything here reaches the runtime through kernel_services.
#pragma once
#include <cstdint>

#include "platform/pointer_word.h"
#include "runtime/abi/kernel_services.h"

// One DLL-command call site: the declaration index, whether the caller
// removes the arguments, and the statement position reported when the stack
// check fails (routine id, statement number).
struct DllCallSite {
  int32_t index;
  int32_t caller_cleanup;
  int32_t where1;
  int32_t where2;
};

// Pushes `count` words (the first word is the function's first argument),
// calls the declaration through CallDllCommand, removes the arguments for a
// caller-clean-up site, and raises runtime error 6 when the stack pointer
// differs from the one before the call. Answers EDX:EAX.
extern "C" uint64_t __cdecl InvokeDllCommand(const DllCallSite* site, const uint32_t* words, int32_t count);

template <typename... Words>
uint32_t CallDll(const DllCallSite& site, Words... words) {
  const uint32_t list[] = {static_cast<uint32_t>(words)..., 0};
  return static_cast<uint32_t>(InvokeDllCommand(&site, list, sizeof...(Words)));
}

template <typename T>
uint32_t Word(T* pointer) {
  return PointerWord(pointer);
}

// Event routines answer EDX:EAX: EAX the value, EDX 1 when they gave one
// (a close query answering false cancels the close).
using EventAnswer = uint64_t;
constexpr EventAnswer kNoEventValue = 0;
constexpr EventAnswer EventValue(uint32_t value) { return uint64_t{1} << 32 | value; }

// The routines an application supplies to its entry sequence.
struct ApplicationRoutines {
  ApplicationRoutine global_init;     // may be null
  ApplicationRoutine global_cleanup;  // may be null; registered as an exit routine
  ApplicationRoutine startup;         // may be null
  uint32_t start_window_id;
};

// The body of every application's entry routine: initialise the runtime,
// reset the FPU, run the global initialisation, register the cleanup, run
// the start-up routine, load the start window and run the message loop.
int32_t RunApplicationEntry(const ApplicationRoutines& routines);

// Text operations on runtime heap blocks (null is the empty text).
char* JoinTexts(const char* const* texts, int32_t count);
char* CopyText(const char* text);
int CompareTexts(const char* a, const char* b);
