// The standard controls in a loaded window: what the application relies on
// when it writes their properties, and what the screen shows at once.
#include "tests/controls/controls_fixture.h"
#include "ui/units/standard_controls.h"

namespace controls_test {
namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

// ----------------------------------------------------------- progress bar

TEST_F(ControlsTest, ProgressPositionIsClampedAndKeptAsWritten) {
  HWND bar = HandleOf(kBar);
  Pixels empty(bar);
  const int right = empty.width() - 3, middle = empty.height() / 2;

  Write(kBar, 13, 150);
  EXPECT_EQ(Read(kBar, 13), 150u) << "the written value is kept";
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100) << "the control gets it clamped into the range";
  Pixels full(bar);
  EXPECT_EQ(full.At(right, middle), full.At(3, middle)) << "a full bar reaches the right end";
  EXPECT_NE(full.At(right, middle), empty.At(right, middle));

  Write(kBar, 13, static_cast<uint32_t>(-5));
  EXPECT_EQ(Read(kBar, 13), 0u);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  Write(kBar, 13, 40000);
  EXPECT_EQ(Read(kBar, 13), 32767u);

  // A narrower range shows the kept position clamped again.
  Write(kBar, 13, 50);
  Write(kBar, 12, 10);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(Read(kBar, 13), 50u);
}

// The program's percentage is a transparent label over the bar: the bar
// repainting itself must not wipe the text out.
TEST_F(ControlsTest, TextOverTheBarSurvivesPositionWrites) {
  constexpr COLORREF kBlack = RGB(0, 0, 0);
  auto black_pixels = [this] { return Pixels(HandleOf(kBarText)).CountOf(kBlack); };
  ASSERT_EQ(black_pixels(), 0);
  for (uint32_t position : {10u, 55u, 100u}) {
    WriteText(kBarText, 8, position == 55 ? "下载" : "正在下载");
    EXPECT_GT(black_pixels(), 20) << "text written at " << position;
    Write(kBar, 13, position);
    EXPECT_GT(black_pixels(), 20) << "bar moved to " << position;
  }
  WriteText(kBarText, 8, "");
  EXPECT_EQ(black_pixels(), 0) << "and the bar shows again where the text was";
}

TEST_F(ControlsTest, ProgressRangeTakesMinimumAndMaximumInEitherOrder) {
  PBRANGE range = {};
  SendMessageW(HandleOf(kSwappedBar), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  EXPECT_EQ(SendMessageW(HandleOf(kSwappedBar), PBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(Read(kSwappedBar, 11), 100u) << "the properties keep what was stored";

  // A position below zero, stored in a range below zero, is shown and kept
  // as stored, and saved back so.
  EXPECT_EQ(SendMessageW(HandleOf(kNegativeBar), PBM_GETPOS, 0, 0), -50);
  EXPECT_EQ(static_cast<int32_t>(Read(kNegativeBar, 13)), -50);
  auto save = reinterpret_cast<UnitSaveProperties>(kProcessBarUnit.interface_function(UNIT_SAVE_PROPERTIES));
  HGLOBAL saved = save(ObjectOf(kNegativeBar));
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(static_cast<const int32_t*>(GlobalLock(saved))[6], -50);
  GlobalUnlock(saved);
  GlobalFree(saved);

  Write(kBar, 11, 80);
  Write(kBar, 12, 20);
  SendMessageW(HandleOf(kBar), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 20);
  EXPECT_EQ(range.iHigh, 80);
}

TEST_F(ControlsTest, ProgressOrientationRebuildsOnlyWhenItChanges) {
  Write(kBar, 13, 42);
  HWND before = HandleOf(kBar);
  Write(kBar, 9, 0);
  EXPECT_EQ(HandleOf(kBar), before) << "the same orientation: nothing to rebuild";
  Write(kBar, 9, 1);
  HWND after = HandleOf(kBar);
  ASSERT_NE(after, before);
  EXPECT_TRUE(GetWindowLongW(after, GWL_STYLE) & PBS_VERTICAL);
  EXPECT_TRUE(GetWindowLongW(after, GWL_STYLE) & PBS_SMOOTH);
  EXPECT_EQ(SendMessageW(after, PBM_GETPOS, 0, 0), 42);
  EXPECT_TRUE(IsWindowVisible(after));
  Write(kBar, 10, 0);
  EXPECT_FALSE(GetWindowLongW(HandleOf(kBar), GWL_STYLE) & PBS_SMOOTH);
}

// ------------------------------------------------------------- status bar

std::wstring PartText(HWND bar, int part) {
  wchar_t text[128] = {};
  if (LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0)) >= 128) return L"(too long)";
  SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
  return text;
}

std::vector<std::wstring> PartTexts(HWND bar) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < 5; ++i) texts.push_back(PartText(bar, i));
  return texts;
}

void SetPartText(uint32_t element, int32_t part, const char* text, bool omit_text = false) {
  ArgRecord args[3] = {{kWindow, element, 0x00020002}, ArgRecord::Int(part),
                       omit_text ? ArgRecord::Omitted() : ArgRecord::Text(text)};
  kernel_services.CallLibraryCommand(1, ui_extension_library.commands[0], 3, args);
}

TEST_F(ControlsTest, StatusBarPartsComeFromTheTemplate) {
  HWND bar = HandleOf(kBottomStatus);
  int edges[8] = {};
  ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
  EXPECT_EQ(edges[0], 60);
  EXPECT_EQ(edges[3], 240);
  EXPECT_EQ(edges[4], 241);
  EXPECT_EQ(PartTexts(bar), (std::vector<std::wstring>{L"甲", L"乙", L"丙", L"丁", L"戊"}));
  EXPECT_EQ(HIWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 1, 0)), SBT_NOBORDERS);
  ASSERT_EQ(SendMessageW(HandleOf(kTopStatus), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[1], -1) << "width -1 reaches the right edge";
}

TEST_F(ControlsTest, SetPartTextChangesOnlyThatPart) {
  HWND bar = HandleOf(kBottomStatus);
  SetPartText(kBottomStatus, 4, "第五部分");
  EXPECT_EQ(PartTexts(bar), (std::vector<std::wstring>{L"甲", L"乙", L"丙", L"丁", L"第五部分"}));
  SetPartText(kBottomStatus, 5, "越界");
  SetPartText(kBottomStatus, -1, "越界");
  EXPECT_EQ(PartTexts(bar), (std::vector<std::wstring>{L"甲", L"乙", L"丙", L"丁", L"第五部分"}));
  SetPartText(kBottomStatus, 1, nullptr, true);
  EXPECT_EQ(PartText(bar, 1), L"") << "an omitted text is the empty text";
  EXPECT_EQ(HIWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 1, 0)), SBT_NOBORDERS) << "the part keeps its flags";

  // The part list read back carries the new texts.
  auto* list = reinterpret_cast<uint8_t*>(Read(kBottomStatus, 13));
  ASSERT_NE(list, nullptr);
  std::string bytes(reinterpret_cast<char*>(list + 8), static_cast<size_t>(reinterpret_cast<int32_t*>(list)[1]));
  Free(list);
  EXPECT_NE(bytes.find("第五部分"), std::string::npos);
  EXPECT_EQ(bytes.find("戊"), std::string::npos);
}

