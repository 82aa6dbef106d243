// The program's window as its template makes it: every value the window
// and its components are described with, read back through the properties
// as compiled code reads them, and where the screen shows it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_window_ids.h"
#include "app/runtime_calls.h"
#include "tests/harness/form_window.h"
#include "tests/installer/installer_runtime.h"
#include "ui/component.h"
#include "ui/window_records.h"

namespace {

constexpr uint32_t kWindowItself = 0;
constexpr uint32_t kSaveLabel = 0x16010009, kButton1 = 0x16010011, kDialog = 0x1601009F;
constexpr uint32_t kDefault = 0xFF000000;

const FormWindow kWindow{kMainWindow};

int32_t WordAt(const std::vector<uint8_t>& bytes, size_t at) {
  int32_t word = 0;
  if (at + 4 <= bytes.size()) std::memcpy(&word, bytes.data() + at, 4);
  return word;
}

TEST(MainWindow, TheWindowAndItsComponentsHoldTheirDescribedValues) {
  StartInstallerRuntime();
  struct Value {
    uint32_t element;
    int32_t property;
    uint32_t word;
  } values[] = {
      // The window: fixed border, picture mode 1, default colour, the
      // minimise and control buttons only, movable, Esc closes, no F1 help,
      // in the task bar, not on top.
      {kWindowItself, 9, 2}, {kWindowItself, 12, 1}, {kWindowItself, 10, kDefault}, {kWindowItself, 16, 0},
      {kWindowItself, 17, 1}, {kWindowItself, 15, 1}, {kWindowItself, 19, 1}, {kWindowItself, 21, 0},
      {kWindowItself, 22, 1}, {kWindowItself, 23, 0}, {kWindowItself, 26, 1}, {kWindowItself, 29, 0},
      // The size labels: plain, shallow sunken, green, default background,
      // left-aligned, one line centred vertically.
      {kTotalLabel, 9, 0}, {kTotalLabel, 10, 3}, {kTotalLabel, 16, 0x008000}, {kTotalLabel, 17, kDefault},
      {kTotalLabel, 24, 0}, {kTotalLabel, 25, 0}, {kTotalLabel, 26, 1},
      {kDownloadedLabel, 9, 0}, {kDownloadedLabel, 10, 3}, {kDownloadedLabel, 16, 0x008000},
      {kDownloadedLabel, 17, kDefault}, {kDownloadedLabel, 24, 0}, {kDownloadedLabel, 25, 0},
      {kDownloadedLabel, 26, 1},
      // "保存路径": as those, without border, black.
      {kSaveLabel, 10, 0}, {kSaveLabel, 16, 0x000000}, {kSaveLabel, 17, kDefault}, {kSaveLabel, 26, 1},
      // The path box: shallow sunken, black on white, one line, no limit,
      // left, normal input, no case conversion, no spin; disabled.
      {kPathBox, 9, 3}, {kPathBox, 10, 0x000000}, {kPathBox, 11, 0xFFFFFF}, {kPathBox, 14, 0}, {kPathBox, 15, 0},
      {kPathBox, 17, 0}, {kPathBox, 18, 0}, {kPathBox, 20, 0}, {kPathBox, 21, 0}, {kPathBox, 6, 1},
      // The bar: shallow sunken, horizontal, smooth, 0 to 100.
      {kProgressBar, 8, 3}, {kProgressBar, 9, 0}, {kProgressBar, 10, 1}, {kProgressBar, 11, 0},
      {kProgressBar, 12, 100},
      // The buttons: normal, centred both ways.
      {kButton1, 9, 0}, {kButton1, 11, 1}, {kButton1, 12, 1},
      // The status bar: default colour, docked at the bottom, no size grip.
      {kStatusBar, 8, kDefault}, {kStatusBar, 9, 0}, {kStatusBar, 10, 0},
      // The common dialog is never shown.
      {kDialog, 5, 0},
  };
  for (const Value& v : values)
    EXPECT_EQ(kWindow.Read(v.element, v.property), v.word) << std::hex << v.element << std::dec << " property " << v.property;

  EXPECT_EQ(kWindow.ReadText(kWindowItself, 8), "qelmo 安装助手");
  EXPECT_EQ(kWindow.ReadText(kWindowItself, 31), "") << "the default window class";
  EXPECT_EQ(kWindow.ReadText(kSaveLabel, 8), "保存路径");
  EXPECT_EQ(kWindow.ReadText(kPathBox, 19), "*");
  for (int32_t property : {11, 13, 20}) EXPECT_TRUE(kWindow.ReadBytes(kWindowItself, property).empty()) << property;

  // Five parts of widths 120, 120, 120, 120 and 1, with flags 0 and no icon.
  std::vector<uint8_t> parts = kWindow.ReadBytes(kStatusBar, 13);
  ASSERT_EQ(WordAt(parts, 0), 5);
  size_t at = 4;
  for (int32_t width : {120, 120, 120, 120, 1}) {
    EXPECT_EQ(WordAt(parts, at), width);
    EXPECT_EQ(WordAt(parts, at + 4), 0) << "flags";
    EXPECT_EQ(WordAt(parts, at + 8), -1) << "icon";
    at += 12;
    for (int texts = 0; texts < 2 && at < parts.size(); ++at)
      if (parts[at] == 0) ++texts;
  }

  // Centred on the screen at its template size.
  WindowRecord* record = FindWindowRecord(kMainWindow);
  RECT frame;
  GetWindowRect(record->ObjectAt(0)->hwnd(), &frame);
  EXPECT_EQ(frame.right - frame.left, 478);
  EXPECT_EQ(frame.bottom - frame.top, 194);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 478) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 194) / 2);
  LONG style = GetWindowLongW(record->ObjectAt(0)->hwnd(), GWL_STYLE);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU | WS_THICKFRAME), WS_MINIMIZEBOX | WS_SYSMENU);
  EXPECT_FALSE(GetWindowLongW(record->ObjectAt(0)->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
