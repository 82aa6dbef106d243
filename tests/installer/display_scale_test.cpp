// The program's window at the display scale its process runs at: the suite
// runs this at 96, 120, 144 and 192 DPI (QELMO_TEST_DPI), each in a Wine
// prefix of its own; and moved to a screen of another scale. Laid out for
// the scale, every text whole, and the standard properties still in
// template units.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

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

// Each component not docked at its template rectangle times the scale,
// the status bar's parts at their widths times it, every text whole in its
// control's font, and the properties in template units.
void ExpectLaidOutAt(int dpi) {
  auto pixels = [dpi](int units) { return MulDiv(units, dpi, 96); };
  ElementList& elements = FindWindowRecord(kMainWindow)->elements();

  // Rectangles within a pixel, read back through the properties within a unit.
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
}

// With QELMO_TEST_PICTURE_PAUSE_MS set, the window stays up that long in
// each state, for a picture of the screen: "picture: STATE" tells when.
void PauseForPicture(const char* state) {
  const char* pause = std::getenv("QELMO_TEST_PICTURE_PAUSE_MS");
  if (!pause || !*pause) return;
  std::printf("picture: %s\n", state);
  std::fflush(stdout);
  DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(pause));
  for (MSG message; static_cast<LONG>(end - GetTickCount()) > 0; Sleep(10))
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(DisplayScale, TheWindowIsLaidOutForItsScaleWithEveryTextWhole) {
  StartInstallerRuntime();
  const int dpi = TestDpi();
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the process does not run at the scale asked for";
  ReleaseDC(nullptr, screen);
  auto pixels = [dpi](int units) { return MulDiv(units, dpi, 96); };

  // The window at its template size times the scale, centred.
  ElementRect window = ReadElementRect(FindWindowRecord(kMainWindow)->elements(), 0);
  RECT frame;
  GetWindowRect(kWindow.handle(), &frame);
  EXPECT_EQ(frame.right - frame.left, pixels(window.width));
  EXPECT_EQ(frame.bottom - frame.top, pixels(window.height));
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - pixels(window.width)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - pixels(window.height)) / 2);
  EXPECT_EQ(static_cast<int32_t>(kWindow.Read(0, 2)), window.width);
  EXPECT_EQ(static_cast<int32_t>(kWindow.Read(0, 3)), window.height);

  ExpectLaidOutAt(dpi);
  // A size written in points reads back as written, whatever the scale.
  uint32_t points = kWindow.Read(kSaveLabel, kLabelFont, 5);
  kWindow.Write(kSaveLabel, kLabelFont, 12, 5);
  EXPECT_EQ(kWindow.Read(kSaveLabel, kLabelFont, 5), 12u);
  kWindow.Write(kSaveLabel, kLabelFont, points, 5);
}

// Moved to a screen of another scale and back. Wine has one DPI for every
// screen and never sends the message: the test sends it as Windows would.
TEST(DisplayScale, TheWindowLaysItselfOutAgainOnAScreenOfAnotherScale) {
  StartInstallerRuntime();
  const int dpi = TestDpi(), other = dpi == 144 ? 96 : 144;
  HWND window = kWindow.handle();
  RECT start;
  GetWindowRect(window, &start);
  // Neither suggestion is the window's rectangle scaled: the window must
  // take the one it is given.
  const RECT there = {start.left + 40, start.top + 30, start.left + 40 + MulDiv(start.right - start.left, other, dpi) + 13,
                      start.top + 30 + MulDiv(start.bottom - start.top, other, dpi) + 11};
  const RECT back = {start.left - 5, start.top - 7, start.right + 3, start.bottom + 2};
  for (auto [to, suggested] : {std::pair{other, there}, std::pair{dpi, back}}) {
    SCOPED_TRACE(testing::Message() << "at " << to << " DPI");
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    PauseForPicture(to == dpi ? "back" : "there");
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << now.left << "," << now.top << " " << now.right - now.left << "x"
                                             << now.bottom - now.top;
    EXPECT_EQ(static_cast<int32_t>(kWindow.Read(0, 2)), MulDiv(suggested.right - suggested.left, 96, to));
    ExpectLaidOutAt(to);
    // The title bar's icon at the scale's size.
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ICONINFO info = {};
    BITMAP image = {};
    ASSERT_TRUE(icon && GetIconInfo(icon, &info));
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof image, &image);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(image.bmWidth, MulDiv(16, to, 96));
  }
  SetWindowPos(window, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace
