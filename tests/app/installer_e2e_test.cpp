// The installer end to end: the real program in a folder of its own, the
// local archive server in each of its modes, and a harness that clicks,
// reads the status bar, watches the message box and checks the files.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/archive_server_client.h"
#include "tests/app/installer_driver.h"

namespace {

struct ArchiveCase {
  const wchar_t* button;
  const wchar_t* file;
};
const ArchiveCase kArchive1 = {L"zr配套安装包", L"zr_11.17.zip"};
const ArchiveCase kArchive2 = {L"更新程序下载包", L"qelmo_app.zip"};
const ArchiveCase kArchive3 = {L"完整程序下载包", L"qelmo.rar"};

constexpr DWORD kTimeout = InstallerDriver::kTimeout;

// A size as the display prints it: megabytes to two places, no trailing zeros.
std::wstring Megabytes(double bytes) {
  wchar_t text[64];
  swprintf(text, 64, L"%.2f", bytes / 1048576);
  std::wstring mb = text;
  while (mb.back() == L'0') mb.pop_back();
  if (mb.back() == L'.') mb.pop_back();
  return mb;
}

bool HasNegativeNumber(const std::wstring& text) {
  for (size_t i = text.find(L'-'); i != std::wstring::npos; i = text.find(L'-', i + 1))
    if (i + 1 < text.size() && iswdigit(text[i + 1])) return true;
  return false;
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerMode(L"normal");
    ServerRate(0);
  }
  // The program in a folder of its own, the server in `mode`, one click
  // taken; the test goes on only when all of that worked.
  static InstallerDriver ClickWithServer(const wchar_t* folder_name, const wchar_t* mode, const ArchiveCase& archive,
                                         int rate = 0) {
    InstallerDriver installer(folder_name);
    ServerMode(mode);
    ServerRate(rate);
    std::wstring why;
    if (!installer.window()) ADD_FAILURE() << "no installer window";
    else if (!installer.Click(archive.button, &why)) ADD_FAILURE() << why;
    return installer;
  }
};

// A whole download: the status while it runs, the message that closes by
// itself, the folder opened, the file identical, exit code 0. An older
// archive is replaced; a file of the user's beside it is left alone, and
// nothing else is left in the folder.
void DownloadCompletes(const ArchiveCase& archive, const std::wstring& folder_name, int rate = 0) {
  InstallerDriver installer(folder_name);
  ASSERT_NE(installer.window(), nullptr);
  std::wstring folder = installer.folder();
  EXPECT_EQ(installer.PathBox(), folder.substr(0, folder.size() - 1)) << "the folder, without its last backslash";
  std::wstring target = installer.folder() + archive.file;
  WriteBytes(target, "old");
  const std::string users_file = "the user's own notes";
  WriteBytes(installer.folder() + L"test.txt", users_file);
  if (rate) ServerRate(rate);
  std::wstring why;
  ASSERT_TRUE(installer.Click(archive.button, &why)) << why;
  if (rate) {
    EXPECT_TRUE(installer.WaitForStatus(L"下载状态：正在下载！", 10000));
    EXPECT_EQ(installer.StatusPart(1).rfind(L"下载速度：", 0), 0u);
    EXPECT_EQ(installer.StatusPart(2).rfind(L"下载时间：", 0), 0u);
  }
  MessageBoxSeen box = installer.WaitForCompletionBox(kTimeout, &why);
  ASSERT_NE(box.window, nullptr) << why;
  DWORD shown = GetTickCount();
  EXPECT_EQ(box.caption, L"友情提醒");
  EXPECT_EQ(box.text, L"下载完成！");
  EXPECT_TRUE(SameFile(target, ServerFile(archive.file))) << "the file is complete when the message shows";
  EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载完成！");
  while (IsWindow(box.window) && GetTickCount() - shown < 10000) Sleep(50);
  DWORD open_for = GetTickCount() - shown;
  EXPECT_FALSE(IsWindow(box.window)) << "the box closes by itself";
  EXPECT_GE(open_for, 4000u);
  EXPECT_LE(open_for, 8000u);
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
  EXPECT_TRUE(installer.WaitForExplorer()) << "the program's folder is opened";
  EXPECT_EQ(ReadFileBytes(installer.folder() + L"test.txt"), users_file);
  std::vector<std::wstring> files = installer.FolderFiles();
  std::sort(files.begin(), files.end());
  std::vector<std::wstring> expected = {L"qelmo.exe", L"test.txt", archive.file};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files, expected) << "no probe or partial file is left behind";
}

TEST_F(InstallerTest, FirstArchiveWhileWatchingTheStatus) { DownloadCompletes(kArchive1, L"qelmo-e2e-1", 2000000); }
TEST_F(InstallerTest, SecondArchiveIntoAChineseFolder) { DownloadCompletes(kArchive2, L"安装 测试"); }
TEST_F(InstallerTest, ThirdArchive) { DownloadCompletes(kArchive3, L"qelmo-e2e-3"); }

