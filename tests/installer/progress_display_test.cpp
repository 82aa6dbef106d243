// The installer's progress arithmetic and texts, on its real window: the
// runtime is started as the program starts it and the main window loaded;
// then the display routine is given the values of a transfer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/download.h"
#include "app/event_routines.h"
#include "app/main_window_ids.h"
#include "app/progress.h"
#include "app/runtime_calls.h"
#include "platform/wide_text.h"
#include "tests/harness/form_window.h"
#include "tests/harness/window_pixels.h"
#include "tests/installer/installer_runtime.h"
#include "ui/component.h"
#include "ui/window_records.h"

namespace {

class InstallerWindow : public ::testing::Test, public FormWindow {
 protected:
  InstallerWindow() : FormWindow(kMainWindow) {}
  static void SetUpTestSuite() { StartInstallerRuntime(); }
  std::wstring Text(uint32_t element) const { return WindowText(HandleOf(element)); }
  std::wstring Part(int part) const {
    wchar_t text[256] = {};
    SendMessageW(HandleOf(kStatusBar), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
  }
  int32_t Position() const { return static_cast<int32_t>(Read(kProgressBar, kPositionProperty)); }
};

// The percentage over the bar is printed once per step of the bar: printed
// twice over itself its smoothed glyphs darken, and every paint costs the
// download loop.
TEST_F(InstallerWindow, ABarStepPrintsThePercentageOverItOnce) {
  HWND label = HandleOf(kPercentLabel);
  ASSERT_TRUE(IsWindowVisible(label));
  UpdateWindow(GetParent(label));
  PaintCounter label_paints(label), bar_paints(HandleOf(kProgressBar));
  for (int32_t position : {20, 21, 60}) {
    label_paints.count = bar_paints.count = 0;
    Write(kProgressBar, kPositionProperty, position);
    EXPECT_EQ(bar_paints.count, 1) << position;
    EXPECT_EQ(label_paints.count, 1) << position;
  }
}

TEST_F(InstallerWindow, DurationsAsHoursMinutesSeconds) {
  struct Case {
    int32_t seconds;
    const char* text;
  } cases[] = {{0, "00:00:00"}, {5, "00:00:05"},   {59, "00:00:59"},   {60, "00:01:00"},
               {65, "00:01:05"}, {3725, "01:02:05"}, {360000, "100:00:00"}, {-1, "--:--:--"}};
  for (const Case& c : cases) EXPECT_EQ(format_duration(c.seconds), c.text) << c.seconds;
}

TEST_F(InstallerWindow, HalfOfTenMegabytesAfterTwoSeconds) {
  show_download_progress(10485760, 5242880, 2000, 2097152);
  EXPECT_EQ(Text(kPercentLabel), L"50%");
  EXPECT_EQ(Position(), 50);
  EXPECT_EQ(Text(kDownloadedLabel), L"已经下载:5 MB");
  EXPECT_EQ(Text(kTotalLabel), L"总大小:10 MB");
  EXPECT_EQ(Part(0), L"下载状态：正在下载！");
  EXPECT_EQ(Part(1), L"下载速度：1 MB/s");
  EXPECT_EQ(Part(2), L"下载时间：00:00:02");
  EXPECT_EQ(Part(3), L"剩于时间：00:00:05") << "5 MB left at 1 MB/s";
}

TEST_F(InstallerWindow, RemainingTimeIsWhatTheRestTakesAtTheAverageSpeed) {
  constexpr int64_t kMB = 1048576;
  // 1 MB/s, 100 MB left after 10 s: 100 s.
  show_download_progress(110 * kMB, 10 * kMB, 10000, 10 * kMB);
  EXPECT_EQ(Part(3), L"剩于时间：00:01:40");
  // Only this transfer's bytes count for the speed: a resumed transfer that
  // started at 50 MB and got 10 MB in 10 s has 50 MB left, 50 s.
  show_download_progress(110 * kMB, 60 * kMB, 10000, 10 * kMB);
  EXPECT_EQ(Part(3), L"剩于时间：00:00:50");
  // A part of a second left still shows a second; nothing left shows 0.
  EXPECT_EQ(remaining_seconds(1000, 999, 1000, 1000), 1);
  EXPECT_EQ(remaining_seconds(1000, 1000, 1000, 1000), 0);
  // Unknowable: no size, or nothing received yet.
  EXPECT_EQ(remaining_seconds(-1, 5000, 1000, 5000), -1);
  EXPECT_EQ(remaining_seconds(1000, 0, 1000, 0), -1);
  // A trickle on a huge archive does not wrap around.
  EXPECT_EQ(remaining_seconds(int64_t{5} << 40, 1, 100000, 1), INT32_MAX);
  EXPECT_EQ(format_duration(INT32_MAX), "596523:14:07");
}

TEST_F(InstallerWindow, ArchivesOfThreeAndFiveGibibytes) {
  constexpr int64_t kGiB = int64_t{1} << 30;
  // 3 GiB of 5 GiB after 100 s.
  show_download_progress(5 * kGiB, 3 * kGiB, 100000, 3 * kGiB);
  EXPECT_EQ(Text(kPercentLabel), L"60%");
  EXPECT_EQ(Position(), 60);
  EXPECT_EQ(Text(kDownloadedLabel), L"已经下载:3072 MB");
  EXPECT_EQ(Text(kTotalLabel), L"总大小:5120 MB");
  EXPECT_EQ(Part(0), L"下载状态：正在下载！");
  EXPECT_EQ(Part(1), L"下载速度：30.72 MB/s");
  EXPECT_EQ(Part(3), L"剩于时间：00:01:07") << "2 GiB at 3 GiB per 100 s: 66.7 s";
  // One block short of 5 GiB is not done; the whole of it is.
  show_download_progress(5 * kGiB, 5 * kGiB - 10240, 200000, 5 * kGiB - 10240);
  EXPECT_EQ(Part(0), L"下载状态：正在下载！");
  show_download_progress(5 * kGiB, 5 * kGiB, 200000, 5 * kGiB);
  EXPECT_EQ(Part(0), L"下载状态：下载完成！");
  EXPECT_EQ(Text(kDownloadedLabel), L"已经下载:5120 MB");
  // A resumed transfer past 4 GiB: the figures come from 64-bit sizes.
  show_download_progress(5 * kGiB, 4 * kGiB + 1048576, 1000, 1048576);
  EXPECT_EQ(Text(kDownloadedLabel), L"已经下载:4097 MB");
  EXPECT_EQ(Part(1), L"下载速度：1 MB/s");
}

// A new transfer's display starts blank; that a click after a failure
// shows its own state is driven through the clicks end to end.
TEST_F(InstallerWindow, ATransferStartsWithBlankFigures) {
  show_download_progress(10485760, 5242880, 2000, 2097152);
  ASSERT_EQ(Part(1), L"下载速度：1 MB/s");
  show_transfer_starting();
  EXPECT_EQ(Part(0), L"下载状态：正在下载！");
  EXPECT_EQ(Part(1), L"下载速度：");
  EXPECT_EQ(Part(2), L"下载时间：");
  EXPECT_EQ(Part(3), L"剩于时间：");
  EXPECT_EQ(Text(kPercentLabel), L"");
  EXPECT_EQ(Text(kDownloadedLabel), L"");
  EXPECT_EQ(Text(kTotalLabel), L"");
  EXPECT_EQ(Position(), 0);
}

TEST_F(InstallerWindow, DoneOnlyWhenEveryByteIsHere) {
  // A few KB short, both sizes print 10 MB: still downloading.
  show_download_progress(10485760, 10485760 - 4000, 3000, 10485760 - 4000);
  EXPECT_EQ(Text(kPercentLabel), L"100%");
  EXPECT_EQ(Part(0), L"下载状态：正在下载！");
  show_download_progress(10485760, 10485760, 3000, 10485760);
  EXPECT_EQ(Part(0), L"下载状态：下载完成！");
  EXPECT_EQ(Part(3), L"剩于时间：00:00:00");
}

TEST_F(InstallerWindow, UnknownAndTinySizesShowNoNonsense) {
  show_download_progress(-1, 123456, 500, 123456);  // no Content-Length
  EXPECT_EQ(Text(kPercentLabel), L"");
  EXPECT_EQ(Text(kTotalLabel), L"总大小:未知");
  EXPECT_EQ(Part(3), L"剩于时间：--:--:--");
  show_download_progress(4000, 2000, 20, 2000);  // under 0.01 MB, within the first second
  EXPECT_EQ(Text(kPercentLabel), L"50%");
  EXPECT_EQ(Part(2), L"下载时间：00:00:00");
  EXPECT_EQ(Part(3), L"剩于时间：00:00:01");
  show_download_progress(0, 0, 10, 0);  // an empty body
  EXPECT_EQ(Text(kPercentLabel), L"100%");
  EXPECT_EQ(Text(kTotalLabel), L"总大小:0 MB");
  EXPECT_EQ(Part(0), L"下载状态：正在下载！") << "an empty body is no completed archive";
  EXPECT_EQ(Part(3), L"剩于时间：--:--:--");
  for (uint32_t element : {kPercentLabel, kDownloadedLabel, kTotalLabel}) {
    EXPECT_EQ(Text(element).find(L"nan"), std::wstring::npos);
    EXPECT_EQ(Text(element).find(L"inf"), std::wstring::npos);
  }
}

TEST_F(InstallerWindow, FolderHelpers) {
  EXPECT_EQ(directory_of_path("C:\\程序\\qelmo.rar"), "C:\\程序\\");
  EXPECT_EQ(directory_of_path("qelmo.rar"), "");
}

}  // namespace
