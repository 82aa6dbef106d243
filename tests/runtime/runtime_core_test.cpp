// The runtime core in-process: memory rules, notification codes, the call
// gates, DLL binding, the quit rule and the auxiliary services.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "platform/window_class.h"
#include "runtime/abi/app_header.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/app_calls.h"
#include "runtime/dll_commands.h"
#include "runtime/error_report.h"
#include "runtime/heap.h"
#include "runtime/message_loop.h"
#include "runtime/notify.h"
#include "runtime/runtime_services.h"
#include "runtime/runtime_state_for_tests.h"

extern "C" uint64_t __stdcall ClobberAllRegisters(uint32_t low, uint32_t high);

namespace {

// A constant segment for the memory rules.
const char kConstSegment[16] = "constant";

class ConstSegment : public ::testing::Test {
 protected:
  void SetUp() override { test_runtime::SetConstSegment(kConstSegment, sizeof kConstSegment); }
  void TearDown() override { test_runtime::SetConstSegment(nullptr, 0); }
};

TEST_F(ConstSegment, FreeIgnoresNullAndConstants) {
  Free(nullptr);
  Free(const_cast<char*>(kConstSegment + 3));
  EXPECT_STREQ(kConstSegment, "constant");
  void* block = Alloc(10);
  Free(block);  // a heap block really goes back
}

TEST_F(ConstSegment, ReallocOfAConstantCopiesUpToTheSegmentEndOnly) {
  // 4 bytes before the end, asked for 100: exactly 4 bytes come along.
  const char* near_end = kConstSegment + sizeof kConstSegment - 4;
  auto* copy = static_cast<char*>(Realloc(const_cast<char*>(near_end), 100));
  EXPECT_NE(copy, near_end);
  EXPECT_EQ(std::memcmp(copy, near_end, 4), 0);
  EXPECT_STREQ(kConstSegment, "constant");
  Free(copy);

  auto* shorter = static_cast<char*>(Realloc(const_cast<char*>(kConstSegment), 5));
  EXPECT_EQ(std::memcmp(shorter, "const", 5), 0);
  Free(shorter);
}

TEST_F(ConstSegment, ReallocOfNullAllocatesAndOfAHeapBlockKeepsItsBytes) {
  auto* block = static_cast<char*>(Realloc(nullptr, 8));
  std::memcpy(block, "abcdefg", 8);
  block = static_cast<char*>(Realloc(block, 4096));
  EXPECT_STREQ(block, "abcdefg");
  Free(block);
}

TEST(Notify, EventBlockNeverGoesBelowZero) {
  test_runtime::SetEventBlock(0);
  EXPECT_EQ(NotifyRuntime(NR_RESUME_EVENTS, 0, 0), 0);
  EXPECT_FALSE(EventsBlocked());
  NotifyRuntime(NR_SUSPEND_EVENTS, 0, 0);
  EXPECT_TRUE(EventsBlocked()) << "one suspension blocks, whatever resumed before";
  NotifyRuntime(NR_SUSPEND_EVENTS, 0, 0);
  NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
  EXPECT_TRUE(EventsBlocked()) << "suspensions nest";
  NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
  EXPECT_FALSE(EventsBlocked());
}

TEST(Notify, OpenFileRegisterKeepsEachObjectOnce) {
  int32_t file = 0x1234;
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, file, 0), -1);
  EXPECT_EQ(NotifyRuntime(NR_REGISTER_OPEN_FILE, file, 1), 0);
  EXPECT_EQ(NotifyRuntime(NR_REGISTER_OPEN_FILE, file, 7), 0);
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, file, 0), 1) << "the second registration changes nothing";
  EXPECT_EQ(NotifyRuntime(NR_UNREGISTER_OPEN_FILE, file, 0), 1);
  EXPECT_EQ(NotifyRuntime(NR_UNREGISTER_OPEN_FILE, file, 0), 0) << "registered once, so gone after one removal";
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, file, 0), -1);
}

