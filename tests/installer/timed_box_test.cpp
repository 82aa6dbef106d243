// The box that closes by itself and the walk that finds its owner, in this
// process with the program's runtime started.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/timed_message_box.h"
#include "tests/harness/child_process.h"
#include "tests/installer/installer_runtime.h"

namespace {

// The owner the box must get: the first visible top-level window of this
// process without a parent, in the order the system walks them.
HWND FirstVisibleWindowOfThisProcess() {
  for (HWND w : VisibleWindowsOf(GetCurrentProcessId()))
    if (!GetParent(w)) return w;
  return nullptr;
}

class TimedBox : public ::testing::Test {
 protected:
  void SetUp() override {
    StartInstallerRuntime();
    conversion_code_page = 936;  // as the program's start sets it: titles are compared as GBK
    window_ = CreateWindowExW(0, L"STATIC", L"主窗口", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
};

struct BoxSeen {
  HWND owner = nullptr;
  std::wstring title, text;
  std::vector<int> buttons;  // control ids
};

BOOL CALLBACK CollectButton(HWND child, LPARAM seen) {
  wchar_t class_name[16] = {};
  GetClassNameW(child, class_name, 16);
  if (_wcsicmp(class_name, L"Button") == 0) reinterpret_cast<BoxSeen*>(seen)->buttons.push_back(GetDlgCtrlID(child));
  return TRUE;
}

// Left alone, the box ends by itself with 31999; it is owned as the walk
// finds, titled "友情提醒", and offers one OK button.
TEST_F(TimedBox, OwnedWithOneOkButtonAndClosesByItself) {
  HWND expected_owner = FirstVisibleWindowOfThisProcess();
  ASSERT_NE(expected_owner, nullptr);
  BoxSeen seen;
  std::thread watcher([&] {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
      HWND box = FindMessageBox(GetCurrentProcessId());  // whatever other processes show meanwhile
      if (!box) continue;
      Sleep(50);  // let the box finish its set-up
      wchar_t text[256] = {};
      GetWindowTextW(box, text, 256);
      seen.title = text;
      GetDlgItemTextW(box, 0xFFFF, text, 256);
      seen.text = text;
      seen.owner = GetWindow(box, GW_OWNER);
      EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&seen));
      // A box that does not close by itself is closed here, so that the
      // test fails instead of waiting for ever.
      for (DWORD shown = GetTickCount(); IsWindow(box) && GetTickCount() - shown < 8000;) Sleep(50);
      if (IsWindow(box)) PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
  });
  int32_t result = timed_message_box("下载完成！", {}, {}, {}, 1500);
  watcher.join();
  EXPECT_EQ(result, 31999) << "closed by itself";
  EXPECT_EQ(seen.owner, expected_owner);
  EXPECT_EQ(seen.title, L"友情提醒");
  EXPECT_EQ(seen.text, L"下载完成！");
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
}

// A limit of 0 ends the walk before it looks at a window; a negative one
// is no limit (a year), not a limit already passed.
TEST_F(TimedBox, TheWalkEndsAtOnceAtLimitZeroAndANegativeLimitIsAYear) {
  auto found = [](Optional<int32_t> limit) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(find_process_window(GetCurrentProcessId(), {}, {}, limit)));
  };
  HWND first = FirstVisibleWindowOfThisProcess();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(found(0), nullptr);
  EXPECT_EQ(found(-1), first);
  EXPECT_EQ(found({}), first);
  EXPECT_EQ(found(1000), first);
}

}  // namespace
