// Going on where a transfer stopped, and checking what arrived: the real
// program against the local archive server, driven from outside. A first
// run is closed during its transfer; a second run in the same folder asks
// for the rest, of that version only.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/app/archive_server_client.h"
#include "tests/app/installer_driver.h"

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
    ServerSignatures(L"signed");
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

  static std::string RangeRequest(long long from, const std::string& validator, const char* mode = "normal") {
    return std::string(mode) + " " + kPath + " bytes=" + std::to_string(from) + "- " + validator;
  }

  // A part file and its record as a transfer leaves them: `part` holds the
  // served archive's first `valid` bytes and whatever follows them.
  static void LayPart(const std::wstring& folder, const std::string& part, size_t valid) {
    std::string served = ReadFileBytes(ServerFile(kArchive));
    Validators version = ServerValidators(kArchive);
    WriteBytes(folder + kArchive + L".part", part);
    WriteBytes(folder + kArchive + L".part.info",
               "qelmo partial 2\nurl http://127.0.0.1:18080" + std::string(kPath) + "\ntotal " +
                   std::to_string(served.size()) + "\netag " + version.etag + "\nlast-modified " +
                   version.last_modified + "\nvalid " + std::to_string(valid) + "\n");
  }

  // A click that fails; the part file and its record stay as they were.
  // After a failure the status reads the same once the next one failed, and
  // against the local server that can be quicker than the driver looks: a
  // click the server saw is a click taken.
  static void FailingClick(InstallerDriver& installer, long long kept, const std::function<bool()>& taken = {}) {
    std::wstring why;
    ASSERT_TRUE(installer.Click(kButton, &why, taken)) << why;
    EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载失败！")) << installer.Figures();
    std::wstring part = installer.folder() + kArchive + L".part";
    EXPECT_EQ(FileSize(part), kept);
    EXPECT_TRUE(Exists(part + L".info"));
  }

  // A click whose whole archive then fails its check: the part goes, and
  // the archive the user had stays as it was.
  static void RefusedClick(InstallerDriver& installer, const std::string& old_archive) {
    ClearRequestLog();
    std::wstring why;
    ASSERT_TRUE(installer.Click(kButton, &why, [] { return RequestsServed() > 0; })) << why;
    // The buttons come back once the transfer (and its signature's) is over.
    for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeout; Sleep(50))
      if (RequestsServed() == 2 && installer.AllDownloadButtonsEnabled()) break;
    EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载失败！") << installer.Figures();
    EXPECT_EQ(RequestLog().back(), std::string("normal ") + kPath + ".sig - -");
    EXPECT_TRUE(ReadFileBytes(installer.folder() + kArchive) == old_archive) << "the old archive was replaced";
    EXPECT_FALSE(Exists(installer.folder() + kArchive + L".part"));
    EXPECT_FALSE(Exists(installer.folder() + kArchive + L".part.info"));
  }
};

TEST_F(ResumeTest, ClosedDuringATransferThenTheRestOfTheSameVersion) {
  long long kept = 0;
  std::wstring folder = CutOffRun(L"qelmo-resume", L"qelmo.exe", &kept);
  CompletingRun(folder, kept);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(kept, ServerValidators(kArchive).etag)});
}

// While the body arrives, the record vouches for more and more of the part
// (it is flushed every few seconds), never for more than is there.
TEST_F(ResumeTest, TheRecordFollowsThePartWhileItArrives) {
  InstallerDriver installer(L"qelmo-resume-record");
  ASSERT_NE(installer.window(), nullptr);
  ServerRate(1000000);
  std::wstring why;
  ASSERT_TRUE(installer.Click(kButton, &why, [] { return RequestsServed() > 0; })) << why;
  std::wstring part = installer.folder() + kArchive + L".part";
  long long vouched = 0;
  for (DWORD start = GetTickCount(); vouched <= 0 && GetTickCount() - start < 8000; Sleep(100))
    vouched = VouchedBytes(part);
  EXPECT_GT(vouched, 0) << "no flush within 8 s of a transfer at 1 MB/s";
  EXPECT_LE(vouched, FileSize(part));
  EXPECT_EQ(installer.StatusPart(0), L"下载状态：正在下载！") << "while the transfer runs";
  PostMessageW(installer.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
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

// A click that fails before any of the rest arrives (offline, an error
// answer, a connection closed before the headers) costs nothing: the next
// one asks for the rest, and nothing is fetched from byte 0 again.
TEST_F(ResumeTest, AFailedClickKeepsThePartForTheNextOne) {
  long long kept = 0;
  std::wstring folder = CutOffRun(L"qelmo-resume-failures", L"qelmo.exe", &kept);
  std::wstring offline = folder + L"qelmo_no_server.exe";
  ASSERT_TRUE(CopyFileW(BuiltProgram(L"qelmo_no_server.exe").c_str(), offline.c_str(), FALSE));
  {
    InstallerDriver no_server = InstallerDriver::InPlace(offline);
    FailingClick(no_server, kept);
    no_server.CloseWithEsc();
    EXPECT_EQ(no_server.process().WaitForExit(kTimeout), 0u);
  }
  InstallerDriver installer = InstallerDriver::InPlace(folder + L"qelmo.exe");
  for (const wchar_t* mode : {L"404", L"503", L"close-headers"}) {
    ServerMode(mode);
    ClearRequestLog();
    FailingClick(installer, kept, [] { return RequestsServed() > 0; });
  }
  ServerMode(L"normal");
  ClearRequestLog();
  ClickAndComplete(installer);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(kept, ServerValidators(kArchive).etag)});
}

