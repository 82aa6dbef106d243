// A small application for the runtime's tests. Like the product it reaches
// the runtime only through the kernel services, its header block and its
// DLL declarations; the first command-line word picks a scenario, the
// second names a file that the scenario writes what it saw into.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gbk_code_page.h"
#include "runtime/abi/app_header.h"
#include "runtime/abi/compiled_code.h"
#include "tests/runtime/test_app/failing_allocator.h"
#include "tests/runtime/test_app/fake_window_manager.h"

namespace {

enum TestDll : int {
  DLL_PROBE_ADD_ONE = 0,
  DLL_PROBE_ORDINAL,
  DLL_CALL_WINDOW_PROC,  // empty library name: searched in the default libraries
  DLL_STRLEN,            // caller clean-up
  DLL_PROBE_BY_PATH,     // a full path with a drive letter, filled in at start
  DLL_MISSING_FUNCTION,
  DLL_MISSING_ANYWHERE,
  DLL_COUNT
};

char g_probe_path[MAX_PATH * 2] = "";
const char* const kDllLibraries[DLL_COUNT] = {"probe.dll", "probe.dll", "", "msvcrt.dll", g_probe_path, "probe.dll", ""};
const char* const kDllFunctions[DLL_COUNT] = {"probe_add_one",  "#12",           "CallWindowProcA",
                                              "strlen",         "probe_add_one", "probe_no_such_function",
                                              "NoSuchFunctionAnywhere"};

// A library of the test application, to reach NotifyRuntime.
NotifyEntry g_notify = nullptr;
void Report(const std::string& line);
int32_t __stdcall TestLibraryNotify(int32_t code, int32_t arg1, int32_t) {
  if (code == NOTIFY_LIB_INIT) g_notify = reinterpret_cast<NotifyEntry>(static_cast<uintptr_t>(arg1));
  if (code == NOTIFY_LIB_SHUTDOWN) Report("library shutdown " + std::to_string(arg1));
  return code == NOTIFY_LIB_INIT || code == NOTIFY_LIB_SHUTDOWN ? 0 : -1;
}
const LibraryDescriptor kTestLibrary = {"test", TestLibraryNotify, nullptr, 0, nullptr, 0};
const LibraryDescriptor* const kLibraries[] = {&kTestLibrary};

const char kTemplateStandIn[4] = {1, 2, 3, 4};
const struct {
  char empty_text[4];
  int32_t empty_bytes[2];
} kConstants = {{0}, {1, 0}};

std::vector<std::wstring> g_args;
std::wstring g_out;

std::wstring Arg(size_t i) { return i < g_args.size() ? g_args[i] : std::wstring(); }
int ArgInt(size_t i) { return static_cast<int>(wcstol(Arg(i).c_str(), nullptr, 0)); }

void Report(const std::string& line) {
  if (g_out.empty()) return;
  HANDLE file = CreateFileW(g_out.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void __stdcall ExitRoutine() { Report("exit routine"); }

DWORD WINAPI EndFromWorker(void* code) {
  Sleep(200);
  kernel_services.EndProgram(static_cast<int32_t>(reinterpret_cast<intptr_t>(code)));
  return 0;
}

std::string Text(int32_t pointer_word) {
  auto text = reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<uint32_t>(pointer_word)));
  return text ? text : "(null)";
}

void ReportDllCalls() {
  constexpr DllCallSite add_one = {DLL_PROBE_ADD_ONE, 0, 0, 0};
  constexpr DllCallSite ordinal = {DLL_PROBE_ORDINAL, 0, 0, 0};
  constexpr DllCallSite by_path = {DLL_PROBE_BY_PATH, 0, 0, 0};
  constexpr DllCallSite strlen_site = {DLL_STRLEN, 1, 0, 0};
  constexpr DllCallSite call_window_proc = {DLL_CALL_WINDOW_PROC, 0, 0, 0};
  Report("add_one " + std::to_string(CallDll(add_one, 41)));
  Report("add_one again " + std::to_string(CallDll(add_one, 1)));
  Report("ordinal " + std::to_string(CallDll(ordinal)));
  Report("by_path " + std::to_string(CallDll(by_path, 41)));
  static const char kText[] = "length of this";
  Report("strlen " + std::to_string(CallDll(strlen_site, Word(kText))));
  // CallWindowProcA(DefWindowProcA, hidden window, WM_NULL) answers 0.
  auto def_proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), "DefWindowProcA");
  Report("call_window_proc " + std::to_string(CallDll(call_window_proc, Word(reinterpret_cast<void*>(def_proc)),
                                                       Word(GetDesktopWindow()), 0, 0, 0)));
}

