// The program's window at the display scale its process runs at: the suite
// runs this at 96, 120, 144 and 192 DPI (QELMO_TEST_DPI), each in a Wine
// prefix of its own. Laid out for the scale, every text whole, and the
// standard properties still in template units.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app/main_window_ids.h"
#include "tests/harness/form_window.h"
#include "tests/installer/installer_runtime.h"
#include "ui/component.h"
#include "ui/window_records.h"

namespace {

constexpr uint32_t kSaveLabel = 0x16010009;
constexpr int32_t kLabelFont = 15;
constexpr int kStatusPartWidth = 120;  // each of the four texts' parts, in template units
const FormWindow kWindow{kMainWindow};

int TestDpi() {
  const char* dpi = std::getenv("QELMO_TEST_DPI");
  return dpi && *dpi ? std::atoi(dpi) : 96;
}

// Whether `text` in `font` fits `box` (a control's client area).
bool Fits(const std::wstring& text, HFONT font, const RECT& box, std::string* why) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  *why = std::to_string(size.cx) + "x" + std::to_string(size.cy) + " in " + std::to_string(box.right - box.left) +
         "x" + std::to_string(box.bottom - box.top);
  return size.cx <= box.right - box.left && size.cy <= box.bottom - box.top;
}

TEST(DisplayScale, TheWindowIsLaidOutForItsScaleWithEveryTextWhole) {
  StartInstallerRuntime();
  const int dpi = TestDpi();
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the process does not run at the scale asked for";
  ReleaseDC(nullptr, screen);
  auto pixels = [dpi](int units) { return MulDiv(units, dpi, 96); };
  WindowRecord* record = FindWindowRecord(kMainWindow);
  ASSERT_NE(record, nullptr);
  ElementList& elements = record->elements();

  // The window at its template size times the scale, centred.
  ElementRect window = ReadElementRect(elements, 0);
  RECT frame;
  GetWindowRect(kWindow.handle(), &frame);
  EXPECT_EQ(frame.right - frame.left, pixels(window.width));
  EXPECT_EQ(frame.bottom - frame.top, pixels(window.height));
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - pixels(window.width)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - pixels(window.height)) / 2);
  EXPECT_EQ(static_cast<int32_t>(kWindow.Read(0, 2)), window.width);
  EXPECT_EQ(static_cast<int32_t>(kWindow.Read(0, 3)), window.height);

  // Each component not docked at its template rectangle times the scale
  // (within a pixel), read back through the properties in template units
  // (within one).
  for (int32_t position = 1; position < elements.count(); ++position) {
    uint32_t element = elements.IdAt(position);
    HWND control = kWindow.HandleOf(element);
    if (!control || element == kStatusBar) continue;
    SCOPED_TRACE(testing::Message() << "element " << std::hex << element);
    ElementRect rect = ReadElementRect(elements, position);
    RECT live = RectInParent(control);
    const int32_t want[4] = {rect.left, rect.top, rect.width, rect.height};
    const LONG got[4] = {live.left, live.top, live.right - live.left, live.bottom - live.top};
    for (int32_t property = 0; property < 4; ++property) {
      EXPECT_NEAR(got[property], pixels(want[property]), 1) << "property " << property;
      EXPECT_NEAR(static_cast<int32_t>(kWindow.Read(element, property)), want[property], 1) << "property " << property;
    }
  }

  // The status bar's parts end at their widths times the scale, and their
  // texts fit them in the bar's font.
  HWND bar = kWindow.HandleOf(kStatusBar);
  auto bar_font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
  for (int part = 0; part < 4; ++part) {
    RECT box;
    ASSERT_TRUE(SendMessageW(bar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&box)));
    EXPECT_NEAR(box.right, pixels(kStatusPartWidth * (part + 1)), 1) << "part " << part;
    wchar_t text[64] = {};
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    InflateRect(&box, -GetSystemMetrics(SM_CXEDGE), 0);
    std::string why;
    EXPECT_TRUE(Fits(text, bar_font, box, &why)) << "part " << part << ": " << why;
  }

  // The buttons' captions in their own fonts.
  for (uint32_t element : kDownloadButtons) {
    HWND button = kWindow.HandleOf(element);
    RECT box;
    GetClientRect(button, &box);
    InflateRect(&box, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
    std::string why;
    EXPECT_TRUE(Fits(WindowText(button), reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), box, &why))
        << why;
  }

  // "保存路径" paints itself: its font is its property's.
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(static_cast<int>(kWindow.Read(kSaveLabel, kLabelFont, 5)), dpi, 72);
  font.lfCharSet = DEFAULT_CHARSET;
  std::string face_gbk = kWindow.ReadText(kSaveLabel, kLabelFont, 6);
  MultiByteToWideChar(936, 0, face_gbk.c_str(), -1, font.lfFaceName, LF_FACESIZE);
  HFONT label_font = CreateFontIndirectW(&font);
  RECT label_box;
  GetClientRect(kWindow.HandleOf(kSaveLabel), &label_box);
  std::string why;
  EXPECT_TRUE(Fits(L"保存路径", label_font, label_box, &why)) << why;
  DeleteObject(label_font);
  // A size written in points reads back as written, whatever the scale.
  kWindow.Write(kSaveLabel, kLabelFont, 12, 5);
  EXPECT_EQ(kWindow.Read(kSaveLabel, kLabelFont, 5), 12u);
}

}  // namespace