// A part whose move into place failed (the old archive held open by another
// program) stays whole, and the next click moves it.
TEST_F(ResumeTest, AWholePartThatCouldNotReplaceTheOldArchiveIsMovedNextTime) {
  InstallerDriver installer(L"qelmo-resume-held");
  ASSERT_NE(installer.window(), nullptr);
  std::string served = ReadFileBytes(ServerFile(kArchive));
  LayPart(installer.folder(), served, served.size());
  std::wstring target = installer.folder() + kArchive;
  WriteBytes(target, "the archive the user had");
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  FailingClick(installer, static_cast<long long>(served.size()));
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(target), "the archive the user had");
  ClickAndComplete(installer);
  std::string whole = RangeRequest(served.size(), ServerValidators(kArchive).etag);
  EXPECT_EQ(RequestLog(), (std::vector<std::string>{whole, whole}));
}

// After a power cut a part file can be longer than what was written, its
// tail zeros; the record vouches only for what was flushed, and the part is
// cut back to that before the rest is appended.
TEST_F(ResumeTest, AZeroTailIsCutOffBeforeTheRest) {
  InstallerDriver installer(L"qelmo-resume-zeros");
  ASSERT_NE(installer.window(), nullptr);
  std::string served = ReadFileBytes(ServerFile(kArchive));
  size_t valid = served.size() / 3;
  LayPart(installer.folder(), served.substr(0, valid) + std::string(200000, '\0'), valid);
  ClickAndComplete(installer);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(valid, ServerValidators(kArchive).etag)});
}

// A server that ignores If-Range sends the rest of the version it has now;
// that rest is never appended to a part of the old one.
TEST_F(ResumeTest, TheRestOfAnotherVersionIsNeverAppended) {
  long long kept = 0;
  std::string old_etag = ServerValidators(kArchive).etag;
  std::wstring folder = CutOffRun(L"qelmo-resume-ignored", L"qelmo.exe", &kept);
  ReplaceSample(kArchive);
  ServerMode(L"ignore-if-range");
  CompletingRun(folder);  // the new version, whole
  EXPECT_EQ(RequestLog(), (std::vector<std::string>{RangeRequest(kept, old_etag, "ignore-if-range"),
                                                    std::string("ignore-if-range ") + kPath + " - -"}));
}

// A part file that already holds the whole archive: the server answers 416
// with the length the record knows, and that counts as complete.
TEST_F(ResumeTest, AWholePartFileIsComplete) {
  InstallerDriver installer(L"qelmo-resume-whole");
  ASSERT_NE(installer.window(), nullptr);
  std::string served = ReadFileBytes(ServerFile(kArchive));
  LayPart(installer.folder(), served, served.size());
  ClickAndComplete(installer);
  EXPECT_EQ(RequestLog(), std::vector<std::string>{RangeRequest(served.size(), ServerValidators(kArchive).etag)});
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

// Builds given a publisher's key take an archive only with its publisher's
// signature of it, fetched from its address plus ".sig": by the one key, or
// by the second of two (a key roll).
TEST_F(ResumeTest, ASignedArchiveCompletesAlsoUnderARolledKey) {
  InstallerDriver signed_build(L"qelmo-signed", L"qelmo_signed.exe");
  ClickAndComplete(signed_build);
  EXPECT_EQ(RequestLog(), (std::vector<std::string>{std::string("normal ") + kPath + " - -",
                                                    std::string("normal ") + kPath + ".sig - -"}));
  InstallerDriver key_roll(L"qelmo-key-roll", L"qelmo_key_roll.exe");
  ClickAndComplete(key_roll);
}

TEST_F(ResumeTest, AnArchiveItsPublisherDidNotSignNeverReplacesTheOldOne) {
  InstallerDriver installer(L"qelmo-signature-refused", L"qelmo_signed.exe");
  ASSERT_NE(installer.window(), nullptr);
  const std::string old_archive = "the archive the user had";
  WriteBytes(installer.folder() + kArchive, old_archive);
  const std::pair<const wchar_t*, const wchar_t*> refused[] = {
      {L"a changed byte in the archive", L"signed"},
      {L"another archive's signature", L"other-archive"},
      {L"a signature by another key", L"other-key"},
      {L"a malformed signature", L"malformed"},
      {L"a signature longer than 512 bytes", L"too-long"},
  };
  for (const auto& [what, signatures] : refused) {
    SCOPED_TRACE(what);
    if (std::wstring(what) == refused[0].first) FlipSampleByte(kArchive);
    ServerSignatures(signatures);
    RefusedClick(installer, old_archive);
    ReplaceSample(kArchive, true);
  }
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// A signature that cannot be fetched fails the click but keeps the whole
// part: the next click finds it complete (416) and fetches the signature
// again.
TEST_F(ResumeTest, WithoutItsSignatureAWholeArchiveWaitsForTheNextClick) {
  InstallerDriver installer(L"qelmo-signature-missing", L"qelmo_signed.exe");
  ASSERT_NE(installer.window(), nullptr);
  WriteBytes(installer.folder() + kArchive, "the archive the user had");
  std::string served = ReadFileBytes(ServerFile(kArchive));
  ServerSignatures(L"missing");
  FailingClick(installer, static_cast<long long>(served.size()));
  EXPECT_TRUE(ReadFileBytes(installer.folder() + kArchive) == "the archive the user had") << "it was replaced";
  ServerSignatures(L"signed");
  ClearRequestLog();
  ClickAndComplete(installer);
  EXPECT_EQ(RequestLog(), (std::vector<std::string>{RangeRequest(served.size(), ServerValidators(kArchive).etag),
                                                    std::string("normal ") + kPath + ".sig - -"}));
}

}  // namespace
