#include "runtime/runtime_services.h"

#include "runtime/runtime_app.h"

HWND HiddenOwner() { return g_app.hidden_owner; }

const std::string& ProgramFolderWithBackslash() { return g_app.program_dir_slash; }
const std::string& ProgramFileName() { return g_app.program_file; }

const LibraryDescriptor* ApplicationLibrary(uint32_t number) {
  if (number == 0 || number > g_app.library_count || !g_app.libraries) return nullptr;
  return g_app.libraries[number - 1];
}

bool EventsBlocked() { return g_app.event_block >= 1; }

void EndLocalLoopOf(uint32_t window_id) {
  if (g_app.local_loop_active == window_id) g_app.local_loop_active = 0;
}
