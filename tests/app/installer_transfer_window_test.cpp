// The window while a transfer runs, driven from outside as a user would:
// it keeps answering when the server goes silent, closing it (or ending the
// session) stops the transfer, and clicks that arrive meanwhile start
// nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/archive_server_client.h"
#include "tests/app/installer_driver.h"

namespace {

constexpr wchar_t kButton[] = L"完整程序下载包";
constexpr wchar_t kArchive[] = L"qelmo.rar";
constexpr wchar_t kRunning[] = L"下载状态：正在下载！";
constexpr wchar_t kFailed[] = L"下载状态：下载失败！";
constexpr DWORD kShortStallMs = 3000;  // the limit the qelmo_short_stall build has
constexpr DWORD kTimeout = InstallerDriver::kTimeout;

class TransferWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerMode(L"normal");
    ServerRate(0);
    ClearRequestLog();
  }
  // The program, the server in `mode` at `rate`, the click taken, and the
  // first bytes on their way (except where the server sends none).
  static InstallerDriver StartTransfer(const wchar_t* folder, const wchar_t* mode, int rate,
                                       const wchar_t* program = L"qelmo.exe") {
    InstallerDriver installer(folder, program);
    ServerMode(mode);
    ServerRate(rate);
    std::wstring why;
    if (!installer.window()) {
      ADD_FAILURE() << "no installer window";
    } else if (!installer.Click(kButton, &why, [] { return RequestsServed() > 0; })) {
      ADD_FAILURE() << why;
    } else if (wcscmp(mode, L"stall-headers") != 0) {
      std::wstring part = installer.folder() + kArchive + L".part";
      for (DWORD start = GetTickCount(); FileSize(part) <= 0 && GetTickCount() - start < 10000; Sleep(20)) {
      }
      if (FileSize(part) <= 0) ADD_FAILURE() << "no bytes arrived: " << installer.Figures();
    }
    return installer;
  }
};

// A server that goes silent, after its headers or before them: the window
// answers every message within a second all along, the buttons stay
// disabled, and after the stall limit the transfer fails visibly and the
// buttons come back.
class StalledServer : public TransferWindowTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(StalledServer, TheWindowAnswersAndTheTransferFailsAfterTheLimit) {
  InstallerDriver installer = StartTransfer(L"qelmo-stall", GetParam(), 0, L"qelmo_short_stall.exe");
  if (HasFailure()) return;
  DWORD started = GetTickCount(), slowest = 0;
  int answered = 0;
  bool disabled_throughout = true;
  while (installer.StatusPart(0) != kFailed && GetTickCount() - started < kShortStallMs + 15000) {
    DWORD before = GetTickCount();
    ASSERT_TRUE(installer.Answers(1000)) << "no answer within 1 s, " << GetTickCount() - started << " ms in";
    slowest = std::max(slowest, GetTickCount() - before);
    ++answered;
    // The failure is shown before the buttons come back: buttons seen
    // enabled before the failure text are a fault.
    bool enabled = installer.AnyDownloadButtonEnabled();
    if (installer.StatusPart(0) != kFailed) disabled_throughout = disabled_throughout && !enabled;
    Sleep(100);
  }
  DWORD failed_after = GetTickCount() - started;
  EXPECT_EQ(installer.StatusPart(0), kFailed);
  EXPECT_GE(failed_after, kShortStallMs - 500);
  EXPECT_LE(failed_after, kShortStallMs + 5000);
  EXPECT_GT(answered, 10);
  EXPECT_LT(slowest, 1000u);
  EXPECT_TRUE(disabled_throughout) << "the buttons are disabled while the transfer runs";
  for (DWORD start = GetTickCount(); !installer.AllDownloadButtonsEnabled() && GetTickCount() - start < 10000;)
    Sleep(50);
  EXPECT_TRUE(installer.AllDownloadButtonsEnabled()) << "and enabled again after the failure";
  EXPECT_FALSE(Exists(installer.folder() + kArchive));