TEST_F(InstallerTest, AGzipResponseIsStoredDecoded) {
  InstallerDriver installer = ClickWithServer(L"qelmo-e2e-gzip", L"gzip", kArchive3);
  if (HasFailure()) return;
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载完成！")) << installer.Figures();
  std::wstring target = installer.folder() + kArchive3.file;
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive3.file))) << "the resource itself, not the compressed blob";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// Failures: the window stays, the status says so, and the archive the user
// already had is still there, byte for byte. An error answer leaves nothing
// of its own; a connection dropped half way keeps what arrived, and the next
// click asks for the rest of that version only and then replaces the old
// archive with the whole new one.
TEST_F(InstallerTest, FailedTransfersKeepTheOldArchiveAndADroppedOneResumes) {
  InstallerDriver installer(L"qelmo-e2e-fail");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring target = installer.folder() + kArchive2.file;
  const std::string old_archive = "an archive that arrived whole in an earlier run";
  WriteBytes(target, old_archive);
  for (const wchar_t* mode : {L"404", L"500", L"drop"}) {
    ServerMode(mode);
    ClearRequestLog();
    std::wstring why;
    ASSERT_TRUE(installer.Click(kArchive2.button, &why, [] { return RequestsServed() > 0; })) << mode << why;
    EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载失败！")) << mode;
    Sleep(500);  // the click routine has returned by now
    EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载失败！") << mode;
    EXPECT_EQ(ReadFileBytes(target), old_archive) << mode;
    EXPECT_EQ(Exists(target + L".part"), wcscmp(mode, L"drop") == 0) << mode;
    EXPECT_TRUE(IsWindow(installer.window()));
  }
  long long kept = FileSize(target + L".part");
  EXPECT_GT(kept, 0);
  ServerMode(L"normal");
  ServerRate(1000000);  // the rest takes seconds: time to watch its first blocks
  ClearRequestLog();
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive2.button, &why)) << why;
  // The click after the failures shows its own transfer's state with its blocks.
  for (DWORD start = GetTickCount(); installer.DownloadedLabel().empty() && GetTickCount() - start < 10000;) Sleep(20);
  EXPECT_EQ(installer.StatusPart(0), L"下载状态：正在下载！") << installer.Figures();
  MessageBoxSeen box = installer.WaitForCompletionBox(kTimeout, &why);
  EXPECT_EQ(box.text, L"下载完成！") << why;
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive2.file)));
  EXPECT_EQ(RequestLog(), std::vector<std::string>{"normal /up/dll/qelmo_app.zip bytes=" + std::to_string(kept) +
                                                   "- " + ServerValidators(kArchive2.file).etag});
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
  installer.WaitForExplorer();
  EXPECT_FALSE(Exists(target + L".part"));
  EXPECT_FALSE(Exists(target + L".part.info"));
}

// No length: the transfer runs to the end of the body and the window stays;
// the figures shown at the end are those of the whole body, not of the last
// block the display had time for.
TEST_F(InstallerTest, ABodyWithoutLengthEndsWithTheWindowOpenAndItsFinalFigures) {
  InstallerDriver installer = ClickWithServer(L"qelmo-e2e-nolength", L"no-length", kArchive1, 3000000);
  if (HasFailure()) return;
  std::wstring target = installer.folder() + kArchive1.file;
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载完成！")) << installer.Figures();
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive1.file)));
  std::string served = ReadFileBytes(ServerFile(kArchive1.file));
  EXPECT_EQ(installer.DownloadedLabel(), L"已经下载:" + Megabytes(served.size()) + L" MB");
  EXPECT_EQ(installer.TotalLabel(), L"总大小:未知");
  EXPECT_TRUE(IsWindow(installer.window())) << "an unknown length never ends the program";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// An empty answer is no archive: it fails, and the file the user had stays.
TEST_F(InstallerTest, AnEmptyBodyReplacesNothing) {
  InstallerDriver installer(L"qelmo-e2e-empty");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring target = installer.folder() + kArchive1.file;
  const std::string old_archive = "an archive that arrived whole in an earlier run";
  WriteBytes(target, old_archive);
  ServerMode(L"empty");
  ClearRequestLog();
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive1.button, &why, [] { return RequestsServed() > 0; })) << why;
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载失败！")) << installer.Figures();
  EXPECT_EQ(ReadFileBytes(target), old_archive);
  EXPECT_FALSE(Exists(target + L".part"));
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// A server that announces 5 GiB and drops the connection after 4 MB: the
// total is read past 32 bits, every figure stays positive, and the cut-off
// body is a failure that leaves nothing under the archive's name.
TEST_F(InstallerTest, AFiveGibibyteAnnouncementCutShortLeavesNoFile) {
  InstallerDriver installer = ClickWithServer(L"qelmo-e2e-huge", L"huge", kArchive3, 2000000);
  if (HasFailure()) return;
  std::wstring target = installer.folder() + kArchive3.file;
  bool saw_total = false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeout; Sleep(50)) {
    std::wstring figures = installer.Figures();
    EXPECT_FALSE(HasNegativeNumber(figures)) << figures;
    saw_total = saw_total || installer.TotalLabel() == L"总大小:5120 MB";
    if (installer.StatusPart(0) == L"下载状态：下载失败！") break;
  }
  EXPECT_TRUE(saw_total) << installer.Figures();
  EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载失败！") << installer.Figures();
  EXPECT_EQ(installer.DownloadedLabel(), L"已经下载:4 MB");
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(IsWindow(installer.window()));
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

TEST_F(InstallerTest, AReadOnlyFolderIsRefusedBeforeAnyRequest) {
  InstallerDriver installer = InstallerDriver::InPlace(EnvironmentPath(L"QELMO_E2E_DIR") + L"\\readonly\\qelmo.exe");
  ASSERT_NE(installer.window(), nullptr);
  ClearRequestLog();
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive1.button, &why)) << why;
  MessageBoxSeen box = installer.process().WaitForMessageBox(kTimeout);
  EXPECT_EQ(box.text, L"本地文件地址错误！，文件夹不存在！");
  ChildProcess::PressOk(box);
  EXPECT_EQ(RequestsServed(), 0) << "no network activity";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

}  // namespace
