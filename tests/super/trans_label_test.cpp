// The transparent label in a live test window: it paints no background,
// clamps its choices, and leaves no trail over a progress bar however often
// it is rewritten or moved, without the message loop running.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/super/super_support.h"
#include "ui/unit.h"
#include "ui/units/trans_label.h"

namespace {

// The unit's own properties, by their numbers in the unit's description.
enum : int32_t { kText = 8, kTextEffect = 9, kColour = 11, kHorzAlign = 12, kVertAlign = 14 };
const COLORREF kBackground = RGB(0x40, 0x80, 0xC0);  // the test window's colour

bool Dark(COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; }

int CountIf(const Pixels& pixels, bool (*test)(COLORREF)) {
  int count = 0;
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x) count += test(pixels.At(x, y));
  return count;
}

class TransLabelTest : public SuperWindowTest {
 protected:

  // A progress bar like the application's, under the percentage label, shown.
  HWND AddProgressBar() {
    HWND bar = AddProgressBarUnderLabel(window_);
    UpdateWindow(window_);
    PumpFor(50);
    return bar;
  }
  // The bar's position written and shown at once, as a unit would.
  static void SetBar(HWND bar, int percent) {
    SendMessageW(bar, PBM_SETPOS, percent, 0);
    UpdateWindow(bar);
  }
  // What the area shows when drawn afresh: the label hidden, the window and
  // the bar repainted, then the label's text printed over them once.
  Pixels CleanPicture(RECT area) {
    HWND label = HandleOf(kPercentLabel);
    ShowWindow(label, SW_HIDE);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    bar_only_ = Pixels(window_, area);
    RECT at = RectInParent(label);
    HDC dc = GetDCEx(window_, nullptr, DCX_CACHE);
    SetViewportOrgEx(dc, at.left, at.top, nullptr);
    SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ReleaseDC(window_, dc);
    Pixels clean(window_, area);
    ShowWindow(label, SW_SHOWNA);
    return clean;
  }

  Pixels bar_only_;
};

TEST_F(TransLabelTest, PaintsItsTextAndNoBackground) {
  RECT area = RectInParent(HandleOf(kPlainLabel));  // 300x40, text at the left
  Pixels shown(window_, area);
  EXPECT_GT(shown.width() * shown.height() - shown.CountOf(kBackground), 20) << "the text is drawn";
  Pixels right_half(window_, RECT{area.left + 150, area.top, area.right, area.bottom});
  EXPECT_EQ(right_half.CountOf(kBackground), right_half.width() * right_half.height())
      << "no pixel of its own beside the text";

  WriteText(kPlainLabel, kText, "");
  Pixels empty(window_, area);
  EXPECT_EQ(empty.CountOf(kBackground), empty.width() * empty.height()) << "the old text is gone";
}

TEST_F(TransLabelTest, EffectsDrawTheirCopies) {
  Write(kPlainLabel, kColour, RGB(255, 255, 255));
  RECT area = RectInParent(HandleOf(kPlainLabel));
  EXPECT_EQ(CountIf(Pixels(window_, area), Dark), 0);
  Write(kPlainLabel, kTextEffect, 3);  // a black shadow
  EXPECT_GT(CountIf(Pixels(window_, area), Dark), 0);
  Write(kPlainLabel, kTextEffect, 0);
  EXPECT_EQ(CountIf(Pixels(window_, area), Dark), 0) << "the shadow is gone again";
}