int g_dispatched = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_APP + 5) ++g_dispatched;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeCountingWindow() {
  RegisterWindowClass(L"CountingWindow", 0, CountingProc);
  return CreateWindowExW(0, L"CountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(Notify, PumpDispatchesWaitingMessagesAndLeavesQuitQueued) {
  HWND window = MakeCountingWindow();
  g_dispatched = 0;
  PostMessageW(window, WM_APP + 5, 0, 0);
  PostMessageW(window, WM_APP + 5, 0, 0);
  EXPECT_EQ(NotifyRuntime(NR_PUMP_MESSAGES, 0, 0), 0);
  EXPECT_EQ(g_dispatched, 2);

  PostQuitMessage(3);
  EXPECT_EQ(NotifyRuntime(NR_PUMP_MESSAGES, 0, 0), 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  DestroyWindow(window);
}

TEST(Notify, ServicesAndUnknownCodes) {
  test_runtime::SetProgramKind(3);
  EXPECT_EQ(NotifyRuntime(NR_PROGRAM_KIND, 0, 0), 3);
  EXPECT_EQ(NotifyRuntime(999, 1, 2), 0);
  EXPECT_EQ(NotifyRuntime(2039, 1, 2), 0);
  EXPECT_EQ(NotifyRuntime(NR_PICTURE_TO_BITMAP, static_cast<int32_t>(reinterpret_cast<uintptr_t>("BM")), 2), 0)
      << "no decoder set: no bitmap";
  EXPECT_EQ(NotifyRuntime(NR_ALLOC, 0x7FFFFFF0, 1), 0) << "the plain allocation answers null";
  void* block = reinterpret_cast<void*>(NotifyRuntime(NR_ALLOC, 16, 0));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(NotifyRuntime(NR_FREE, static_cast<int32_t>(reinterpret_cast<uintptr_t>(block)), 0), 0);
  HICON icons[2] = {};
  NotifyRuntime(NR_DEFAULT_ICONS, static_cast<int32_t>(reinterpret_cast<uintptr_t>(icons)), 0);
  EXPECT_NE(icons[0], nullptr);
  EXPECT_NE(icons[1], nullptr);
}

TEST(ErrorReport, TheKindBitsAloneMakeAWindowIdForTheLocation) {
  EXPECT_EQ(FormatRuntimeError(nullptr, 0, 0x52000000, 0), "运行时出错!\r\n\r\n1375731712, 0\r\n未找到所指定的窗口\r\n")
      << "a window kind with serial 0 is looked up, and is no loaded window";
  EXPECT_EQ(FormatRuntimeError(nullptr, 0, 0x52000001, 0), "运行时出错!\r\n\r\n1375731713, 0\r\n未找到所指定的窗口\r\n");
  EXPECT_EQ(FormatRuntimeError(nullptr, 0, 0x54000001, 7), "运行时出错!\r\n\r\n1409286145, 7\r\n")
      << "a routine id names no window";
}

TEST(MessageLoop, QuitIsPostedOnlyOnceTheLoopHasStarted) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  test_runtime::SetLoopStarted(false);
  PostQuitIfNoWindowLeft();
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  test_runtime::SetLoopStarted(true);
  PostQuitIfNoWindowLeft();
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  test_runtime::SetLoopStarted(false);
}

void __cdecl ReadsItsResultFirst(ArgRecord* result, int32_t count, ArgRecord* args) {
  bool zeroed = result->value == 0 && result->aux == 0 && result->type == 0;
  result->value = zeroed ? static_cast<uint32_t>(count) : 0xDEAD;
  result->aux = args[count - 1].value;
  result->type = TYPE_INT;
}

TEST(CallGates, TheResultRecordStartsZeroedAndComesBackWhole) {
  ArgRecord args[2] = {ArgRecord::Int(5), ArgRecord::Omitted()};
  args[1].value = 77;
  ArgRecord core = kernel_services.CallCoreCommand(ReadsItsResultFirst, 2, args);
  EXPECT_EQ(core.value, 2u);
  EXPECT_EQ(core.aux, 77u);
  EXPECT_EQ(core.type, TYPE_INT);
  ArgRecord library = kernel_services.CallLibraryCommand(1, ReadsItsResultFirst, 1, args);
  EXPECT_EQ(library.value, 1u);
  EXPECT_EQ(library.aux, 5u);
}

TEST(CallGates, ApplicationRoutinesMayChangeEveryRegister) {
  volatile uint32_t kept[4] = {1, 2, 3, 4};
  for (uint32_t i = 0; i < 100; ++i) {
    uint32_t args[2] = {i, i * 3};
    uint64_t answer = CallApplicationRoutine(reinterpret_cast<const void*>(&ClobberAllRegisters), args, 2);
    ASSERT_EQ(static_cast<uint32_t>(answer), i);
    ASSERT_EQ(static_cast<uint32_t>(answer >> 32), i * 3);
  }
  EXPECT_EQ(kept[0] + kept[1] + kept[2] + kept[3], 10u);
}

// A module loader that records every call instead of loading anything.
struct LoaderLog {
  std::vector<std::string> loads;
  std::vector<uintptr_t> releases;
  std::vector<uintptr_t> lookups;  // names as their address, ordinals as their number
  std::vector<std::string> existing;  // the libraries that load
  std::string exporting_library;      // the one library that has the function
};
LoaderLog g_loader_log;

HMODULE RecordLoad(const char* path) {
  g_loader_log.loads.push_back(path);
  bool exists = false;
  for (const std::string& e : g_loader_log.existing) exists = exists || e == path;
  if (!exists) return nullptr;
  return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10000 * g_loader_log.loads.size()));
}
// A load from the system folder only is logged as "%system%\NAME".
HMODULE RecordSystemLoad(const char* name) { return RecordLoad(("%system%\\" + std::string(name)).c_str()); }
BOOL WINAPI RecordRelease(HMODULE module) {
  g_loader_log.releases.push_back(reinterpret_cast<uintptr_t>(module));
  return TRUE;
}
FARPROC WINAPI RecordLookup(HMODULE module, LPCSTR name) {
  g_loader_log.lookups.push_back(reinterpret_cast<uintptr_t>(name));
  size_t index = reinterpret_cast<uintptr_t>(module) / 0x10000 - 1;
  bool exports = g_loader_log.loads[index] == g_loader_log.exporting_library;
  return exports ? reinterpret_cast<FARPROC>(0x7000 + index) : nullptr;
}
const ModuleLoader kRecordingLoader = {RecordLoad, RecordSystemLoad, RecordRelease, RecordLookup};

class DllBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_loader_log = LoaderLog();
    test_runtime::SetProgramFolder("C:\\app");
  }
};

TEST_F(DllBindingTest, EmptyLibrarySearchesTheDefaultsAndReleasesTheMisses) {
  g_loader_log.existing = {"%system%\\Kernel32.dll", "%system%\\Gdi32.dll", "%system%\\User32.dll"};
  g_loader_log.exporting_library = "%system%\\User32.dll";
  DllBinding binding = BindDllFunction("", "CallWindowProcA", kRecordingLoader);
  EXPECT_EQ(g_loader_log.loads, (std::vector<std::string>{"%system%\\Kernel32.dll", "%system%\\Gdi32.dll",
                                                          "%system%\\User32.dll"}));
  EXPECT_EQ(g_loader_log.releases, (std::vector<uintptr_t>{0x10000, 0x20000})) << "only User32 stays referenced";
  EXPECT_EQ(reinterpret_cast<uintptr_t>(binding.module), 0x30000u);
  EXPECT_NE(binding.address, nullptr);
}

// The program's folder is usually Downloads: a library Windows brings is
// taken from the system folder alone, whatever lies beside the program and
// however the declaration spells its name; the program's own library is
// found beside it.
TEST_F(DllBindingTest, SystemLibrariesComeFromTheSystemFolderOnlyAndTheProgramsOwnFromItsFolder) {
  g_loader_log.existing = {"C:\\app\\Wininet.dll", "C:\\app\\WININET", "C:\\app\\Mpr.dll", "Wininet.dll"};
  g_loader_log.exporting_library = "C:\\app\\Wininet.dll";
  for (const char* name : {"Wininet.dll", "WININET", "bcrypt.dll", "Mpr.dll"}) {
    g_loader_log.loads.clear();
    DllBinding binding = BindDllFunction(name, "InternetOpenA", kRecordingLoader);
    EXPECT_EQ(g_loader_log.loads, std::vector<std::string>{std::string("%system%\\") + name}) << name;
    EXPECT_EQ(binding.address, nullptr) << name << " missing from the system folder fails to bind";
  }

  g_loader_log.loads.clear();
  g_loader_log.existing = {"C:\\app\\probe.dll"};
  g_loader_log.exporting_library = "C:\\app\\probe.dll";
  DllBinding own = BindDllFunction("probe.dll", "probe_add_one", kRecordingLoader);
  EXPECT_EQ(g_loader_log.loads, std::vector<std::string>{"C:\\app\\probe.dll"});
  EXPECT_NE(own.address, nullptr);
}