  // The stalled worker is left behind, still waiting for the server: while
  // it lives, another click on its archive fails at once and asks nothing,
  // so two transfers never write one part file.
  std::wstring part = installer.folder() + kArchive + L".part";
  long long kept = FileSize(part);
  ServerMode(L"normal");
  ClearRequestLog();
  DWORD clicked = GetTickCount();
  installer.Click(kButton, nullptr, [&] { return GetTickCount() - clicked > 2000; });
  EXPECT_EQ(installer.StatusPart(0), kFailed);
  EXPECT_EQ(RequestsServed(), 0);
  EXPECT_EQ(FileSize(part), kept);
  // And the program still ends at once, the worker held where it waits.
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

INSTANTIATE_TEST_SUITE_P(AfterOrBeforeTheHeaders, StalledServer, ::testing::Values(L"stall-body", L"stall-headers"));

// Closing the window during a transfer is the user's cancel: the program
// ends within 2 s with exit code 0 and no box, nothing is left under the
// archive's name, and what arrived is kept beside it, its record vouching
// for all of it, also when the worker was left waiting for a silent server.
struct CloseCase {
  const char* name;
  const wchar_t* mode;
  void (*close)(const InstallerDriver&);
};

class ClosingDuringATransfer : public TransferWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingDuringATransfer, StopsTheTransferAndEndsTheProgram) {
  InstallerDriver installer = StartTransfer(L"qelmo-close", GetParam().mode, 1000000);
  if (HasFailure()) return;
  ASSERT_EQ(installer.StatusPart(0), kRunning);
  GetParam().close(installer);
  DWORD closed = GetTickCount();
  bool box_seen = false;
  while (!installer.process().HasExited() && GetTickCount() - closed < 5000) {
    box_seen = box_seen || installer.process().HasMessageBox();
    Sleep(20);
  }
  DWORD took = GetTickCount() - closed;
  EXPECT_EQ(installer.process().WaitForExit(0), 0u);
  EXPECT_LE(took, 2000u);
  EXPECT_FALSE(box_seen) << "no error box";
  EXPECT_FALSE(Exists(installer.folder() + kArchive));
  std::string kept = ReadFileBytes(installer.folder() + kArchive + L".part");
  std::string served = ReadFileBytes(ServerFile(kArchive));
  EXPECT_GT(kept.size(), 0u);
  EXPECT_LT(kept.size(), served.size());
  EXPECT_EQ(kept, served.substr(0, kept.size())) << "the part file holds the start of the archive";
  EXPECT_EQ(VouchedBytes(installer.folder() + kArchive + L".part"), static_cast<long long>(kept.size()))
      << "the next click goes on from all that arrived";
}

void SendClose(const InstallerDriver& installer) { PostMessageW(installer.window(), WM_CLOSE, 0, 0); }
void PressAltF4(const InstallerDriver& installer) {
  PostMessageW(installer.window(), WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1);
}
void PressEsc(const InstallerDriver& installer) { installer.CloseWithEsc(); }
void PostQuit(const InstallerDriver& installer) {
  PostThreadMessageW(GetWindowThreadProcessId(installer.window(), nullptr), WM_QUIT, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ClosingDuringATransfer,
    ::testing::Values(CloseCase{"CloseFromAnotherProgram", L"normal", SendClose},
                      CloseCase{"AltF4", L"normal", PressAltF4}, CloseCase{"Esc", L"normal", PressEsc},
                      CloseCase{"QuitMessage", L"normal", PostQuit},
                      CloseCase{"CloseWhileTheServerIsSilent", L"stall-body", SendClose}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

// A log-off is never refused: the transfer stops and the answer is yes
// within a second or so; the window stays until the session really ends.
TEST_F(TransferWindowTest, EndingTheSessionIsAllowedAndStopsTheTransfer) {
  InstallerDriver installer = StartTransfer(L"qelmo-logoff", L"normal", 1000000);
  if (HasFailure()) return;
  DWORD_PTR answer = 0;
  DWORD asked = GetTickCount();
  ASSERT_TRUE(SendMessageTimeoutW(installer.window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                                  &answer));
  EXPECT_LE(GetTickCount() - asked, 1500u);
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_TRUE(installer.WaitForStatus(kFailed, 5000)) << installer.Figures();
  long long kept = FileSize(installer.folder() + kArchive + L".part");
  Sleep(500);
  EXPECT_EQ(FileSize(installer.folder() + kArchive + L".part"), kept) << "nothing is written any more";
  EXPECT_FALSE(Exists(installer.folder() + kArchive));
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// Clicks posted to every button in the last moments of a transfer and while
// the completion shows its message start nothing: one request reaches the
// server, the archive arrives whole, and the program ends as it should.
TEST_F(TransferWindowTest, ClicksDuringTheLastBlocksAndTheCompletionStartNothing) {
  InstallerDriver installer = StartTransfer(L"qelmo-clicks", L"normal", 2000000);
  if (HasFailure()) return;
  EXPECT_FALSE(installer.AnyDownloadButtonEnabled()) << "disabled from the click on";
  std::wstring part = installer.folder() + kArchive + L".part";
  long long size = static_cast<long long>(ReadFileBytes(ServerFile(kArchive)).size());
  while (FileSize(part) >= 0 && FileSize(part) < size * 9 / 10 && !installer.process().HasMessageBox()) Sleep(10);
  for (HWND button : installer.DownloadButtons()) PostMessageW(button, BM_CLICK, 0, 0);
  std::wstring why;
  MessageBoxSeen box = installer.WaitForCompletionBox(kTimeout, &why);
  ASSERT_EQ(box.text, L"下载完成！") << why;
  for (HWND button : installer.DownloadButtons()) PostMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
  installer.WaitForExplorer();
  EXPECT_TRUE(SameFile(installer.folder() + kArchive, ServerFile(kArchive)));
  EXPECT_EQ(RequestsServed(), 1);
}

}  // namespace
