// Process start-up: the platform entry, the instance initialisation that runs
// the application's entry routine, and runtime initialisation.
#include <ole2.h>
#include <windows.h>

#include "platform/wide_text.h"
#include "runtime/app_calls.h"
#include "runtime/dll_commands.h"
#include "runtime/error_report.h"
#include "runtime/hidden_owner.h"
#include "runtime/message_loop.h"
#include "runtime/notify.h"
#include "runtime/out_of_memory.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"
#include "runtime/system_library.h"
#include "runtime/value/gbk.h"
#include "runtime/window_link.h"

RuntimeApp g_app;

namespace {

std::string ModuleFileName() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  path[n < MAX_PATH * 2 ? n : MAX_PATH * 2 - 1] = L'\0';
  return WideToGbk(path);
}

int FacilityAbsent() { return 0; }
int FacilityNoDispatch(int, int, int) { return 0; }
void FacilityNoTerminate() {}

void InstallFacilityHooks() {
  for (FacilityHook& hook : g_app.facilities) hook = {FacilityAbsent, FacilityNoDispatch, FacilityNoTerminate};
}

void TellLibrariesTheirNotifyEntry(const ApplicationHeader* header) {
  for (uint32_t i = 0; i < header->library_count; ++i) {
    const LibraryDescriptor* library = header->libraries ? header->libraries[i] : nullptr;
    if (library && library->notify)
      library->notify(NOTIFY_LIB_INIT, static_cast<int32_t>(reinterpret_cast<uintptr_t>(&NotifyRuntime)), 0);
  }
  g_app.libraries = header->libraries;
  g_app.library_count = header->library_count;
  g_app.library_values.Resize(static_cast<int32_t>(header->library_count));
  for (int32_t i = 0; i < g_app.library_values.count(); ++i) g_app.library_values[i] = 0;
}

// The instance exit: the orderly shutdown, then the exit code is the wParam
// of the last message the loop retrieved (0 after PostQuitMessage(0)).
int ExitInstance() {
  RunShutdown(0);
  return static_cast<int>(LastRetrievedMessage().wParam);
}

}  // namespace

void InitRuntime(const ApplicationHeader* header) {
  g_app.header = header;
  g_app.heap = GetProcessHeap();
  InstallOutOfMemoryHandler();
  g_app.program_kind = header->program_kind;
  g_app.header_word2 = header->header_word2;
  g_app.header_word3 = header->header_word3 + 1;
  if (!g_app.ole_started) {
    OleInitialize(nullptr);
    g_app.ole_started = 1;
  }
  SplitPath module = SplitAtLastBackslash(ModuleFileName().c_str());
  g_app.program_dir = module.directory;
  g_app.program_file = module.file;
  SetCurrentDirectoryW(GbkToWide(g_app.program_dir.c_str()).c_str());
  InstallFacilityHooks();
  g_app.hidden_owner = CreateHiddenOwner();
  g_app.main_thread_id = GetCurrentThreadId();
  if (header->const_size > 0) {
    g_app.const_begin = static_cast<const char*>(header->const_start);
    g_app.const_end = g_app.const_begin + header->const_size;
  }
  if (header->dll_command_count > 0)
    InitDllCommands(header->dll_command_count, header->dll_library_names, header->dll_function_names);
  TellLibrariesTheirNotifyEntry(header);
  if (header->template_size > 0 &&
      !window_link::LoadTemplate(header->template_start, header->template_size, header->code_base)) {
    RaiseRuntimeError("载入窗口模板数据段出错!", 0, 0, 0);
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library: never from the program's folder.
  RestrictLibrarySearch();
  // Instance initialisation: remember the program's folder, then run the
  // application's entry routine, inside which the whole program lives.
  std::string module = ModuleFileName();
  int slash = FindLastCharacter(module.c_str(), '\\');
  g_app.program_dir_slash = module.substr(0, static_cast<size_t>(slash + 1));
  auto result = static_cast<int32_t>(
      CallApplicationRoutine(reinterpret_cast<const void*>(&ApplicationEntry), nullptr, 0));
  (void)result;  // the entry routine returns 0, so no framework loop runs
  return ExitInstance();
}