TEST_F(DllBindingTest, APathWithADriveLetterIsLoadedOnlyAsGiven) {
  g_loader_log.existing = {"D:\\libs\\probe.dll", "C:\\app\\D:\\libs\\probe.dll"};
  g_loader_log.exporting_library = "D:\\libs\\probe.dll";
  DllBinding binding = BindDllFunction("D:\\libs\\probe.dll", "probe_add_one", kRecordingLoader);
  EXPECT_EQ(g_loader_log.loads, (std::vector<std::string>{"D:\\libs\\probe.dll"}));
  EXPECT_NE(binding.address, nullptr);
}

TEST_F(DllBindingTest, OrdinalsUseTheLowSixteenBits) {
  g_loader_log.existing = {"C:\\app\\probe.dll"};
  g_loader_log.exporting_library = "C:\\app\\probe.dll";
  BindDllFunction("probe.dll", "#12", kRecordingLoader);
  BindDllFunction("probe.dll", "#65548", kRecordingLoader);  // 0x1000C
  ASSERT_EQ(g_loader_log.lookups.size(), 2u);
  EXPECT_EQ(g_loader_log.lookups[0], 12u);
  EXPECT_EQ(g_loader_log.lookups[1], 12u);
}

TEST_F(DllBindingTest, AMissingFunctionReleasesItsLibrary) {
  g_loader_log.existing = {"C:\\x.dll"};
  g_loader_log.exporting_library = "nobody";
  DllBinding binding = BindDllFunction("C:\\x.dll", "f", kRecordingLoader);
  EXPECT_EQ(binding.address, nullptr);
  EXPECT_EQ(binding.module, nullptr);
  EXPECT_EQ(g_loader_log.releases.size(), 1u);
}

