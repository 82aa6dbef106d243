// Going on where a transfer stopped, and checking what arrived: the real
// program against the local archive server, driven from outside. A first
// run is closed during its transfer; a second run in the same folder asks
// for the rest, of that version only.
#include <gtest/gtest.h>

#include <string>

#include "archive_server_client.h"
#include "installer_driver.h"

namespace {

constexpr wchar_t kButton[] = L"完整程序下载包";
constexpr wchar_t kArchive[] = L"qelmo.rar";
constexpr char kPath[] = "/up/all/qelmo.rar";
constexpr DWORD kTimeout = InstallerDriver::kTimeout;

class ResumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerMode(L"normal");
    ServerRate(0);
    ClearRequestLog();
  }
  void TearDown() override { ReplaceSample(kArchive, true); }

  // A run closed during its transfer: what arrived stays in the part file.
  // Answers the folder, and the part file's size.
  static std::wstring CutOffRun(const wchar_t* folder_name, const wchar_t* program, long long* kept) {
    InstallerDriver first(folder_name, program);
    ServerRate(1000000);
    std::wstring why;
    EXPECT_TRUE(first.Click(kButton, &why, [] { return RequestsServed() > 0; })) << why;
    std::wstring part = first.folder() + kArchive + L".part";
    for (DWORD start = GetTickCount(); FileSize(part) < 1000000 && GetTickCount() - start < 10000;) Sleep(20);
    PostMessageW(first.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(first.process().WaitForExit(kTimeout), 0u);
    *kept = FileSize(part);
    EXPECT_GE(*kept, 1000000);
    EXPECT_TRUE(Exists(part + L".info")) << "the record beside the part file";
    ServerRate(0);
    ClearRequestLog();
    return first.folder();
  }

  // One click, the completion, exit code 0, nothing left beside the archive.
  // With `shown_from` the first size shown is checked: a resumed transfer
  // counts the whole archive, from the part file's size on.
  static void ClickAndComplete(InstallerDriver& installer, long long shown_from = -1) {
    std::wstring why;
    if (shown_from >= 0) ServerRate(2000000);
    ASSERT_TRUE(installer.Click(kButton, &why)) << why;
    if (shown_from >= 0) {
      std::wstring shown;
      for (DWORD start = GetTickCount(); shown.empty() && GetTickCount() - start < 10000; Sleep(20))
        shown = installer.DownloadedLabel();
      ASSERT_EQ(shown.rfind(L"已经下载:", 0), 0u) << installer.Figures();
      EXPECT_GE(_wtof(shown.c_str() + 5), shown_from / 1048576.0 - 0.01) << installer.Figures();
      ServerRate(0);
    }
    MessageBoxSeen box = installer.WaitForCompletionBox(kTimeout, &why);
    ASSERT_EQ(box.text, L"下载完成！") << why;
    EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
    installer.WaitForExplorer();
    EXPECT_TRUE(SameFile(installer.folder() + kArchive, ServerFile(kArchive)));
    EXPECT_FALSE(Exists(installer.folder() + kArchive + L".part"));
    EXPECT_FALSE(Exists(installer.folder() + kArchive + L".part.info"));
  }
  // A second run in the folder of a first.
  static void CompletingRun(const std::wstring& folder, long long shown_from = -1) {
    InstallerDriver second = InstallerDriver::InPlace(folder + L"qelmo.exe");
    ClickAndComplete(second, shown_from);
  }

  static std::string RangeRequest(long long from, const std::string& validator) {
    return std::string("normal ") + kPath + " bytes=" + std::to_string(from) + "- " + validator;
  }
};

TEST_F(ResumeTest, ClosedDuringATransferThenTheRestOfTheSameVersion) {
  long long kept = 0;
  std::wstring folder = CutOffRun(L"qelmo-resume", L"qelmo.exe", &kept);
  CompletingRun(folder, kept);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(kept, ServerValidators(kArchive).etag)});
}

// The server has another version by the second click: the If-Range does not
// match, the server sends all of it, and the part file starts again from
// byte 0 (nothing of the old version stays).
TEST_F(ResumeTest, AChangedFileStartsAgainFromZero) {
  long long kept = 0;
  std::string old_etag = ServerValidators(kArchive).etag;
  std::wstring folder = CutOffRun(L"qelmo-resume-changed", L"qelmo.exe", &kept);
  ReplaceSample(kArchive);
  ASSERT_NE(ServerValidators(kArchive).etag, old_etag);
  CompletingRun(folder);  // the new version, whole
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(kept, old_etag)});
}

// A part file that already holds the whole archive: the server answers 416
// with the length the record knows, and that counts as complete.
TEST_F(ResumeTest, AWholePartFileIsComplete) {
  InstallerDriver installer(L"qelmo-resume-whole");
  ASSERT_NE(installer.window(), nullptr);
  std::string served = ReadFileBytes(ServerFile(kArchive));
  Validators version = ServerValidators(kArchive);
  std::wstring part = installer.folder() + kArchive + L".part";
  WriteBytes(part, served);
  WriteBytes(part + L".info", "qelmo partial 1\nurl http://127.0.0.1:18080" + std::string(kPath) + "\ntotal " +
                                  std::to_string(served.size()) + "\netag " + version.etag + "\nlast-modified " +
                                  version.last_modified + "\n");
  ClickAndComplete(installer);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(served.size(), version.etag)});
}

// A build that knows the archives' SHA-256: a whole transfer, and one that
// goes on from a part file (whose bytes are hashed first), both complete.
TEST_F(ResumeTest, TheRightHashCompletesAlsoWhenResumed) {
  long long kept = 0;
  std::wstring folder = CutOffRun(L"qelmo-hash-resumed", L"qelmo_hashed.exe", &kept);
  CompletingRun(folder);
  EXPECT_EQ(RequestLog().size(), 1u);

  InstallerDriver whole(L"qelmo-hash-whole", L"qelmo_hashed.exe");
  ClickAndComplete(whole);
}

// A build whose hash no served archive has: the whole body arrives, fails
// the check, and leaves nothing at all, also not for resuming.
TEST_F(ResumeTest, AWrongHashFailsAndLeavesNoFile) {
  InstallerDriver installer(L"qelmo-hash-wrong", L"qelmo_wrong_hash.exe");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring why;
  ASSERT_TRUE(installer.Click(kButton, &why)) << why;
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载失败！")) << installer.Figures();
  EXPECT_EQ(installer.DownloadedLabel().rfind(L"已经下载:6", 0), 0u) << "the whole body arrived first";
  Sleep(300);
  std::vector<std::wstring> files = installer.FolderFiles();
  EXPECT_EQ(files, std::vector<std::wstring>{L"qelmo.exe"});
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

}  // namespace
