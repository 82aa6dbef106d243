// The window manager in-process: loading a template window, its events,
// its menu, closing, and property access with and without a live window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/libraries.h"
#include "platform/pointer_word.h"
#include "platform/wide_text.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/heap.h"
#include "runtime/notify.h"
#include "runtime/runtime_state_for_tests.h"
#include "runtime/window_link.h"
#include "tests/harness/form_window.h"
#include "tests/harness/test_program.h"
#include "tests/window/test_routines.h"
#include "tests/window/test_units.h"
#include "ui/component.h"
#include "ui/cursors.h"
#include "ui/events.h"
#include "ui/font_record.h"
#include "ui/keyboard.h"
#include "ui/menu_commands.h"
#include "ui/property_access.h"
#include "ui/standard_properties.h"
#include "ui/window_manager.h"

extern "C" const unsigned char test_windows_template[];
extern "C" const uint32_t test_windows_template_size;
extern "C" void test_windows_code_base();

namespace {

constexpr uint32_t kWindowA = 0x52000010;
constexpr uint32_t kWindowB = 0x52000020;
constexpr uint32_t kWindowC = 0x52000030;  // cannot be loaded
constexpr uint32_t kWindowElementA = 0x06000011;
constexpr uint32_t kA = 0x16000012, kB = 0x16000013, kC = 0x16000014;
constexpr uint32_t kFont = 0x16000015, kStatic = 0x16000016, kStatic2 = 0x16000018, kMenu = 0x26000017;
constexpr uint32_t kUnloaded = 0x16000022;

// The test units stand in library 2; the super button is library 4's.
const LibraryDescriptor* const kLibraries[] = {&core_library, &kTestUnitLibrary, nullptr, &ui_extension2_library};
const TestForm kWindowsForm = QELMO_TEST_FORM(test_windows, kLibraries);
const FormWindow kSecondWindow{kWindowB};

// Window A of the form, its records and properties the test's own.
class WindowManagerTest : public FormWindowTest {
 protected:
  WindowManagerTest() : FormWindowTest(kWindowsForm, kWindowA) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(FormWindowTest::SetUp());
    g_counts = RoutineCounts();
  }
  void TearDown() override {
    FormWindowTest::TearDown();
    test_runtime::SetLoopStarted(false);
  }
  HWND LoadA() {
    EXPECT_TRUE(LoadWindow(record(), false, nullptr));
    return handle();
  }
};

TEST_F(WindowManagerTest, LoadingBuildsTheWindowAsItsFormSays) {
  HWND window = LoadA();
  ASSERT_NE(window, nullptr);
  wchar_t class_name[32] = {};
  GetClassNameW(window, class_name, 32);
  EXPECT_STREQ(class_name, L"KVWindow");
  EXPECT_EQ(WindowText(window), L"测试窗口");
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2) << "start position 1 centres the window";
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_TRUE(IsWindowVisible(window));
  // Components are made from the last list entry back: ids 100, 110, ...
  EXPECT_EQ(GetDlgCtrlID(HandleOf(kStatic2)), 100);
  EXPECT_EQ(GetDlgCtrlID(HandleOf(kStatic)), 110);
  EXPECT_EQ(GetWindow(HandleOf(kStatic), GW_HWNDNEXT), HandleOf(kStatic2)) << "list order is the z-order";
  EXPECT_TRUE(IsWindowVisible(HandleOf(kStatic)));
  EXPECT_EQ(g_counts.created, 1);
  EXPECT_GE(g_counts.moved, 1);
  EXPECT_GE(g_counts.sized, 1);
  EXPECT_EQ(g_counts.static_events, 0) << "a routine ran while the window was being built";
  EXPECT_NE(GetMenu(window), nullptr);
  EXPECT_NE(record()->CursorAt(record()->elements().PositionOf(kStatic)), nullptr) << "cursor 14, the hand";
  EXPECT_EQ(record()->CursorAt(record()->elements().PositionOf(kStatic2)), nullptr) << "4 zero bytes: the default";
}

