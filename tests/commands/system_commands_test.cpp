// The system commands: the program's folder, the tick counter, the message
// pump, and the message box read and answered from a second thread.
#include <gtest/gtest.h>

#include <thread>

#include "platform/window_class.h"
#include "runtime/notify.h"
#include "runtime/runtime_state_for_tests.h"
#include "tests/commands/target_host.h"
#include "tests/harness/child_process.h"
#include "ui/component.h"

namespace {

ArgRecord T(const char* text) { return ArgRecord::Text(text); }
ArgRecord I(int32_t v) { return ArgRecord::Int(v); }
const ArgRecord kOmitted = ArgRecord::Omitted();

TEST(RunDirectory, IsTheProgramFolderWithoutABackslash) {
  std::string saved = reinterpret_cast<const char*>(static_cast<uintptr_t>(NotifyRuntime(NR_PROGRAM_DIR, 0, 0)));
  struct {
    const char* held;
    const char* expected;
  } cases[] = {
      {"C:\\程序目录\\下载", "C:\\程序目录\\下载"},
      {"C:", "C:"},
      {"C:\\", "C:"},             // never ends in a backslash
      {"C:\\\x81\x5C", "C:\\\x81\x5C"},  // whose second byte only looks like one
      {"", "(null)"},
  };
  for (const auto& c : cases) {
    test_runtime::SetProgramFolder(c.held);
    EXPECT_EQ(TakeText(Call(CMD_RUN_DIRECTORY)), c.expected);
  }
  test_runtime::SetProgramFolder(saved);
}

// A window of this thread that counts WM_USER messages.
class CountingWindow {
 public:
  CountingWindow() {
    RegisterWindowClass(L"QelmoCommandTestWindow", 0, Proc);
    window_ = CreateWindowExW(0, L"QelmoCommandTestWindow", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                              100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    count_ = 0;
  }
  ~CountingWindow() {
    DestroyWindow(window_);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND hwnd() const { return window_; }
  static int count() { return count_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) ++count_;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  HWND window_;
  static inline int count_ = 0;
};

TEST(ProcessEvents, HandlesWaitingMessagesAndLeavesQuitQueued) {
  CountingWindow window;
  for (int i = 0; i < 3; ++i) PostMessageW(window.hwnd(), WM_USER, 0, 0);
  PostQuitMessage(9);
  Call(CMD_PROCESS_EVENTS);
  EXPECT_EQ(CountingWindow::count(), 3);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT stays for the main loop";
  EXPECT_EQ(msg.wParam, 9u);
}

// What a watcher thread saw of the box before pressing a button in it.
struct BoxSeen {
  bool found = false;
  std::wstring caption;
  std::wstring text;
  HWND owner = nullptr;
  HICON icon = nullptr;
  std::vector<int> buttons;  // ids of the visible buttons
  int default_button = 0;
  bool other_window_enabled = true;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (_wcsicmp(name, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
    *reinterpret_cast<HICON*>(param) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
  return TRUE;
}

// Shows the box on this thread through the command while a second thread
// reads it and presses `press`.
int32_t ShowAndPress(std::vector<ArgRecord> args, int press, BoxSeen* seen, HWND other_window) {
  std::thread watcher([&] {
    HWND box = WaitForMessageBoxOf(GetCurrentProcessId(), 10000);
    if (!box) return;
    Sleep(50);  // let the box finish its set-up
    seen->found = true;
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    seen->caption = text;
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    seen->text = text;
    seen->owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen->icon));
    for (int id = IDOK; id <= IDNO; ++id) {
      HWND button = GetDlgItem(box, id);
      if (button && IsWindowVisible(button)) seen->buttons.push_back(id);
    }
    for (int id : seen->buttons)
      if ((GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        seen->default_button = id;
    seen->other_window_enabled = IsWindowEnabled(other_window) != 0;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), 0);
  });
  int32_t answer = CallCommand(CMD_MESSAGE_BOX, static_cast<int32_t>(args.size()), args.data()).as_int();
  watcher.join();
  return answer;
}

HICON SystemIcon(LPCWSTR id) { return LoadIconW(nullptr, id); }

TEST(MessageBoxCommand, ExclamationWithOkIsTaskModalWithoutOwner) {
  CountingWindow window;
  BoxSeen seen;
  int32_t answer = ShowAndPress({T("请检查路径"), I(0x30), T("提示")}, IDOK, &seen, window.hwnd());
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(seen.caption, L"提示");
  EXPECT_EQ(seen.text, L"请检查路径");
  EXPECT_EQ(seen.icon, SystemIcon(IDI_EXCLAMATION));
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_FALSE(seen.other_window_enabled) << "task-modal: the thread's windows are disabled meanwhile";
  EXPECT_TRUE(IsWindowEnabled(window.hwnd())) << "and enabled again";
}

TEST(MessageBoxCommand, SystemModalIsNotMadeTaskModal) {
  CountingWindow window;
  BoxSeen seen;
  ShowAndPress({T("x"), I(0x1000), T("y")}, IDOK, &seen, window.hwnd());
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.other_window_enabled);
}

struct ButtonCase {
  const char* name;
  int32_t style;
  std::vector<int> buttons;
  int default_button;
  int press;
  int32_t answer;
  LPCWSTR icon;
};

class MessageBoxButtons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(MessageBoxButtons, MapThePressedButton) {
  const ButtonCase& c = GetParam();
  CountingWindow window;
  BoxSeen seen;
  int32_t answer = ShowAndPress({T("问题"), I(c.style), T("标题")}, c.press, &seen, window.hwnd());
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.buttons, c.buttons);
  EXPECT_EQ(seen.default_button, c.default_button);
  EXPECT_EQ(seen.icon, c.icon ? SystemIcon(c.icon) : nullptr);
  EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxButtons,
    ::testing::Values(
        ButtonCase{"OkCancelCancelled", 1, {IDOK, IDCANCEL}, IDOK, IDCANCEL, 1, nullptr},
        ButtonCase{"AbortRetryIgnoreAbort", 2 | 0x10, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, IDABORT, 2, IDI_HAND},
        ButtonCase{"AbortRetryIgnoreRetry", 2 | 0x100, {IDABORT, IDRETRY, IDIGNORE}, IDRETRY, IDRETRY, 3, nullptr},
        ButtonCase{"AbortRetryIgnoreIgnore", 2 | 0x200, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, IDIGNORE, 4, nullptr},
        ButtonCase{"YesNoCancelThirdDefault", 3 | 0x200 | 0x20, {IDCANCEL, IDYES, IDNO}, IDCANCEL, IDCANCEL, 1,
                   IDI_QUESTION},
        ButtonCase{"YesNoYes", 4 | 0x40, {IDYES, IDNO}, IDYES, IDYES, 5, IDI_ASTERISK},
        ButtonCase{"YesNoNoSecondDefault", 4 | 0x100, {IDYES, IDNO}, IDNO, IDNO, 6, nullptr},
        ButtonCase{"RetryCancelRetry", 5, {IDCANCEL, IDRETRY}, IDRETRY, IDRETRY, 3, nullptr}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });

struct MessageCase {
  const char* name;
  ArgRecord message;
  const wchar_t* text;
};

class MessageBoxMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageBoxMessages, UseTheTextFormsOfToText) {
  CountingWindow window;
  BoxSeen seen;
  ShowAndPress({GetParam().message, I(0), kOmitted}, IDOK, &seen, window.hwnd());
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, GetParam().text);
  EXPECT_EQ(seen.caption, L"信息：") << "the caption when omitted";
}

