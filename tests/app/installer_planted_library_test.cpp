// Libraries planted in the program's folder under the names of system
// libraries. The installer is run from a Downloads folder, where any file
// may lie; a library found there would run with the user's rights, and a
// planted WinINet or bcrypt would undo the TLS and hash checks. The program
// starts, downloads and checks an archive, and none of them runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/archive_server_client.h"
#include "tests/app/installer_driver.h"

namespace {

// Wine takes its builtin library over one in the program's folder unless
// the library is named native-first, and it reads those names from the
// environment a process starts with: the test's own (tests/app/CMakeLists.txt
// lists them), which the program inherits. A library is planted under each
// of them.
std::vector<std::wstring> NativeFirstNames() {
  wchar_t overrides[2048] = {};
  GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 2048);
  std::wstring list = overrides;
  list = list.substr(0, list.find(L'='));
  std::vector<std::wstring> names;
  for (size_t at = 0; at < list.size();) {
    size_t comma = std::min(list.find(L',', at), list.size());
    names.push_back(list.substr(at, comma - at));
    at = comma + 1;
  }
  return names;
}

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
  ASSERT_TRUE(CopyFileW(BuiltProgram(L"qelmo_hashed.exe").c_str(), exe.c_str(), FALSE));
  std::wstring planted = TestProgramFolder() + L"planted_library.dll";
  std::vector<std::wstring> names = NativeFirstNames();
  ASSERT_GE(names.size(), 5u) << "WINEDLLOVERRIDES lists the planted names";
  for (const std::wstring& name : names)
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + name + L".dll").c_str(), FALSE)) << name.c_str();

  InstallerDriver installer = InstallerDriver::InPlace(exe);
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