TEST_F(WindowManagerTest, LoadingALiveWindowOnlyActivatesIt) {
  HWND first = LoadA();
  HWND second = LoadA();
  EXPECT_EQ(first, second);
  EXPECT_EQ(g_counts.created, 1);
}

TEST_F(WindowManagerTest, EventsFollowTheEventSourceAndSkipMissingBindings) {
  LoadA();
  EventRequest by_source = {kWindowA, kB, 0, 0, {}, 0, 0};
  EXPECT_TRUE(RaiseElementEvent(&by_source));
  EXPECT_EQ(g_counts.clicked_a, 1) << "乙 uses 甲's bindings";
  EXPECT_EQ(g_counts.clicked_b, 0);
  EventRequest none = {kWindowA, kC, 0, 0, {}, 0, 0};
  EXPECT_FALSE(RaiseElementEvent(&none)) << "a -1 binding is no routine";
  EventRequest unbound = {kWindowA, kA, 5, 0, {}, 0, 0};
  EXPECT_FALSE(RaiseElementEvent(&unbound));
  test_runtime::SetEventBlock(1);
  EventRequest blocked = {kWindowA, kA, 0, 0, {}, 0, 0};
  EXPECT_FALSE(RaiseElementEvent(&blocked));
  EXPECT_EQ(g_counts.clicked_a, 1);
  test_runtime::SetEventBlock(0);
  EXPECT_EQ(NotifyRuntime(2008, static_cast<int32_t>(PointerWord(&blocked)), 0), 1) << "units raise events by code 2008";
}

TEST_F(WindowManagerTest, MenuItemsRunTheirRoutineAndKeepTheirState) {
  HWND window = LoadA();
  SendMessageW(window, WM_COMMAND, MenuCommandOf(record()->elements().PositionOf(kMenu)), 0);
  EXPECT_EQ(g_counts.menu, 1);
  EXPECT_EQ(ReadText(kMenu, 0), "文件");
  Write(kMenu, 1, 1);
  EXPECT_EQ(Read(kMenu, 1), 1u);
  EXPECT_EQ(GetMenuState(GetMenu(window), MenuCommandOf(record()->elements().PositionOf(kMenu)), MF_BYCOMMAND) & MF_CHECKED,
            static_cast<UINT>(MF_CHECKED));
  Write(kMenu, 0, PointerWord("编辑"));
  EXPECT_EQ(ReadText(kMenu, 0), "编辑");
}

TEST_F(WindowManagerTest, ACloseQueryAnsweringFalseKeepsTheWindow) {
  HWND window = LoadA();
  g_counts.refuse_close = true;
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  g_counts.refuse_close = false;
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_counts.close_query, 2);
  EXPECT_EQ(record()->ObjectAt(0), nullptr) << "the object slots are cleared";
}

// The window object goes with its window: after an event whose routine
// destroyed the window, nothing of it may run on.
TEST_F(WindowManagerTest, ARoutineThatDestroysItsOwnWindowEndsItsEvent) {
  HWND window = LoadA();
  g_counts.destroy_at_event = 12;
  g_counts.destroy_window = window;
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_counts.close_query, 1);
  EXPECT_EQ(g_counts.closing, 0) << "the closing event was raised by the destroyed window's object";
  EXPECT_EQ(record()->ObjectAt(0), nullptr);

  // Event 1 (closing), 3 (moved) and 10 (shown): the window goes, and the
  // next load builds it afresh.
  for (int event : {1, 3, 10}) {
    window = LoadA();
    ASSERT_TRUE(IsWindow(window)) << event;
    g_counts.destroy_at_event = event;
    g_counts.destroy_window = window;
    if (event == 1) SendMessageW(window, WM_CLOSE, 0, 0);
    if (event == 3) SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (event == 10) ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindow(window)) << event;
    EXPECT_EQ(record()->ObjectAt(0), nullptr) << event;
  }
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(WindowManagerTest, AWindowWhoseComponentCannotBeMadeIsTornDownWhole) {
  WindowRecord* c = FindWindowRecord(kWindowC);
  ASSERT_NE(c, nullptr);
  const int windows_before = ThreadWindows();
  const int statics_before = g_static_objects_made;
  EXPECT_FALSE(LoadWindow(c, false, nullptr));
  EXPECT_EQ(g_static_objects_made, statics_before + 1) << "the components after it were made first";
  EXPECT_FALSE(c->IsAlive());
  for (int32_t i = 0; i < c->elements().count(); ++i) EXPECT_EQ(c->ObjectAt(i), nullptr) << i;
  EXPECT_EQ(ThreadWindows(), windows_before) << "a window of the failed load is left";
  EXPECT_EQ(g_counts.created, 0);
  // The same window fails again, and nothing piles up.
  EXPECT_FALSE(LoadWindow(c, false, nullptr));
  EXPECT_EQ(ThreadWindows(), windows_before);
}