void __stdcall Startup() {
  // Registered a second time: it must still run only once.
  kernel_services.AuxService(AUX_REGISTER_EXIT_ROUTINE, reinterpret_cast<void*>(&ExitRoutine));
  std::wstring scenario = Arg(1);
  if (scenario == L"end_program") {
    kernel_services.EndProgram(ArgInt(3));
  } else if (scenario == L"report_error") {
    kernel_services.ReportError(ArgInt(3), ArgInt(4), ArgInt(5));
  } else if (scenario == L"library_error") {
    g_notify(2027, Word("库里出错了"), 0);
  } else if (scenario == L"alloc_fail") {
    kernel_services.Alloc(0x7FFFFFF0);
  } else if (scenario == L"string_out_of_memory") {
    FailOperatorNewAfter(0);
    std::string grown(4096, 'x');
    Report("survived " + grown);
  } else if (scenario == L"heap_out_of_memory") {
    FailOperatorNewAfter(0);
    LimitRuntimeHeap(64 * 1024);
    for (;;) kernel_services.Alloc(1000);
  } else if (scenario == L"worker_end") {
    CloseHandle(CreateThread(nullptr, 0, EndFromWorker, reinterpret_cast<void*>(intptr_t{ArgInt(3)}), 0, nullptr));
  } else if (scenario == L"program_dir") {
    Report("dir " + Text(g_notify(2003, 0, 0)));
    Report("file " + Text(g_notify(2004, 0, 0)));
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    char gbk[MAX_PATH * 2];
    WideCharToMultiByte(kGbkCodePage, 0, current, -1, gbk, sizeof gbk, nullptr, nullptr);
    Report(std::string("current ") + gbk);
  } else if (scenario == L"fpu_reset") {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X", control);
    Report(std::string("fpu ") + hex);
  } else if (scenario == L"dll_calls") {
    ReportDllCalls();
  } else if (scenario == L"dll_stack_error") {
    // probe_add_one takes one argument, declared here as taking two.
    constexpr DllCallSite wrong = {DLL_PROBE_ADD_ONE, 0, 67187515, 18};
    CallDll(wrong, 1, 2);
    Report("survived");
  } else if (scenario == L"dll_missing") {
    CallDll(DllCallSite{DLL_MISSING_FUNCTION, 0, 0, 0});
  } else if (scenario == L"dll_missing_default") {
    CallDll(DllCallSite{DLL_MISSING_ANYWHERE, 0, 0, 0});
  }
}

uint32_t StartWindowFor(const std::wstring& scenario) {
  return scenario == L"start_window_missing" ? 0x52000099 : kFakeWindowId;
}

void PlanFor(const std::wstring& scenario) {
  g_fake_plan.template_damaged = scenario == L"template_error";
  if (scenario == L"window_closes_at_once") g_fake_plan.close_after_ms = 0;
  if (scenario == L"window_closes_later" || scenario.rfind(L"dll", 0) == 0 || scenario == L"program_dir" ||
      scenario == L"fpu_reset")
    g_fake_plan.close_after_ms = 300;
  if (scenario == L"empty_tags") g_fake_plan.window_tag = "";
}

}  // namespace

extern "C" const ApplicationHeader application_header = {
    3,         0,         0x1A19A,      reinterpret_cast<const void*>(&Startup), &kConstants, sizeof kConstants,
    kTemplateStandIn,     sizeof kTemplateStandIn,
    1,         kLibraries, DLL_COUNT,    kDllLibraries,                           kDllFunctions,
};

extern "C" int32_t __stdcall ApplicationEntry() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 0; i < argc; ++i) g_args.push_back(argv[i]);
  LocalFree(argv);
  g_out = Arg(2) == L"-" ? L"" : Arg(2);
  std::wstring scenario = Arg(1);
  PlanFor(scenario);
  if (scenario == L"fpu_reset") {
    // Round toward zero, single precision, zero-divide unmasked: the entry
    // sequence must put everything back.
    uint16_t odd = 0x0C7B;
    __asm__ volatile("fldcw %0" : : "m"(odd));
  }
  if (scenario == L"report_error_window") {
    // The error names a window and an element: the location lists their tags.
    kernel_services.AuxService(AUX_INIT_RUNTIME);
    kernel_services.LoadStartWindow(kFakeWindowId);
    kernel_services.ReportError(5, static_cast<int32_t>(ArgInt(3)), static_cast<int32_t>(ArgInt(4)));
  }
  // A drive-letter path to the probe copy that exists only in the alt folder.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path = path.substr(0, path.find_last_of(L'\\')) + L"\\alt\\probe_far.dll";
  WideCharToMultiByte(kGbkCodePage, 0, path.c_str(), -1, g_probe_path, sizeof g_probe_path, nullptr, nullptr);
  return RunApplicationEntry({nullptr, ExitRoutine, Startup, StartWindowFor(scenario)});
}
