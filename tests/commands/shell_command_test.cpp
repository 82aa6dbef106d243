// shell_execute through the library-command gate: the verb and show-mode
// tables and the omitted-argument rules, seen by a probe program the shell
// starts; and "explore" opening a file-manager window on a folder.
#include <gtest/gtest.h>

#include <string>

#include "tests/commands/target_host.h"
#include "tests/harness/child_process.h"

namespace {

ArgRecord T(const std::string& text) { return ArgRecord::Text(text.c_str()); }
ArgRecord I(int32_t v) { return ArgRecord::Int(v); }
const ArgRecord kOmitted = ArgRecord::Omitted();

class ShellExecute : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"QELMO_PROBE_OUT", out_.c_str());
    ASSERT_NE(GetFileAttributesW(probe_.c_str()), INVALID_FILE_ATTRIBUTES) << "shell_probe.exe is built beside";
  }
  void TearDown() override { SetEnvironmentVariableW(L"QELMO_PROBE_OUT", nullptr); }

  // What the probe reported, or an empty text when it did not run in time.
  std::wstring WaitForProbe(DWORD timeout_ms = 15000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms; Sleep(50)) {
      std::string bytes = ReadWholeFile(Gbk(out_));
      if (bytes != "(missing)") {
        DeleteFileW(out_.c_str());
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
      }
    }
    return L"";
  }
  static std::wstring Line(const std::wstring& report, const std::wstring& key) {
    size_t at = report.find(key + L"=");
    if (at == std::wstring::npos) return L"(none)";
    at += key.size() + 1;
    return report.substr(at, report.find(L'\n', at) - at);
  }

  TestFolder folder{L"qelmo-外壳"};
  std::wstring out_ = folder.wide() + L"probe.out";
  std::wstring probe_ = TestProgramFolder() + L"shell_probe.exe";
  std::string probe_gbk_ = Gbk(probe_);
};

struct ShowCase {
  const char* name;
  std::vector<ArgRecord> show;  // the fifth argument, when passed
  int expected;
};

class ShowModes : public ShellExecute, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowModes, FollowTheShowTable) {
  std::string parameters = "参数 two", working_folder = folder.Path("");  // alive through the call
  std::vector<ArgRecord> args = {I(4), T(probe_gbk_), T(parameters), T(working_folder)};
  args.insert(args.end(), GetParam().show.begin(), GetParam().show.end());
  args.push_back(kOmitted);
  kernel_services.CallLibraryCommand(kSystemInterfaceLibraryIndex,
                                     system_interface_library.commands[SYSCMD_SHELL_EXECUTE],
                                     static_cast<int32_t>(args.size() - 1), args.data());
  std::wstring report = WaitForProbe();
  ASSERT_FALSE(report.empty()) << "the probe did not start";
  EXPECT_EQ(Line(report, L"show"), std::to_wstring(GetParam().expected));
  EXPECT_EQ(Line(report, L"args"), L"参数|two");
  std::wstring cwd = Line(report, L"cwd");
  EXPECT_EQ(cwd + (cwd.back() == L'\\' ? L"" : L"\\"), folder.wide());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShowModes,
    ::testing::Values(ShowCase{"Hidden", {I(1)}, SW_HIDE}, ShowCase{"Normal", {I(2)}, SW_SHOWNORMAL},
                      ShowCase{"Minimized", {I(3)}, SW_SHOWMINIMIZED}, ShowCase{"Maximized", {I(4)}, SW_SHOWMAXIMIZED},
                      ShowCase{"NoActivate", {I(5)}, SW_SHOWNA}, ShowCase{"Minimize", {I(6)}, SW_MINIMIZE},
                      // Not the row of mode 1: shown normally.
                      ShowCase{"Omitted", {kOmitted}, SW_SHOWNORMAL}, ShowCase{"NotPassed", {}, SW_SHOWNORMAL},
                      ShowCase{"Zero", {I(0)}, SW_SHOWNORMAL}, ShowCase{"Seven", {I(7)}, SW_SHOWNORMAL},
                      ShowCase{"Negative", {I(-1)}, SW_SHOWNORMAL}),
    [](const ::testing::TestParamInfo<ShowCase>& info) { return std::string(info.param.name); });

TEST_F(ShellExecute, OmittedParametersAndFolder) {
  // No parameters at all; the working folder then is this program's.
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(folder.wide().c_str());
  CallSystemInterface(SYSCMD_SHELL_EXECUTE, {I(4), T(probe_gbk_)});
  SetCurrentDirectoryW(saved);
  std::wstring report = WaitForProbe();
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(Line(report, L"args"), L"");
  std::wstring cwd = Line(report, L"cwd");
  EXPECT_EQ(cwd + (cwd.back() == L'\\' ? L"" : L"\\"), folder.wide());
  EXPECT_EQ(Line(report, L"show"), std::to_wstring(SW_SHOWNORMAL));
}

