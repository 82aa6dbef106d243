// The super button in a live test window: what it draws in each state, its
// masks, its colours, its events, hover and sounds, its tooltip, and the
// property writes that clamp or rebuild it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/notify.h"
#include "tests/super/super_routines.h"
#include "tests/super/super_support.h"
#include "ui/unit.h"
#include "ui/units/super_button.h"
#include "ui/units/unit_colour.h"
#include "ui/window_manager.h"

namespace {

// The unit's own properties, by their numbers in the unit's description.
enum : int32_t {
  kBtnStyle = 8,
  kCheckBox = 9,
  kChecked = 10,
  kAlignStyle = 11,
  kPressStyle = 12,
  kPicOut = 15,
  kTransColourOut = 16,
  kCaption = 22,
  kDefaultColour = 23,
  kFgColourOut = 24,
  kBkColourOut = 25,
  kStandardSound = 30,
  kOverSound = 31,
  kClickSound = 32,
  kTooltip = 33,
  kDefaultStyle = 34,
};

const COLORREF kMagenta = RGB(255, 0, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

COLORREF Face() { return GetSysColor(COLOR_BTNFACE); }

// Smoothed glyphs blend into the background: count colours near green.
bool Greenish(COLORREF c) { return GetGValue(c) > 150 && GetGValue(c) > GetRValue(c) + 80; }
int Count(const Pixels& pixels, bool (*test)(COLORREF)) {
  int count = 0;
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x) count += test(pixels.At(x, y));
  return count;
}

struct SoundsHeard {
  std::vector<std::string> waves;
};
SoundsHeard g_sounds;
void RecordSound(const uint8_t* wave, uint32_t size) {
  g_sounds.waves.emplace_back(reinterpret_cast<const char*>(wave), size);
}

std::vector<uint8_t> FakeWave(const char* tag) {
  std::string wave = std::string("RIFF\0\0\0\0WAVE", 12) + tag;
  return std::vector<uint8_t>(wave.begin(), wave.end());
}

class SuperButtonTest : public SuperWindowTest {
 protected:
  void SetUp() override {
    g_events = SuperEvents();
    g_sounds = SoundsHeard();
    g_button_sound_player = RecordSound;
    SuperWindowTest::SetUp();
  }
  void TearDown() override {
    SuperWindowTest::TearDown();
    g_button_sound_player = saved_player_;
  }
  SuperButton* Button(uint32_t element) { return static_cast<SuperButton*>(ObjectOf(element)); }
  Pixels Shot(uint32_t element) {
    HWND button = HandleOf(element);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return Pixels(window_, RectInParent(button));
  }
  // A mouse move over the button's client point, with the cursor really there.
  void MouseOver(uint32_t element, int x, int y, WPARAM keys = 0) {
    HWND button = HandleOf(element);
    POINT screen = {x, y};
    ClientToScreen(button, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(button, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
  }

  ButtonSoundPlayer saved_player_ = g_button_sound_player;
};

TEST(LightenColour, AddsOneAmountToAllChannelsWithoutPassing255) {
  struct Case {
    COLORREF colour, lightened;
  } cases[] = {
      {RGB(10, 200, 100), RGB(42, 232, 132)},
      {RGB(240, 240, 240), RGB(255, 255, 255)},
      {RGB(0, 0, 250), RGB(5, 5, 255)},
      {RGB(255, 0, 0), RGB(255, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(LightenColour(c.colour, 32), c.lightened) << std::hex << c.colour;
}

TEST_F(SuperButtonTest, APictureOnlyInTheNormalSlotShowsInEveryStateAndGreyWhenDisabled) {
  // 16x16: a magenta frame (the top-left colour, so transparent), red inside.
  auto framed = MakeBmp(16, 16, [](int x, int y) { return (x < 2 || y < 2 || x > 13 || y > 13) ? kMagenta : kRed; });
  WriteBytes(kPictureButton, kPicOut, framed);
  HWND button = HandleOf(kPictureButton);
  // Centred in the 40x40 button: the picture spans 12..27.
  Pixels normal = Shot(kPictureButton);
  EXPECT_EQ(normal.At(20, 20), kRed);
  EXPECT_EQ(normal.At(12, 12), Face()) << "the frame is transparent";
  EXPECT_EQ(normal.CountOf(kMagenta), 0);

  MouseOver(kPictureButton, 20, 20);
  ASSERT_TRUE(Button(kPictureButton)->hovered());
  Pixels hovered = Shot(kPictureButton);
  EXPECT_EQ(hovered.At(20, 20), kRed) << "no hover picture: the normal one";
  EXPECT_EQ(hovered.At(12, 12), LightenColour(Face(), 32)) << "the hover background shows through";

  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  Pixels pressed = Shot(kPictureButton);
  // Red spans 14..25 at rest and 15..26 pressed: the content moved by (1, 1).
  EXPECT_EQ(pressed.At(20, 20), kRed);
  EXPECT_EQ(pressed.At(26, 26), kRed);
  EXPECT_EQ(pressed.At(14, 14), LightenColour(Face(), 32));
  EXPECT_EQ(normal.At(14, 14), kRed);
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);

  EnableWindow(button, FALSE);
  Pixels disabled = Shot(kPictureButton);
  EXPECT_EQ(disabled.CountOf(kRed), 0) << "drawn embossed in grey";
  COLORREF inside = disabled.At(20, 20);
  EXPECT_EQ(GetRValue(inside), GetGValue(inside));
  EXPECT_EQ(GetGValue(inside), GetBValue(inside));
  EXPECT_NE(inside, Face()) << "but drawn";
  EXPECT_EQ(disabled.At(12, 12), Face()) << "the transparent frame stays transparent";
}

TEST_F(SuperButtonTest, TheTopLeftColourIsTransparentUntilAColourIsGiven) {
  // 8x8: a magenta frame, green left and blue right inside.
  auto picture = MakeBmp(8, 8, [](int x, int y) {
    if (x == 0 || y == 0 || x == 7 || y == 7) return kMagenta;
    return x < 4 ? kGreen : kBlue;
  });
  WriteBytes(kPictureButton, kPicOut, picture);
  EXPECT_EQ(Read(kPictureButton, kTransColourOut), controls::kDefaultColour);
  Pixels by_corner = Shot(kPictureButton);  // the picture at (16, 16)
  EXPECT_EQ(by_corner.At(16, 16), Face());
  EXPECT_EQ(by_corner.At(18, 18), kGreen);
  EXPECT_EQ(by_corner.At(21, 18), kBlue);

  Write(kPictureButton, kTransColourOut, kGreen);
  Pixels by_colour = Shot(kPictureButton);
  EXPECT_EQ(by_colour.At(16, 16), kMagenta) << "the mask is made from the picture as decoded, not the masked one";
  EXPECT_EQ(by_colour.At(18, 18), Face());
  EXPECT_EQ(by_colour.At(21, 18), kBlue);
  EXPECT_EQ(Read(kPictureButton, kTransColourOut), kGreen);
}

TEST_F(SuperButtonTest, ColoursWrittenWhileDefaultColoursAreOnAreStoredButNotDrawn) {
  ASSERT_EQ(Read(kFlatButton, kDefaultColour), 1u);
  Write(kFlatButton, kBkColourOut, kRed);
  Write(kFlatButton, kFgColourOut, kGreen);
  EXPECT_EQ(Read(kFlatButton, kBkColourOut), kRed);
  EXPECT_EQ(Read(kFlatButton, kFgColourOut), kGreen);
  Pixels defaults = Shot(kFlatButton);
  EXPECT_EQ(defaults.At(2, 2), Face());
  EXPECT_EQ(defaults.CountOf(kRed), 0);
  EXPECT_EQ(Count(defaults, Greenish), 0);

  Write(kFlatButton, kDefaultColour, 0);
  Pixels own = Shot(kFlatButton);
  EXPECT_EQ(own.At(2, 2), kRed);
  EXPECT_GT(Count(own, Greenish), 0) << "the caption in its own colour";

  Write(kFlatButton, kBkColourOut, controls::kDefaultColour);
  EXPECT_EQ(Shot(kFlatButton).At(2, 2), Face()) << "the default marker is the button face";
}

TEST_F(SuperButtonTest, CheckBoxModeTogglesBeforeTheClickEventAndNeverShifts) {
  HWND check = HandleOf(kCheckButton);
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(g_events.check_clicked, 1);
  EXPECT_EQ(g_events.checked_seen, 1u) << "the routine already sees the new state";
  EXPECT_EQ(Read(kCheckButton, kChecked), 1u);
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  Pixels checked = Shot(kCheckButton);

  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(g_events.checked_seen, 0u);
  EXPECT_EQ(Read(kCheckButton, kChecked), 0u);
  Pixels unchecked = Shot(kCheckButton);
  EXPECT_NE(checked, unchecked) << "checked is drawn pressed";
  SendMessageW(check, BM_SETSTATE, TRUE, 0);
  Pixels held_down = Shot(kCheckButton);
  SendMessageW(check, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(held_down, checked) << "pressed and checked look alike, the caption unmoved: "
                                << held_down.Differences(checked);
}

TEST_F(SuperButtonTest, ClicksDoubleClicksAndFocusRaiseTheirEvents) {
  HWND button = HandleOf(kPictureButton);
  SetFocus(button);
  EXPECT_EQ(g_events.focus_gained, 1);
  SetFocus(HandleOf(kFlatButton));
  EXPECT_EQ(g_events.focus_lost, 1);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(g_events.clicked, 1);
  // A quick second click arrives as a double click: still a click.
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(g_events.clicked, 3);
  // Disabling the focused button hands the focus on.
  SetFocus(button);
  EnableWindow(button, FALSE);
  EXPECT_NE(GetFocus(), button);
  EXPECT_NE(GetFocus(), nullptr);
}

// The clamps of every choice are held in the units' round trip.
TEST_F(SuperButtonTest, TheRebuildAnswersHold) {
  HWND flat = HandleOf(kFlatButton);
  Write(kFlatButton, kBtnStyle, 1);
  Write(kFlatButton, kAlignStyle, 2);
  Write(kFlatButton, kPressStyle, 7);
  EXPECT_EQ(HandleOf(kFlatButton), flat) << "none of these rebuilds the button";

  // Every DefaultStyle write rebuilds, one that changes nothing too; the
  // new button is the default one.
  EXPECT_EQ(SendMessageW(flat, WM_GETDLGCODE, 0, 0), DLGC_UNDEFPUSHBUTTON);
  Write(kFlatButton, kDefaultStyle, 3);
  HWND changed = HandleOf(kFlatButton);
  EXPECT_NE(changed, flat);
  EXPECT_FALSE(IsWindow(flat));
  Write(kFlatButton, kDefaultStyle, 1);
  HWND rebuilt = HandleOf(kFlatButton);
  EXPECT_NE(rebuilt, changed) << "an unchanged default style rebuilds too";
  EXPECT_EQ(Read(kFlatButton, kDefaultStyle), 1u);
  EXPECT_EQ(SendMessageW(rebuilt, WM_GETDLGCODE, 0, 0), DLGC_DEFPUSHBUTTON);
  auto is_default = reinterpret_cast<UnitIsDefaultButton>(kSuperBtnUnit.interface_function(UNIT_IS_DEFAULT_BUTTON));
  EXPECT_EQ(is_default(ObjectOf(kFlatButton)), 1);
  EXPECT_EQ(Read(kFlatButton, kBtnStyle), 1u) << "earlier writes carried over";
  EXPECT_EQ(Read(kFlatButton, kAlignStyle), 2u);

  // CheckBox rebuilds only when it changes.
  HWND check = HandleOf(kCheckButton);
  Write(kCheckButton, kCheckBox, 1);
  EXPECT_EQ(HandleOf(kCheckButton), check);
  WriteText(kCheckButton, kCaption, "新标题");
  Write(kCheckButton, kChecked, 1);
  Write(kCheckButton, kCheckBox, 0);
  EXPECT_NE(HandleOf(kCheckButton), check);
  EXPECT_EQ(ReadText(kCheckButton, kCaption), "新标题");
  EXPECT_EQ(Read(kCheckButton, kChecked), 1u);
  EXPECT_EQ(Read(kCheckButton, kCheckBox), 0u);
  EXPECT_TRUE(IsWindowVisible(HandleOf(kCheckButton)));
}

TEST_F(SuperButtonTest, FlatButtonsTrackHoverAndPlayTheirSoundsTheRaisedOneNever) {
  WriteBytes(kFlatButton, kOverSound, FakeWave("over"));
  WriteBytes(kFlatButton, kClickSound, FakeWave("click"));
  WriteBytes(kRaisedButton, kOverSound, FakeWave("over"));

  MouseOver(kFlatButton, 5, 5, MK_LBUTTON);
  EXPECT_FALSE(Button(kFlatButton)->hovered()) << "entering with the button held down is no hover";
  MouseOver(kFlatButton, 5, 5);
  EXPECT_TRUE(Button(kFlatButton)->hovered());
  MouseOver(kFlatButton, 6, 6);
  ASSERT_EQ(g_sounds.waves.size(), 1u) << "one over sound per entry";
  EXPECT_NE(g_sounds.waves[0].find("over"), std::string::npos);
  SendMessageW(HandleOf(kFlatButton), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(Button(kFlatButton)->hovered());

  MouseOver(kRaisedButton, 5, 5);
  EXPECT_FALSE(Button(kRaisedButton)->hovered());
  EXPECT_EQ(g_sounds.waves.size(), 1u) << "the raised style plays no over sound";

  SendMessageW(HandleOf(kFlatButton), BM_CLICK, 0, 0);
  ASSERT_EQ(g_sounds.waves.size(), 2u);
  EXPECT_NE(g_sounds.waves[1].find("click"), std::string::npos);

  // The standard sound replaces both with the program's click.
  Write(kFlatButton, kStandardSound, 1);
  SendMessageW(HandleOf(kFlatButton), BM_CLICK, 0, 0);
  ASSERT_EQ(g_sounds.waves.size(), 3u);
  const std::string& standard = g_sounds.waves[2];
  EXPECT_EQ(standard.substr(0, 4), "RIFF");
  EXPECT_EQ(standard.substr(8, 4), "WAVE");
  EXPECT_EQ(standard.find("click"), std::string::npos) << "not the ClickSound property";
}

TEST(SoundCode2015, PlaysWaveDataFromMemoryAndRefusesAnythingElse) {
  auto play = [](const std::vector<uint8_t>& data) {
    uint32_t request[3] = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data.data())),
                           static_cast<uint32_t>(data.size()), 0};
    return NotifyRuntime(NR_PLAY_SOUND, static_cast<int32_t>(reinterpret_cast<uintptr_t>(request)), 0);
  };
  HRSRC found = FindResourceW(nullptr, L"STANDARD_CLICK", L"WAVE");
  ASSERT_NE(found, nullptr);
  const auto* click = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
  std::vector<uint8_t> wave(click, click + SizeofResource(nullptr, found));
  EXPECT_EQ(play(wave), 1);
  std::vector<uint8_t> not_wave = wave;
  std::memcpy(not_wave.data() + 8, "AVI ", 4);
  EXPECT_EQ(play(not_wave), 0);
  EXPECT_EQ(play(std::vector<uint8_t>(wave.begin(), wave.begin() + 8)), 0) << "too short for a header";
  EXPECT_EQ(NotifyRuntime(NR_PLAY_SOUND, 0, 0), 0);
}

TEST_F(SuperButtonTest, TheTooltipShowsItsMultiLineTextInFullWhenHovering) {
  HWND help = HandleOf(kHelpButton);
  EXPECT_EQ(Button(kHelpButton)->tooltip_window(), nullptr) << "made before the mouse came";
  RECT button;
  GetWindowRect(help, &button);
  MoveMouseTo(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  HWND tip = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    tip = Button(kHelpButton)->tooltip_window();
    return tip && IsWindowVisible(tip);
  }, 5000)) << "no tooltip after hovering";

  wchar_t text[1024] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = help;
  tool.uId = 1;
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  const std::wstring expected =
      L"使用介绍：\r\n\r\n第一步下载配套的安装包\r\n\r\n第二步下载完整程序下载包\r\n\r\n第三步更新完整包里面的qelmo.exe";
  EXPECT_EQ(std::wstring(text), expected);

  // All seven lines fit: the tip is at least as tall as the text laid out
  // at the maximum width, and no wider than that width allows.
  HDC dc = GetDC(tip);
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(tip, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT layout = {0, 0, 400, 0};
  DrawTextW(dc, expected.c_str(), -1, &layout, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(tip, dc);
  RECT client;
  GetClientRect(tip, &client);
  EXPECT_GE(layout.bottom, 7 * metrics.tmHeight) << "the blank lines count";
  EXPECT_GE(client.bottom, layout.bottom) << "tip " << client.right << "x" << client.bottom;
  EXPECT_LE(client.right, 400 + 2 * 8) << "maximum width 400";

  // An empty text removes the tool; a new one brings it back.
  WriteText(kHelpButton, kTooltip, "");
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
  WriteText(kHelpButton, kTooltip, "帮助");
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(SuperButtonTest, StoredDataOfAnUnknownVersionIsRefused) {
  auto create = reinterpret_cast<UnitCreate>(kSuperBtnUnit.interface_function(UNIT_CREATE));
  auto save = reinterpret_cast<UnitSaveProperties>(kSuperBtnUnit.interface_function(UNIT_SAVE_PROPERTIES));
  HGLOBAL saved = save(ObjectOf(kHelpButton));
  ASSERT_NE(saved, nullptr);
  std::vector<uint8_t> data(GlobalSize(saved));
  std::memcpy(data.data(), GlobalLock(saved), data.size());
  GlobalUnlock(saved);
  GlobalFree(saved);
  EXPECT_EQ(data[0], 2) << "saved as version 2";

  SuperButtonProperties read;
  ByteReader reader(data.data(), data.size());
  ASSERT_TRUE(SuperButton::kTable.Read(reader, read));
  EXPECT_EQ(read.tool_tip.substr(0, 4), "使用");
  EXPECT_EQ(read.pic_out.size(), 822u);

  data[0] = 3;
  EXPECT_EQ(create(data.data(), static_cast<uint32_t>(data.size()), 0, window_, 900, nullptr, 0, 0, 16, 16, kTestWindow,
                   kHelpButton, 0, 0),
            nullptr);
  data.resize(data.size() - 5);
  data[0] = 2;
  EXPECT_EQ(create(data.data(), static_cast<uint32_t>(data.size()), 0, window_, 900, nullptr, 0, 0, 16, 16, kTestWindow,
                   kHelpButton, 0, 0),
            nullptr)
      << "cut short";
}

// Stored choices beyond their range are kept as stored and drawn as the
// button always drew them: a look neither raised (1) nor rounded (2) is
// flat, a press style other than 1 moves by (1, 1), a default style other
// than 1 makes no default button.
TEST_F(SuperButtonTest, StoredChoicesOutOfRangeAreDrawnAsAlwaysAndSavedAsStored) {
  auto data_of = [](uint32_t look, uint32_t press, uint32_t default_style) {
    const uint32_t kDefault = 0xFF000000;
    std::vector<uint32_t> words = {2, look, 0, 0, 0, press, 1, 0, kDefault, kDefault, 1, 0, default_style,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4};
    std::vector<uint8_t> data(words.size() * 4);
    std::memcpy(data.data(), words.data(), data.size());
    for (uint8_t byte : {0xB0, 0xB4, 0xCF, 0xC2, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0}) data.push_back(byte);
    return data;  // caption "按下", no tooltip, no disabled picture
  };
  auto create = reinterpret_cast<UnitCreate>(kSuperBtnUnit.interface_function(UNIT_CREATE));
  auto save = reinterpret_cast<UnitSaveProperties>(kSuperBtnUnit.interface_function(UNIT_SAVE_PROPERTIES));
  // Pressed, where look and press style show; ids of no window.
  auto pressed_shot = [&](const std::vector<uint8_t>& data, std::vector<uint8_t>* saved = nullptr) {
    Component* object = create(data.data(), static_cast<uint32_t>(data.size()), 0, window_, 901, nullptr, 200, 150,
                               80, 30, 0x52000099, 0, 0, 0);
    if (!object) return std::make_pair(Pixels(), LRESULT{-1});
    HWND button = object->hwnd();
    ShowWindow(button, SW_SHOW);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto result = std::make_pair(Pixels(window_, RectInParent(button)), SendMessageW(button, WM_GETDLGCODE, 0, 0));
    if (saved) {
      HGLOBAL block = save(object);
      const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
      saved->assign(bytes, bytes + GlobalSize(block));
      GlobalUnlock(block);
      GlobalFree(block);
    }
    DestroyWindow(button);
    return result;
  };
  std::vector<uint8_t> out_of_range = data_of(5, 7, 4), saved;
  auto beyond = pressed_shot(out_of_range, &saved);
  auto flat = pressed_shot(data_of(0, 0, 0));
  auto top_of_range = pressed_shot(data_of(2, 1, 1));
  ASSERT_GT(beyond.first.width(), 0);
  EXPECT_EQ(beyond.first, flat.first) << beyond.first.Differences(flat.first);
  EXPECT_NE(beyond.first, top_of_range.first);
  EXPECT_EQ(beyond.second, DLGC_UNDEFPUSHBUTTON);
  EXPECT_EQ(saved, out_of_range);
}

}  // namespace