TEST_F(ControlsTest, StatusBarsStayDockedAgainstTheirEdge) {
  auto check = [this](const char* when) {
    RECT client;
    GetClientRect(window_, &client);
    RECT bottom = RectInParent(HandleOf(kBottomStatus));
    EXPECT_EQ(bottom.bottom, client.bottom) << when;
    EXPECT_EQ(bottom.left, 0) << when;
    EXPECT_EQ(bottom.right, client.right) << when;
    EXPECT_GT(bottom.bottom - bottom.top, 10) << when;
    RECT top = RectInParent(HandleOf(kTopStatus));
    EXPECT_EQ(top.top, 0) << when;
    EXPECT_EQ(top.right, client.right) << when;
  };
  check("after loading");
  SetWindowPos(window_, nullptr, 0, 0, 520, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  check("after the window grew");
  Write(kBottomStatus, 9, 2);  // free: rebuilt, placed where it is
  RECT free = RectInParent(HandleOf(kBottomStatus));
  SetWindowPos(window_, nullptr, 0, 0, 480, 380, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT still = RectInParent(HandleOf(kBottomStatus));
  EXPECT_EQ(still.top, free.top) << "a free status bar does not follow the edge";
  EXPECT_EQ(PartText(HandleOf(kBottomStatus), 0), L"甲") << "a rebuild keeps the parts";
}

// ---------------------------------------------------------------- edit box

TEST_F(ControlsTest, ContentWritesRaiseTheChangeOnceEvenWhenReadOnly) {
  HWND box = HandleOf(kReadOnlyBox);
  ASSERT_TRUE(GetWindowLongW(box, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(ReadText(kReadOnlyBox, 8), "旧内容");
  WriteText(kReadOnlyBox, 8, "新的内容");
  EXPECT_EQ(WindowText(box), L"新的内容");
  EXPECT_EQ(ReadText(kReadOnlyBox, 8), "新的内容");
  EXPECT_EQ(g_control_counts.edit_changed, 1) << "exactly one change per write";
  WriteText(kReadOnlyBox, 8, "新的内容");
  EXPECT_EQ(g_control_counts.edit_changed, 2) << "a write of the same text still counts once";
  Write(kReadOnlyBox, 8, 0);
  EXPECT_EQ(ReadText(kReadOnlyBox, 8), "") << "null is the empty text";
  EXPECT_EQ(g_control_counts.edit_changed, 3);

  // What the user types is still reported.
  HWND plain = HandleOf(kPlainBox);
  SendMessageW(plain, WM_CHAR, 'x', 0);
  EXPECT_EQ(g_control_counts.edit_changed, 4);
}

TEST_F(ControlsTest, SelectionCountsGbkBytes) {
  // "中文ab": 中 and 文 are two bytes each.
  Write(kPlainBox, 24, 2);
  Write(kPlainBox, 25, 3);
  EXPECT_EQ(ReadText(kPlainBox, 26), "文a");
  DWORD start = 0, end = 0;
  SendMessageW(HandleOf(kPlainBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(Read(kPlainBox, 24), 2u);
  EXPECT_EQ(Read(kPlainBox, 25), 3u);
  WriteText(kPlainBox, 26, "字");
  EXPECT_EQ(ReadText(kPlainBox, 8), "中字b");
}

TEST_F(ControlsTest, EditBoxStyleChangesRebuildWithTheLiveContent) {
  WriteText(kPlainBox, 8, "保留的内容");
  HWND before = HandleOf(kPlainBox);
  Write(kPlainBox, 15, 1);  // multi-line
  HWND after = HandleOf(kPlainBox);
  ASSERT_NE(after, before);
  EXPECT_TRUE(GetWindowLongW(after, GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(WindowText(after), L"保留的内容");
  Write(kPlainBox, 18, 2);  // password
  EXPECT_TRUE(GetWindowLongW(HandleOf(kPlainBox), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(ReadText(kPlainBox, 8), "保留的内容");

  // A single-line box with a spin mode gets an up-down beside it.
  Write(kPlainBox, 15, 0);
  Write(kPlainBox, 22, 9);
  Write(kPlainBox, 23, 3);
  Write(kPlainBox, 21, 1);
  HWND box = HandleOf(kPlainBox);
  HWND spin = GetDlgItem(window_, GetDlgCtrlID(box) + 4);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)), box);
  int low = 0, high = 0;
  SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 3) << "the smaller of minimum and maximum first";
  EXPECT_EQ(high, 9);
  EXPECT_TRUE(IsWindowVisible(spin));
}

// ------------------------------------------------------------------- label

TEST_F(ControlsTest, ATransparentLabelPaintsNoBackground) {
  Pixels transparent(HandleOf(kTransparentLabel));
  Pixels opaque(HandleOf(kOpaqueLabel));
  EXPECT_EQ(transparent.At(50, 15), kGreen) << "the window's background shows through";
  EXPECT_EQ(opaque.At(50, 15), kBlue);
  EXPECT_TRUE(GetWindowLongW(HandleOf(kTransparentLabel), GWL_EXSTYLE) & WS_EX_TRANSPARENT);

  // Text written to it is drawn over the background, and rewriting it
  // leaves no trace of the old text.
  WriteText(kTransparentLabel, 8, "一二三");
  Pixels with_text(HandleOf(kTransparentLabel));
  EXPECT_GT(with_text.CountNot(kGreen), 0);
  WriteText(kTransparentLabel, 8, "");
  EXPECT_EQ(Pixels(HandleOf(kTransparentLabel)).CountNot(kGreen), 0);

  // Leaving the effect fills the background again.
  Write(kTransparentLabel, 9, 0);
  EXPECT_EQ(Pixels(HandleOf(kTransparentLabel)).At(50, 15), kBlue);
  EXPECT_FALSE(GetWindowLongW(HandleOf(kTransparentLabel), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(ControlsTest, LabelTextShowsAtOnceWithoutTheMessageLoop) {
  HWND label = HandleOf(kTextLabel);
  ASSERT_EQ(Pixels(label).CountNot(kWhite), 0);
  WriteText(kTextLabel, 8, "国国国");
  RECT pending;
  EXPECT_FALSE(GetUpdateRect(label, &pending, FALSE)) << "nothing left for a later paint";
  Pixels first(label);
  EXPECT_GT(first.CountNot(kWhite), 50);
  WriteText(kTextLabel, 8, "一");
  Pixels second(label);
  EXPECT_LT(second.CountNot(kWhite), first.CountNot(kWhite));
  EXPECT_EQ(WindowText(label), L"一");
  EXPECT_EQ(ReadText(kTextLabel, 8), "一");
}

// The download loop writes every display after every 10 KB block.
TEST_F(ControlsTest, WritesThatChangeNothingPaintNothing) {
  WriteText(kTextLabel, 8, "同样");
  Write(kBar, 13, 57);
  SetPartText(kBottomStatus, 2, "同样");
  PaintCounter label(HandleOf(kTextLabel)), bar(HandleOf(kBar)), status(HandleOf(kBottomStatus));
  for (int i = 0; i < 3; ++i) {
    WriteText(kTextLabel, 8, "同样");
    Write(kBar, 13, 57);
    Write(kBar, 13, 157);  // shows as 100 ...
    Write(kBar, 13, 57);   // ... and back: two real changes per round
    SetPartText(kBottomStatus, 2, "同样");
  }
  EXPECT_EQ(label.count, 0);
  EXPECT_EQ(status.count, 0);
  EXPECT_EQ(bar.count, 6);
  WriteText(kTextLabel, 8, "不同");
  SetPartText(kBottomStatus, 2, "不同");
  EXPECT_EQ(label.count, 1);
  EXPECT_EQ(status.count, 1);
}

// A stored word is kept as it came; read as a truth it is true only as 1.
TEST_F(ControlsTest, AStoredTruthReadsTrueOnlyAsOne) {
  EXPECT_EQ(Read(kWrapFiveLabel, 25), 0u) << "word wrap stored as 5";
  Write(kWrapFiveLabel, 25, 5);
  EXPECT_EQ(Read(kWrapFiveLabel, 25), 1u) << "a write stores a truth as 1";
}

// Rows of a label that hold text.
std::pair<int, int> InkRows(HWND label, COLORREF background) {
  Pixels pixels(label);
  int first = -1, last = -1;
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x)
      if (pixels.At(x, y) != background) {
        if (first < 0) first = y;
        last = y;
      }
  return {first, last};
}

TEST_F(ControlsTest, AlignmentsPlaceTheTextWrappedOrNot) {
  WriteText(kTextLabel, 8, "国");
  for (uint32_t wrap : {0u, 1u}) {
    Write(kTextLabel, 25, wrap);
    Write(kTextLabel, 26, 0);
    auto [top_first, top_last] = InkRows(HandleOf(kTextLabel), kWhite);
    Write(kTextLabel, 26, 2);
    auto [bottom_first, bottom_last] = InkRows(HandleOf(kTextLabel), kWhite);
    ASSERT_GE(top_first, 0) << wrap;
    // The label is 40 high and the glyph about 24: the two placements differ
    // by the spare height, also for wrapped text.
    EXPECT_GT(bottom_first, top_first + 10) << "wrap " << wrap;
    EXPECT_GT(bottom_last, top_last + 10) << "wrap " << wrap;
  }
  Write(kTextLabel, 24, 2);
  Pixels right(HandleOf(kTextLabel));
  for (int y = 0; y < right.height(); ++y)
    for (int x = 0; x < right.width() / 2; ++x) ASSERT_EQ(right.At(x, y), kWhite) << "right-aligned text only on the right";
}

TEST_F(ControlsTest, AGradientFrameIsDrawnInsideTheLabelInItsColoursOnly) {
  // The old-version label: border 6, frame width 2, one frame colour (red).
  Pixels frame(HandleOf(kOldLabel));
  EXPECT_EQ(frame.At(0, 10), RGB(255, 0, 0));
  EXPECT_EQ(frame.At(1, 10), RGB(255, 0, 0));
  EXPECT_EQ(frame.At(2, 10), GetSysColor(COLOR_BTNFACE)) << "inside: the default background";

  // Its one colour set back to the default leaves no frame colour at all: no
  // frame is drawn (painting one crashed on the empty list).
  Write(kOldLabel, 12, 0xFF000000);
  Pixels no_frame(HandleOf(kOldLabel));
  const int right = no_frame.width() - 1, bottom = no_frame.height() - 1;
  for (POINT corner : {POINT{0, 0}, POINT{1, 1}, POINT{right, bottom}, POINT{right - 1, bottom - 1}})
    EXPECT_EQ(no_frame.At(corner.x, corner.y), GetSysColor(COLOR_BTNFACE)) << corner.x << ", " << corner.y;
}

// ------------------------------------------------------------------ button

TEST_F(ControlsTest, AClickRunsTheBoundRoutine) {
  SendMessageW(HandleOf(kButton), BM_CLICK, 0, 0);
  EXPECT_EQ(g_control_counts.button_clicked, 1);
  SendMessageW(HandleOf(kDefaultButton), BM_CLICK, 0, 0);
  EXPECT_EQ(g_control_counts.button_clicked, 1) << "an unbound button runs nothing";
}

TEST_F(ControlsTest, ButtonTypeAndAlignmentChangeTheLiveControl) {
  auto is_default = reinterpret_cast<UnitIsDefaultButton>(kButtonUnit.interface_function(UNIT_IS_DEFAULT_BUTTON));
  EXPECT_EQ(is_default(ObjectOf(kDefaultButton)), 1);
  EXPECT_EQ(is_default(ObjectOf(kButton)), 0);
  EXPECT_EQ(GetWindowLongW(HandleOf(kDefaultButton), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  HWND button = HandleOf(kButton);
  LONG style = GetWindowLongW(button, GWL_STYLE);
  EXPECT_EQ(style & (BS_CENTER | BS_VCENTER), BS_CENTER | BS_VCENTER);
  EXPECT_TRUE(style & BS_MULTILINE);

  Write(kButton, 9, 1);
  Write(kButton, 11, 0);
  Write(kButton, 12, 7);
  EXPECT_EQ(HandleOf(kButton), button) << "no rebuild for these";
  style = GetWindowLongW(button, GWL_STYLE);
  EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(style & (BS_CENTER | BS_VCENTER), BS_LEFT | BS_BOTTOM);
  EXPECT_EQ(Read(kButton, 12), 2u);
  EXPECT_EQ(is_default(ObjectOf(kButton)), 1);
  WriteText(kButton, 10, "再按");
  EXPECT_EQ(WindowText(button), L"再按");
}

// A 2x2 24-bit BMP and a 16x16 32-bit icon file.
std::vector<uint8_t> SmallBmp() {
  std::vector<uint8_t> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                              0,   0,   1,  0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0,   0,   0,  0, 0, 0};
  for (int row = 0; row < 2; ++row) bmp.insert(bmp.end(), {0, 0, 255, 0, 0, 255, 0, 0});
  return bmp;
}
std::vector<uint8_t> SmallIcon() {
  const uint32_t image_size = 40 + 16 * 16 * 4 + 16 * 4;
  std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
  for (uint32_t v : {image_size, 22u})
    for (int i = 0; i < 4; ++i) icon.push_back(static_cast<uint8_t>(v >> (8 * i)));
  BITMAPINFOHEADER header = {sizeof header, 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  icon.insert(icon.end(), reinterpret_cast<uint8_t*>(&header), reinterpret_cast<uint8_t*>(&header) + sizeof header);
  for (int i = 0; i < 16 * 16; ++i) icon.insert(icon.end(), {0, 0, 255, 255});
  icon.insert(icon.end(), 16 * 4, 0);
  return icon;
}

TEST_F(ControlsTest, ANewPictureRebuildsTheButton) {
  struct Case {
    const char* what;
    std::vector<uint8_t> picture;
    LONG style_bit;
    UINT image_type;
  } cases[] = {
      {"bitmap", SmallBmp(), BS_BITMAP, IMAGE_BITMAP},
      {"icon", SmallIcon(), BS_ICON, IMAGE_ICON},
      {"undecodable", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, IMAGE_BITMAP},
  };
  for (const Case& c : cases) {
    HWND before = HandleOf(kButton);
    std::vector<uint8_t> array = ByteArray(c.picture);
    Write(kButton, 8, PointerWord(array.data()));
    HWND after = HandleOf(kButton);
    ASSERT_NE(after, before) << c.what;
    EXPECT_FALSE(IsWindow(before));
    LONG style = GetWindowLongW(after, GWL_STYLE);
    EXPECT_EQ(style & (BS_BITMAP | BS_ICON), c.style_bit) << c.what;
    EXPECT_EQ(SendMessageW(after, BM_GETIMAGE, c.image_type, 0) != 0, c.style_bit != 0) << c.what;
    EXPECT_EQ(WindowText(after), L"按下") << c.what;
    SendMessageW(after, BM_CLICK, 0, 0);
  }
  EXPECT_EQ(g_control_counts.button_clicked, 3) << "the rebuilt button still runs its routine";
  HWND last = HandleOf(kButton);
  std::vector<uint8_t> same = ByteArray({1, 2, 3, 4, 5, 6, 7, 8, 9});
  Write(kButton, 8, PointerWord(same.data()));
  EXPECT_EQ(HandleOf(kButton), last) << "the same picture again: no rebuild";
}

// ------------------------------------------------------------ common dialog

TEST_F(ControlsTest, TheCommonDialogIsNeverShownAndKeepsItsProperties) {
  HWND holder = HandleOf(kDialog);
  ASSERT_NE(holder, nullptr);
  wchar_t class_name[32] = {};
  GetClassNameW(holder, class_name, 32);
  EXPECT_STREQ(class_name, L"_ZU_CommonDlg");
  EXPECT_FALSE(IsWindowVisible(holder)) << "its visible flag is ignored";
  Write(kDialog, 5, 1);
  EXPECT_FALSE(IsWindowVisible(holder));

  WriteText(kDialog, 9, "打开文件");
  Write(kDialog, 8, 1);
  Write(kDialog, 16, 1);
  Write(kDialog, 27, 0x123456);
  Write(kDialog, 37, 77);
  EXPECT_EQ(ReadText(kDialog, 9), "打开文件");
  EXPECT_EQ(Read(kDialog, 8), 1u);
  EXPECT_EQ(Read(kDialog, 16), 1u);
  EXPECT_EQ(Read(kDialog, 27), 0x123456u);
  EXPECT_EQ(Read(kDialog, 37), 77u);
}

}  // namespace
}  // namespace controls_test
