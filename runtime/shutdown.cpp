// The orderly shutdown, run once by whichever road ends the program.
#include "runtime/shutdown.h"

#include <ole2.h>
#include <windows.h>

#include <array>

#include "runtime/app_calls.h"
#include "runtime/message_loop.h"
#include "runtime/runtime_app.h"
#include "runtime/window_link.h"

namespace {

std::array<void (*)(), static_cast<size_t>(ShutdownStage::kCount)> g_steps = {};

void RunStep(ShutdownStage stage) {
  if (auto step = g_steps[static_cast<size_t>(stage)]) step();
}

void RunExitRoutines() {
  // Routines may be added while others run; walk by index.
  for (int32_t i = 0; i < g_app.exit_routines.count(); ++i)
    CallApplicationRoutine(reinterpret_cast<const void*>(static_cast<uintptr_t>(g_app.exit_routines[i])), nullptr,
                           0);
  g_app.exit_routines.Clear();
}

void TellLibrariesGoodbye() {
  for (uint32_t i = 0; i < g_app.library_count; ++i) {
    const LibraryDescriptor* library = g_app.libraries ? g_app.libraries[i] : nullptr;
    auto index = static_cast<int32_t>(i);
    uint32_t value = index < g_app.library_values.count() ? g_app.library_values[index] : 0;
    if (library && library->notify) library->notify(NOTIFY_LIB_SHUTDOWN, static_cast<int32_t>(value), 0);
  }
  g_app.libraries = nullptr;
  g_app.library_count = 0;
  g_app.library_values.Clear();
}

void ReleaseSharedObjects() {
  // A sound still playing from memory would read freed data at exit.
  RunStep(ShutdownStage::kSound);
  g_app.const_begin = g_app.const_end = nullptr;
  RunStep(ShutdownStage::kDefaultIcons);
  RunStep(ShutdownStage::kHiddenOwner);
  for (FacilityHook& hook : g_app.facilities)
    if (hook.terminate) hook.terminate();
}

void StopWinsock() {
  // No facility of this program starts Winsock; the flag is kept so that one
  // that does is undone here. Resolved late so ws2_32 is not imported for it.
  if (!g_app.winsock_started) return;
  if (HMODULE ws2 = GetModuleHandleW(L"ws2_32.dll"))
    if (auto cleanup = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(ws2, "WSACleanup"))) cleanup();
  g_app.winsock_started = 0;
}

}  // namespace

void SetShutdownStep(ShutdownStage stage, void (*step)()) { g_steps[static_cast<size_t>(stage)] = step; }

void RunShutdown(int32_t exit_code) {
  g_app.event_block += 1;
  if (g_app.main_thread_id && GetCurrentThreadId() != g_app.main_thread_id) {
    // The main thread runs the shutdown inside the private end message and
    // ends the process with our code.
    if (g_app.hidden_owner && IsWindow(g_app.hidden_owner))
      SendMessageW(g_app.hidden_owner, WM_RUNTIME_END, static_cast<WPARAM>(exit_code), 0);
    if (!g_app.shutting_down) ExitProcess(static_cast<UINT>(exit_code));
    return;
  }
  // A runtime error inside an exit routine ends the process at once instead
  // of running the shutdown a second time.
  if (g_app.shutting_down) return;
  g_app.shutting_down = 1;

  ClearIdleCallbacks();
  window_link::DeleteAllWindowRecords();
  RunExitRoutines();
  TellLibrariesGoodbye();
  RunStep(ShutdownStage::kDllCommands);
  ReleaseSharedObjects();
  StopWinsock();
  if (g_app.ole_started) {
    OleUninitialize();
    g_app.ole_started = 0;
  }
}

void __cdecl EndProgram(int32_t exit_code) {
  RunShutdown(exit_code);
  ExitProcess(static_cast<UINT>(exit_code));
}
