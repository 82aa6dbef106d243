#include "runtime/runtime_state_for_tests.h"

#include "runtime/hidden_owner.h"
#include "runtime/runtime_app.h"

namespace test_runtime {

void StartWith(const LibraryDescriptor* const* libraries, uint32_t count) {
  g_app.libraries = libraries;
  g_app.library_count = count;
  g_app.main_thread_id = GetCurrentThreadId();
  g_app.event_block = 0;
  g_app.loop_started = 0;
}

void SetEventBlock(int32_t depth) { g_app.event_block = depth; }
void SetLoopStarted(bool started) { g_app.loop_started = started ? 1 : 0; }

HWND MakeHiddenOwner() {
  if (!g_app.hidden_owner) g_app.hidden_owner = CreateHiddenOwner();
  return g_app.hidden_owner;
}

void SetProgramFolder(const std::string& folder) {
  g_app.program_dir = folder;
  g_app.program_dir_slash = folder.empty() ? "" : folder + "\\";
}

void SetProgramKind(uint32_t kind) { g_app.program_kind = kind; }

void SetConstSegment(const void* begin, uint32_t size) {
  g_app.const_begin = static_cast<const char*>(begin);
  g_app.const_end = begin ? g_app.const_begin + size : nullptr;
}

int32_t ExitRoutineCount() { return g_app.exit_routines.count(); }
void ForgetExitRoutines() { g_app.exit_routines.Clear(); }

void UseHeap(HANDLE heap) { g_app.heap = heap; }

}  // namespace test_runtime