// A file type of this test process whose verbs each start the probe with
// the verb's name. Its default action is "print", so that a request without
// a verb cannot pass for "open".
class ProbeFileType {
 public:
  ProbeFileType(const std::wstring& probe) {
    std::wstring id = std::to_wstring(GetCurrentProcessId());
    extension_ = L".qelmoprobe" + id;
    type_ = L"qelmoprobe" + id + L".file";
    SetDefault(extension_, type_);
    for (const wchar_t* verb : {L"edit", L"explore", L"find", L"open", L"print"})
      SetDefault(type_ + L"\\shell\\" + verb + L"\\command", L"\"" + probe + L"\" " + verb + L" \"%1\"");
    SetDefault(type_ + L"\\shell", L"print");
  }
  ~ProbeFileType() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, extension_.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, extension_.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, type_.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, type_.c_str());
  }
  const std::wstring& extension() const { return extension_; }

 private:
  static void SetDefault(const std::wstring& key, const std::wstring& value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != 0)
      return;
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  std::wstring extension_;
  std::wstring type_;
};

TEST_F(ShellExecute, OperationsPickTheVerb) {
  ProbeFileType type(probe_);
  std::string document = folder.Path("文档") + Gbk(type.extension());
  WriteWholeFile(document, "x");
  struct {
    ArgRecord operation;
    const wchar_t* verb;
  } cases[] = {
      {I(1), L"edit"},  {I(2), L"explore"}, {I(3), L"find"},  {I(4), L"open"}, {I(5), L"print"},
      // No verb: the type's default action, which is "print" here.
      {I(0), L"print"}, {I(9), L"print"},    {I(-1), L"print"}, {kOmitted, L"print"},
  };
  for (const auto& c : cases) {
    CallSystemInterface(SYSCMD_SHELL_EXECUTE, {c.operation, T(document)});
    std::wstring report = WaitForProbe();
    EXPECT_EQ(Line(report, L"args"), std::wstring(c.verb) + L"|" + Wide(document))
        << "operation " << static_cast<int32_t>(c.operation.value);
  }
}

TEST_F(ShellExecute, AMissingTargetShowsNothing) {
  DWORD start = GetTickCount();
  CallSystemInterface(SYSCMD_SHELL_EXECUTE, {I(4), T(folder.Path("没有这个程序.exe"))});
  CallSystemInterface(SYSCMD_SHELL_EXECUTE, {I(2), T(folder.Path("没有这个目录"))});
  EXPECT_LT(GetTickCount() - start, 10000u) << "returns without waiting for anyone";
  Sleep(1000);
  EXPECT_EQ(VisibleWindowsOf(GetCurrentProcessId(), kMessageBoxClass).size(), 0u);
  EXPECT_TRUE(WaitForProbe(200).empty());
}

struct FindExplorer {
  std::wstring title;
  HWND window;
};

BOOL CALLBACK FindExplorerWindow(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<FindExplorer*>(param);
  wchar_t name[64] = {}, title[512] = {};
  GetClassNameW(window, name, 64);
  GetWindowTextW(window, title, 512);
  bool file_manager = wcscmp(name, L"ExplorerWClass") == 0 || wcscmp(name, L"CabinetWClass") == 0;
  if (file_manager && IsWindowVisible(window) && std::wstring(title).find(find->title) != std::wstring::npos) {
    find->window = window;
    return FALSE;
  }
  return TRUE;
}

TEST_F(ShellExecute, ExploreOpensAFileManagerWindowOnTheFolder) {
  // As the installer does at the end: operation 2 and the folder, the rest omitted.
  std::wstring name = folder.wide().substr(0, folder.wide().size() - 1);
  name = name.substr(name.find_last_of(L'\\') + 1);
  CallSystemInterface(SYSCMD_SHELL_EXECUTE, {I(2), T(folder.Path("").substr(0, folder.Path("").size() - 1)),
                                             kOmitted, kOmitted, kOmitted});
  FindExplorer find = {name, nullptr};
  for (DWORD start = GetTickCount(); !find.window && GetTickCount() - start < 15000; Sleep(100))
    EnumWindows(FindExplorerWindow, reinterpret_cast<LPARAM>(&find));
  ASSERT_NE(find.window, nullptr) << "no file-manager window titled " << name;
  EXPECT_FALSE(IsIconic(find.window)) << "shown normally";
  EXPECT_FALSE(IsZoomed(find.window));
  // Close what was opened, and wait (bounded) for it to go.
  PostMessageW(find.window, WM_CLOSE, 0, 0);
  for (DWORD start = GetTickCount(); IsWindow(find.window) && GetTickCount() - start < 10000; Sleep(100)) {
  }
  EXPECT_FALSE(IsWindow(find.window));
}

}  // namespace
