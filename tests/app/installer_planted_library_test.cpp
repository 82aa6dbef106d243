// Libraries planted in the program's folder under the names of system
// libraries. The installer is run from a Downloads folder, where any file
// may lie; a library found there would run with the user's rights, and a
// planted WinINet or bcrypt would undo the TLS and hash checks. The program
// starts, downloads and checks an archive, and none of them runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "archive_server_client.h"
#include "installer_driver.h"

namespace {

// Every library the program uses that Windows does not always take from
// the system folder, and what WinINet and bcrypt load in turn (Wine's
// WinINet brings its own zlib1; Windows' brings iertutil and winhttp).
const wchar_t* const kPlantedNames[] = {L"comctl32", L"wininet",  L"bcrypt",  L"mpr",     L"winmm",
                                        L"zlib1",    L"secur32",  L"crypt32", L"iphlpapi", L"winhttp",
                                        L"iertutil", L"urlmon",   L"msacm32", L"dnsapi",   L"bcryptprimitives"};

// Wine takes its builtin library over one in the program's folder unless
// the library is named native-first; then it searches as Windows does.
// Only names Windows itself may look for outside the system folder are
// listed: kernel32, user32 or msvcrt never are, so overriding them would
// model nothing.
class NativeFirst {
 public:
  NativeFirst() {
    wchar_t old[1024] = {};
    had_ = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", old, 1024) > 0;
    old_ = old;
    std::wstring names;
    for (const wchar_t* name : kPlantedNames) names += (names.empty() ? L"" : L",") + std::wstring(name);
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (old_ + (had_ ? L";" : L"") + names + L"=n,b").c_str());
  }
  ~NativeFirst() { SetEnvironmentVariableW(L"WINEDLLOVERRIDES", had_ ? old_.c_str() : nullptr); }

 private:
  bool had_ = false;
  std::wstring old_;
};

// The marks the planted libraries left, NAME.dll.ran for each that ran.
std::wstring Marks(const InstallerDriver& installer) {
  std::wstring marks;
  for (const std::wstring& file : installer.FolderFiles())
    if (file.size() > 4 && file.compare(file.size() - 4, 4, L".ran") == 0) marks += file + L" ";
  return marks;
}

// The build that checks the archive's SHA-256, so bcrypt is loaded too.
TEST(PlantedLibraries, NoneRunsWhileTheProgramDownloadsAndChecksAnArchive) {
  ServerMode(L"normal");
  ServerRate(0);
  std::wstring folder = MakeTempFolder(L"qelmo-planted");
  std::wstring exe = folder + L"qelmo.exe";
  ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"..\\..\\app\\qelmo_hashed.exe").c_str(), exe.c_str(), FALSE));
  std::wstring planted = TestProgramFolder() + L"planted_library.dll";
  for (const wchar_t* name : kPlantedNames)
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + name + L".dll").c_str(), FALSE)) << name;

  InstallerDriver installer = [&] {
    NativeFirst overrides;
    return InstallerDriver::InPlace(exe);
  }();
  ASSERT_NE(installer.window(), nullptr) << "the program did not open; ran: " << Marks(installer);
  std::wstring why;
  ASSERT_TRUE(installer.Click(L"zr配套安装包", &why)) << why;
  MessageBoxSeen box = installer.WaitForCompletionBox(InstallerDriver::kTimeout, &why);
  EXPECT_EQ(box.text, L"下载完成！") << why << installer.Figures();
  EXPECT_TRUE(SameFile(folder + L"zr_11.17.zip", ServerFile(L"zr_11.17.zip")));
  EXPECT_EQ(installer.process().WaitForExit(InstallerDriver::kTimeout), 0u);
  installer.WaitForExplorer();
  EXPECT_EQ(Marks(installer), L"") << "planted libraries ran";
}

}  // namespace
