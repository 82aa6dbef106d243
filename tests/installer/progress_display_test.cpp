// The installer's progress arithmetic and texts, on its real window: the
// runtime is started as the program starts it and the main window loaded;
// then the display routine is given the values of a transfer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app_calls.h"
#include "main_window_ids.h"
#include "progress.h"
#include "wide_text.h"
#include "window_records.h"
#include "component.h"
#include "event_routines.h"

namespace {

class InstallerWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    kernel_services.AuxService(AUX_INIT_RUNTIME);
    kernel_services.LoadStartWindow(kMainWindow);
  }
  static HWND Element(uint32_t element) {
    WindowRecord* record = FindWindowRecord(kMainWindow);
    Component* object = record->ObjectAt(record->elements().PositionOf(element));
    return object ? object->hwnd() : nullptr;
  }
  static std::wstring Text(uint32_t element) {
    wchar_t text[256] = {};
    GetWindowTextW(Element(element), text, 256);
    return text;
  }
  static std::wstring Part(int part) {
    wchar_t text[256] = {};
    SendMessageW(Element(kStatusBar), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
  }
  static int32_t Position() {
    return static_cast<int32_t>(kernel_services.ReadProperty(kMainWindow, kProgressBar, kPositionProperty, -1));
  }
};

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
  EXPECT_EQ(Part(3), L"剩于时间：00:00:02") << "(T - D) / 1024 / 2 s / 1000, as the display has always counted";
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
  show_download_progress(0, 123456, 500, 123456);  // no Content-Length
  EXPECT_EQ(Text(kPercentLabel), L"");
  EXPECT_EQ(Text(kTotalLabel), L"总大小:未知");
  EXPECT_EQ(Part(3), L"剩于时间：--:--:--");
  show_download_progress(4000, 2000, 20, 2000);  // under 0.01 MB, within the first second
  EXPECT_EQ(Text(kPercentLabel), L"50%");
  EXPECT_EQ(Part(2), L"下载时间：00:00:00");
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