TEST_F(TransLabelTest, ChoicesAreClampedAndTheStoredFormIsCompact) {
  struct Case {
    int32_t property;
    int32_t written;
    uint32_t stored;
  } cases[] = {{kTextEffect, 5, 3}, {kTextEffect, -1, 0}};  // every range: the units' round trip
  for (const Case& c : cases) {
    Write(kPlainLabel, c.property, static_cast<uint32_t>(c.written));
    EXPECT_EQ(Read(kPlainLabel, c.property), c.stored) << c.property << " " << c.written;
  }

  // The percentage label is set up like the application's: 32 bytes.
  auto save = reinterpret_cast<UnitSaveProperties>(kTransLabelUnit.interface_function(UNIT_SAVE_PROPERTIES));
  auto create = reinterpret_cast<UnitCreate>(kTransLabelUnit.interface_function(UNIT_CREATE));
  HGLOBAL saved = save(ObjectOf(kPercentLabel));
  ASSERT_NE(saved, nullptr);
  std::vector<uint8_t> data(GlobalSize(saved));
  std::memcpy(data.data(), GlobalLock(saved), data.size());
  GlobalUnlock(saved);
  GlobalFree(saved);
  EXPECT_EQ(data.size(), 32u);
  data[0] = 2;
  EXPECT_EQ(create(data.data(), 32, 0, window_, 900, nullptr, 0, 0, 10, 10, kTestWindow, kPercentLabel, 0, 0), nullptr)
      << "version 2 is not known";
}

TEST_F(TransLabelTest, AThousandWritesOverAProgressBarLeaveNoTrail) {
  HWND bar = AddProgressBar();
  HWND label = HandleOf(kPercentLabel);
  RECT area = RectInParent(bar);
  // As the progress routine writes them: the label first, then the bar.
  auto step = [&](int percent) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", percent);
    WriteText(kPercentLabel, kText, text);
    SetBar(bar, percent);
  };
  // Texts of every width in a jumbled order.
  uint32_t seed = 20240607;
  auto jumble = [&](int count) {
    for (int i = 0; i < count; ++i) {
      seed = seed * 1103515245u + 12345u;
      step(static_cast<int>((seed >> 16) % 101));
    }
  };
  jumble(500);
  // The bar's own repaint from 5% to 50% passes under the text.
  step(5);
  step(50);
  Pixels half(window_, area);
  Pixels half_clean = CleanPicture(area);
  EXPECT_EQ(half, half_clean) << "the bar painted over the text: " << half.Differences(half_clean);
  jumble(497);
  step(100);
  // A text that the bar does not follow: nothing repaints after the label.
  WriteText(kPercentLabel, kText, "90%");
  wchar_t title[16] = {};
  GetWindowTextW(label, title, 16);
  EXPECT_STREQ(title, L"90%") << "the window text follows the label's text";
  Pixels shown(window_, area);
  Pixels clean = CleanPicture(area);
  EXPECT_EQ(shown, clean) << shown.Differences(clean);

  // Beside the centred text the label added nothing to the bar.
  int outside = 0, inside = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      bool near_centre = x > shown.width() / 2 - 40 && x < shown.width() / 2 + 40;
      bool differs = shown.At(x, y) != bar_only_.At(x, y);
      (near_centre ? inside : outside) += differs;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 0) << "the text is there";
}

TEST_F(TransLabelTest, AWriteThatChangesNothingRepaintsNothing) {
  HWND bar = AddProgressBar();
  WriteText(kPercentLabel, kText, "42%");
  PaintCounter paints(bar);
  for (int i = 0; i < 1000; ++i) {
    WriteText(kPercentLabel, kText, "42%");
    Write(kPercentLabel, kHorzAlign, 1);
  }
  EXPECT_EQ(paints.count, 0) << "2000 writes that change nothing";
  WriteText(kPercentLabel, kText, "43%");
  EXPECT_GE(paints.count, 1) << "a change repaints the bar under the text at once";
}

TEST_F(TransLabelTest, MovingOverAProgressBarLeavesNoTrail) {
  HWND bar = AddProgressBar();
  SetBar(bar, 57);
  WriteText(kPercentLabel, kText, "57%");
  RECT area = RectInParent(bar);
  for (int left : {40, 25, 90, -30, 10, 61}) Write(kPercentLabel, 0, static_cast<uint32_t>(left));
  Write(kPercentLabel, 1, static_cast<uint32_t>(area.top + 1));
  Pixels shown(window_, area);
  Pixels clean = CleanPicture(area);
  EXPECT_EQ(shown, clean) << shown.Differences(clean);
  EXPECT_NE(shown, bar_only_) << "the text moved with the label";
}

}  // namespace