TestBytes kSomeBytes("abc");

INSTANTIATE_TEST_SUITE_P(
    Types, MessageBoxMessages,
    ::testing::Values(MessageCase{"Integer", I(-42), L"-42"}, MessageCase{"Double", ArgRecord::Double(1e20), L"1e+020"},
                      MessageCase{"Float", Float(0.1f), L"0.1"}, MessageCase{"Logical", ArgRecord::Bool(true), L"真"},
                      MessageCase{"Date", ArgRecord::DateTime(0.5), L"1899年12月30日12时"},
                      MessageCase{"ByteArrayIsEmpty", kSomeBytes.arg(), L""},
                      MessageCase{"OmittedIsEmpty", ArgRecord::Omitted(), L""}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

// A loaded window's live object, over a window of its own.
class TestWindowObject : public Component {
 public:
  TestWindowObject() : Component(0x52000001, 0) {
    Attach(CreateWindowExW(0, L"STATIC", L"window object", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 50, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr));
  }
  ~TestWindowObject() override { DestroyWindow(hwnd()); }

 protected:
  void OnFinalDestroy() override {}  // not a heap object of the window manager's
};

TEST(MessageBoxCommand, OwnerRules) {
  CountingWindow window;
  TestWindowObject object;
  int32_t asked_window = 0;
  g_window_object_answer = [&](int32_t window_id, int32_t element_id) {
    asked_window = window_id;
    return element_id == 0 && window_id == 0x52000001 ? static_cast<int32_t>(WordOf(&object)) : 0;
  };
  struct {
    const char* name;
    std::vector<ArgRecord> args;
    HWND owner;
  } cases[] = {
      {"window value", {T("m"), I(0), T("c"), ArgRecord{0x52000001, 0, 0x00010001}}, object.hwnd()},
      {"window not loaded", {T("m"), I(0), T("c"), ArgRecord{0x52000002, 0, 0x00010001}}, nullptr},
      {"integer handle", {T("m"), I(0), T("c"), I(static_cast<int32_t>(WordOf(window.hwnd())))}, window.hwnd()},
      {"other type", {T("m"), I(0), T("c"), T("not a window")}, nullptr},
      {"three arguments", {T("m"), I(0), T("c")}, nullptr},
  };
  for (auto& c : cases) {
    BoxSeen seen;
    ShowAndPress(c.args, IDOK, &seen, window.hwnd());
    EXPECT_TRUE(seen.found) << c.name;
    EXPECT_EQ(seen.owner, c.owner) << c.name;
  }
  EXPECT_EQ(asked_window, 0x52000002) << "the window value's id was asked for";
  g_window_object_answer = nullptr;
}

}  // namespace