TEST_F(DllBindingTest, ABoundEntryLoadsNothingOnTheNextCall) {
  const char* libraries[] = {"kernel32.dll"};
  const char* functions[] = {"GetTickCount"};
  InitDllCommands(1, libraries, functions);
  g_loader_log.existing = {"%system%\\kernel32.dll"};
  g_loader_log.exporting_library = "%system%\\kernel32.dll";
  g_module_loader = &kRecordingLoader;
  FARPROC first = ResolveDllCommand(0);
  size_t loads = g_loader_log.loads.size();
  FARPROC second = ResolveDllCommand(0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(g_loader_log.loads.size(), loads);
  ReleaseDllCommands();
  EXPECT_EQ(g_loader_log.releases.size(), 1u) << "shutdown frees the stored module once";
  g_module_loader = &kSystemModuleLoader;
}

class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"qelmo-find-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW((folder_ + L"\\子目录").c_str(), nullptr);
    Touch(L"\\普通.txt", FILE_ATTRIBUTE_NORMAL);
    Touch(L"\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    pattern_ = WideToGbk((folder_ + L"\\*").c_str());
  }
  void TearDown() override {
    SetFileAttributesW((folder_ + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW((folder_ + L"\\hidden.txt").c_str());
    DeleteFileW((folder_ + L"\\普通.txt").c_str());
    RemoveDirectoryW((folder_ + L"\\子目录").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  void Touch(const std::wstring& name, DWORD attributes) {
    HANDLE file = CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    CloseHandle(file);
    SetFileAttributesW((folder_ + name).c_str(), attributes);
  }
  // Every name a search yields, continuing with an empty pattern.
  std::vector<std::string> Names(uint32_t mask, bool omitted) {
    std::vector<std::string> names;
    HANDLE search = nullptr;
    const char* pattern = pattern_.c_str();
    for (int guard = 0; guard < 20; ++guard) {
      auto text = reinterpret_cast<char*>(static_cast<uintptr_t>(
          kernel_services.AuxService(AUX_FIND_FILE, pattern, mask, omitted ? 1 : 0, &search)));
      pattern = "";
      if (!text) break;
      names.push_back(text);
      Free(text);
    }
    EXPECT_EQ(search, nullptr) << "the end of the search closes it";
    return names;
  }
  std::wstring folder_;
  std::string pattern_;
};

bool Has(const std::vector<std::string>& names, const char* name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

TEST_F(FindFileTest, WithoutAMaskEveryFileButNoDirectory) {
  auto names = Names(0, true);
  EXPECT_TRUE(Has(names, "普通.txt"));
  EXPECT_TRUE(Has(names, "hidden.txt"));
  EXPECT_FALSE(Has(names, "子目录"));
  EXPECT_FALSE(Has(names, "."));
}

TEST_F(FindFileTest, AMaskSelectsEntriesSharingABit) {
  auto hidden = Names(FILE_ATTRIBUTE_HIDDEN, false);
  EXPECT_EQ(hidden, std::vector<std::string>{"hidden.txt"});
  auto directories = Names(FILE_ATTRIBUTE_DIRECTORY, false);
  EXPECT_TRUE(Has(directories, "子目录"));
  EXPECT_FALSE(Has(directories, "普通.txt"));
}

TEST(AuxServices, ConstantArraysAreCopiedBeforeTheirFirstChange) {
  static const int32_t constant_array[] = {1, 3, 10, 20, 30};  // one dimension of 3 integers
  test_runtime::SetConstSegment(constant_array, sizeof constant_array);
  void* array = const_cast<int32_t*>(constant_array);
  kernel_services.AuxService(AUX_COPY_CONST_ARRAY, 4, &array);
  EXPECT_NE(array, constant_array);
  EXPECT_EQ(std::memcmp(array, constant_array, sizeof constant_array), 0);
  void* heap_array = array;
  kernel_services.AuxService(AUX_COPY_CONST_ARRAY, 4, &array);
  EXPECT_EQ(array, heap_array) << "a heap array is left alone";
  Free(array);
  test_runtime::SetConstSegment(nullptr, 0);
}

TEST(AuxServices, AnExitRoutineIsRegisteredOnce) {
  auto routine = reinterpret_cast<void*>(0x401000);
  kernel_services.AuxService(AUX_REGISTER_EXIT_ROUTINE, routine);
  kernel_services.AuxService(AUX_REGISTER_EXIT_ROUTINE, routine);
  EXPECT_EQ(test_runtime::ExitRoutineCount(), 1);
  test_runtime::ForgetExitRoutines();
}

}  // namespace

// The unit tests link the runtime without an application; these stand in.
extern "C" const ApplicationHeader application_header = {};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }
