// For in-process tests only: the runtime's process-wide state set directly,
// as start-up, the program or a scenario would have left it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/abi/library.h"

namespace test_runtime {

// In place of start-up for a test program without an application: units are
// found in `libraries`, this thread is the main thread, no events are
// blocked and the message loop has not started.
void StartWith(const LibraryDescriptor* const* libraries, uint32_t count);
void SetEventBlock(int32_t depth);
void SetLoopStarted(bool started);
// The hidden owner start-up would have made, made once.
HWND MakeHiddenOwner();
// Without its trailing backslash; "" for none.
void SetProgramFolder(const std::string& folder);
void SetProgramKind(uint32_t kind);
void SetConstSegment(const void* begin, uint32_t size);  // null: none
int32_t ExitRoutineCount();
void ForgetExitRoutines();
void UseHeap(HANDLE heap);

}  // namespace test_runtime