TEST_F(WindowManagerTest, EscClosesAndTheLoopEndsOnlyOnceItHasStarted) {
  HWND window = LoadA();
  MSG key = {window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  EXPECT_TRUE(PreTranslateWindowKey(&key));
  EXPECT_FALSE(IsWindow(window));
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closed before the loop started";

  window = LoadA();
  test_runtime::SetLoopStarted(true);
  key.hwnd = window;
  EXPECT_TRUE(PreTranslateWindowKey(&key));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(WindowManagerTest, StandardPropertiesOfAnUnloadedWindowComeFromItsElement) {
  EXPECT_EQ(kSecondWindow.Read(kUnloaded, PROP_LEFT), 5u);
  EXPECT_EQ(kSecondWindow.Read(kUnloaded, PROP_HEIGHT), 8u);
  EXPECT_EQ(kSecondWindow.Read(kUnloaded, PROP_VISIBLE), 1u);
  struct Case {
    int32_t property;
    int32_t written;
    int32_t stored;
  } cases[] = {
      {PROP_WIDTH, 40000, 32627}, {PROP_WIDTH, -5, 0},       {PROP_HEIGHT, 32627, 32627},
      {PROP_LEFT, -40000, -32627}, {PROP_TOP, 40000, 32627}, {PROP_LEFT, -12, -12},
  };
  for (const Case& c : cases) {
    kSecondWindow.Write(kUnloaded, c.property, static_cast<uint32_t>(c.written));
    EXPECT_EQ(static_cast<int32_t>(kSecondWindow.Read(kUnloaded, c.property)), c.stored) << c.property << " " << c.written;
  }
  kSecondWindow.Write(kUnloaded, PROP_VISIBLE, 0);
  EXPECT_EQ(kSecondWindow.Read(kUnloaded, PROP_VISIBLE), 0u);
}

TEST_F(WindowManagerTest, StandardPropertiesOfALiveComponentMoveItsWindow) {
  LoadA();
  EXPECT_EQ(Read(kStatic, PROP_LEFT), 20u);
  EXPECT_EQ(Read(kStatic, PROP_TOP), 40u);
  Write(kStatic, PROP_LEFT, 33);
  Write(kStatic, PROP_WIDTH, 150);
  RECT rect;
  GetWindowRect(HandleOf(kStatic), &rect);
  MapWindowPoints(nullptr, record()->WindowHandle(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 33);
  EXPECT_EQ(rect.top, 40) << "a move keeps the other coordinate";
  EXPECT_EQ(rect.right - rect.left, 150);
  Write(kStatic, PROP_DISABLE, 1);
  EXPECT_FALSE(IsWindowEnabled(HandleOf(kStatic)));
  EXPECT_EQ(Read(kStatic, PROP_DISABLE), 1u);
  Write(kStatic, PROP_VISIBLE, 0);
  EXPECT_FALSE(IsWindowVisible(HandleOf(kStatic)));
  // The element keeps the new values for the next load.
  SendMessageW(record()->WindowHandle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Read(kStatic, PROP_LEFT), 33u);
  EXPECT_EQ(Read(kStatic, PROP_VISIBLE), 0u);
}

TEST_F(WindowManagerTest, AGrowingTagKeepsEveryLaterElementIntact) {
  std::string long_tag(300, 'x');
  Write(kA, PROP_TAG, PointerWord(long_tag.c_str()));
  EXPECT_EQ(ReadText(kA, PROP_TAG), long_tag);
  EXPECT_EQ(ReadText(0, PROP_TAG), "窗口标签");
  EXPECT_EQ(Read(kStatic, PROP_LEFT), 20u);
  EXPECT_EQ(ReadText(kMenu, 0), "文件");
  Write(kA, PROP_TAG, 0);  // null: the empty tag
  EXPECT_EQ(ReadText(kA, PROP_TAG), "");
  LoadA();
  EventRequest by_source = {kWindowA, kB, 0, 0, {}, 0, 0};
  EXPECT_TRUE(RaiseElementEvent(&by_source)) << "bindings still found after the entries moved";
  EXPECT_EQ(g_counts.clicked_a, 1);
}

TEST_F(WindowManagerTest, FontsByFieldAndByRecord) {
  LoadA();
  FontRecord record = {0, 1, 0, 0, 1, 12, "This face name is 32 bytes long!"};
  ASSERT_EQ(std::strlen(record.face_name), 32u);
  kernel_services.WriteProperty(kWindowA, kFont, 8, FONT_WHOLE_RECORD, PointerWord(&record), 0);
  EXPECT_EQ(ReadText(kFont, 8, FONT_FACE_NAME), "宋体");
  EXPECT_EQ(Read(kFont, 8, FONT_BOLD), 1u);
  EXPECT_EQ(Read(kFont, 8, FONT_UNDERLINE), 1u);
  EXPECT_EQ(Read(kFont, 8, FONT_POINT_SIZE), 12u);
  Write(kFont, 8, 3700, FONT_ESCAPEMENT);
  EXPECT_EQ(Read(kFont, 8, FONT_ESCAPEMENT), 100u);
  Write(kFont, 8, PointerWord(""), FONT_FACE_NAME);
  EXPECT_EQ(ReadText(kFont, 8, FONT_FACE_NAME), "宋体");
  Write(kFont, 8, PointerWord("微软雅黑"), FONT_FACE_NAME);
  auto* whole = reinterpret_cast<FontRecord*>(Read(kFont, 8, FONT_WHOLE_RECORD));
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->escapement, 100);
  EXPECT_STREQ(whole->face_name, "微软雅黑");
  Free(const_cast<char*>(whole->face_name));
  Free(whole);
}

TEST_F(WindowManagerTest, AUnitAskingForItIsRebuiltInPlace) {
  LoadA();
  HWND old_window = HandleOf(kStatic);
  Write(kStatic, 8, PointerWord("新标题"));
  int made = g_static_objects_made;
  Write(kStatic, 9, 1);  // the style: the unit answers 1
  EXPECT_EQ(g_static_objects_made, made + 1);
  HWND new_window = HandleOf(kStatic);
  ASSERT_NE(new_window, nullptr);
  EXPECT_NE(new_window, old_window);
  EXPECT_FALSE(IsWindow(old_window));
  EXPECT_EQ(WindowText(new_window), L"新标题") << "the current properties carry over";
  EXPECT_EQ(GetDlgCtrlID(new_window), 110);
  EXPECT_EQ(Read(kStatic, PROP_LEFT), 20u);
  EXPECT_TRUE(IsWindowVisible(new_window));
  EXPECT_EQ(ReadText(kStatic, 8), "新标题");
  EXPECT_EQ(g_counts.static_events, 0) << "a routine ran while the component was rebuilt";
}

// An icon (type 1) or cursor (type 2) file of one 32 × 32 image, 32 bits
// with its mask. A cursor's hotspot is at (5, 7).
std::vector<uint8_t> ImageFile(uint32_t type) {
  std::vector<uint8_t> file;
  auto half = [&](uint32_t v) { file.push_back(v & 0xFF), file.push_back(v >> 8 & 0xFF); };
  auto word = [&](uint32_t v) { half(v & 0xFFFF), half(v >> 16); };
  const uint32_t image_size = 40 + 32 * 32 * 4 + 32 * 4;
  half(0), half(type), half(1);  // a directory of one entry
  file.push_back(32), file.push_back(32), file.push_back(0), file.push_back(0);
  if (type == 2)
    half(5), half(7);  // hotspot
  else
    half(1), half(32);  // planes, bits
  word(image_size), word(22);
  word(40), word(32), word(64), half(1), half(32), word(0), word(32 * 32 * 4), word(0), word(0), word(0), word(0);
  for (int i = 0; i < 32 * 32; ++i) word(0xFF204080);
  file.insert(file.end(), 32 * 4, 0);  // the mask: all shown
  return file;
}
std::vector<uint8_t> CursorFile() { return ImageFile(2); }

// The window unit's own properties on the live window: the frame styles as
// creation sets them, the Move item, the icon and the task bar.
TEST_F(WindowManagerTest, WindowPropertiesTakeEffectOnTheLiveWindow) {
  HWND window = LoadA();
  auto style = [&] { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); };
  auto ex_style = [&] { return static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)); };
  auto set = [&](int32_t property, uint32_t value) {
    Write(kWindowElementA, property, value);
    EXPECT_EQ(Read(kWindowElementA, property), value) << property;
  };
  ASSERT_EQ(style() & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
  set(9, 1);  // resizable
  EXPECT_TRUE(style() & WS_THICKFRAME);
  set(9, 3);  // resizable tool window
  EXPECT_TRUE(ex_style() & WS_EX_TOOLWINDOW);
  set(9, 6);  // fixed with client edge
  EXPECT_EQ(ex_style() & (WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE), static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_FALSE(style() & WS_THICKFRAME);
  set(9, 0);  // no border at all
  EXPECT_EQ(style() & (WS_CAPTION | WS_DLGFRAME | WS_SYSMENU), 0u);
  set(9, 2);
  set(16, 1);
  EXPECT_TRUE(style() & WS_MAXIMIZEBOX);
  set(17, 0);
  EXPECT_FALSE(style() & WS_MINIMIZEBOX);
  set(15, 0);  // no control button: no system menu, the title keeps the caption
  EXPECT_EQ(style() & (WS_SYSMENU | WS_CAPTION), static_cast<DWORD>(WS_CAPTION));
  set(15, 1);
  EXPECT_TRUE(style() & WS_SYSMENU);

  auto has_move = [&] { return GetMenuState(GetSystemMenu(window, FALSE), SC_MOVE, MF_BYCOMMAND) != 0xFFFFFFFFu; };
  EXPECT_TRUE(has_move());
  set(19, 0);
  EXPECT_FALSE(has_move());
  set(19, 1);
  EXPECT_TRUE(has_move());

  const std::vector<uint8_t> icon = ImageFile(1);
  std::vector<uint8_t> array = {1, 0, 0, 0, uint8_t(icon.size()), uint8_t(icon.size() >> 8), 0, 0};
  array.insert(array.end(), icon.begin(), icon.end());
  HICON before = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  Write(kWindowElementA, 20, PointerWord(array.data()));
  HICON after = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  EXPECT_NE(after, nullptr);
  EXPECT_NE(after, before);

  HWND hidden_owner = test_runtime::MakeHiddenOwner();
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  set(26, 0);  // out of the task bar: owned by the hidden owner
  EXPECT_EQ(GetWindow(window, GW_OWNER), hidden_owner);
  set(26, 1);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

  // The class name is kept for the next load: a window is never rebuilt in place.
  Write(kWindowElementA, 31, PointerWord("测试类"));
  EXPECT_EQ(ReadText(kWindowElementA, 31), "测试类");
  EXPECT_EQ(FindWindowRecord(kWindowA)->WindowHandle(), window);
}

TEST_F(WindowManagerTest, CursorImagesLoadWithTheirHotspotAndBoundedEntries) {
  const std::vector<uint8_t> file = CursorFile();
  auto with_selector = [&](uint32_t selector, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> data = {uint8_t(selector), uint8_t(selector >> 8), uint8_t(selector >> 16),
                                 uint8_t(selector >> 24)};
    data.insert(data.end(), image.begin(), image.end());
    return data;
  };
  auto hotspot = [](HCURSOR cursor) {
    ICONINFO info = {};
    if (!cursor || !GetIconInfo(cursor, &info)) return POINT{-1, -1};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return info.fIcon ? POINT{-2, -2} : POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
  };
  // Selector -1: the rest is the image. Any other selector with more than
  // 10 bytes: the image first.
  for (uint32_t selector : {0xFFFFFFFFu, 3u}) {
    std::vector<uint8_t> data = with_selector(selector, file);
    HCURSOR cursor = CursorFromData(data.data(), static_cast<uint32_t>(data.size()));
    POINT spot = hotspot(cursor);
    EXPECT_EQ(spot.x, 5) << selector;
    EXPECT_EQ(spot.y, 7) << selector;
    if (cursor) DestroyCursor(cursor);
  }
  // An image past the end, or more entries than the bytes hold: no image
  // (selector 3 then falls back to its system pointer).
  std::vector<uint8_t> cut = file;
  cut.resize(file.size() - 100);
  std::vector<uint8_t> many = file;
  many[4] = 0xFF, many[5] = 0x7F;
  for (const std::vector<uint8_t>& broken : {cut, many}) {
    std::vector<uint8_t> data = with_selector(0xFFFFFFFFu, broken);
    EXPECT_EQ(CursorFromData(data.data(), static_cast<uint32_t>(data.size())), nullptr);
    data = with_selector(3, broken);
    HCURSOR fallback = CursorFromData(data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_NE(fallback, nullptr);
    if (fallback) DestroyCursor(fallback);
  }
}

TEST_F(WindowManagerTest, MousePointerReadsAsATableIndex) {
  auto* array = static_cast<int32_t*>(reinterpret_cast<void*>(Read(kStatic, PROP_MOUSE_POINTER)));
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array[1], 4);
  EXPECT_EQ(array[2], 14);
  Free(array);
  EXPECT_EQ(Read(kStatic2, PROP_MOUSE_POINTER) != 0, true) << "4 zero bytes are still 4 bytes";
}

TEST_F(WindowManagerTest, ObjectLookupByNotification) {
  LoadA();
  EXPECT_EQ(NotifyRuntime(2006, static_cast<int32_t>(kWindowA), static_cast<int32_t>(kMenu)), 0) << "a menu item";
  EXPECT_EQ(NotifyRuntime(2006, static_cast<int32_t>(kWindowB), static_cast<int32_t>(kUnloaded)), 0);
  EXPECT_NE(NotifyRuntime(2006, static_cast<int32_t>(kWindowA), static_cast<int32_t>(kStatic)), 0);
  EXPECT_NE(NotifyRuntime(2006, static_cast<int32_t>(kWindowA), 0), 0);
  EXPECT_NE(NotifyRuntime(1002, 0x00010001, 0), 0);
  EXPECT_EQ(NotifyRuntime(1002, 0x00050001, 0), 0);
}

// Run as a child by the process tests: a scenario that ends in an error box.
int RunWindowScenario(const std::string& name, int, char**) {
  StartTestForm(kWindowsForm);
  if (name == "read_unloaded") kSecondWindow.Read(kUnloaded, 8);
  if (name == "write_unloaded") kSecondWindow.Write(kUnloaded, 8, 0);
  if (name == "unknown_window") FormWindow(0x52000099).Read(kUnloaded, 0);
  if (name == "event_unknown_window") {
    EventRequest request = {0x52000099, 0, 0, 0, {}, 0, 0};
    RaiseElementEvent(&request);
  }
  if (name == "event_unknown_element") {
    EventRequest request = {kWindowA, 0x16000077, 0, 0, {}, 0, 0};
    RaiseElementEvent(&request);
  }
  if (name == "object_or_fail") NotifyRuntime(2007, static_cast<int32_t>(kWindowA), static_cast<int32_t>(kMenu));
  if (name == "start_window_fails") kernel_services.LoadStartWindow(kWindowC);
  return 3;
}

}  // namespace

const TestProgram kTestProgram = {nullptr, RunWindowScenario};
