// The program's window with its controls, seen from outside; and the status
// bar's method on a window that is not loaded, which is a runtime error.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "runtime/abi/kernel_services.h"
#include "tests/controls/controls_fixture.h"
#include "tests/harness/child_process.h"
#include "tests/harness/test_program.h"
#include "ui/units/standard_controls.h"

namespace controls_test {
namespace {

constexpr DWORD kTimeout = 15000;

std::map<std::wstring, std::vector<HWND>> ChildrenByClass(HWND window) {
  std::map<std::wstring, std::vector<HWND>> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t class_name[64] = {};
    GetClassNameW(child, class_name, 64);
    children[class_name].push_back(child);
  }
  return children;
}

TEST(Program, ShowsItsStandardControls) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(BuiltProgram(L"qelmo.exe"), L""));
  HWND window = child.WaitForWindow(L"KVWindow", kTimeout);
  ASSERT_NE(window, nullptr);
  auto children = ChildrenByClass(window);

  ASSERT_EQ(children[L"Edit"].size() + children[L"EDIT"].size(), 1u);
  HWND path_box = children[L"Edit"].empty() ? children[L"EDIT"][0] : children[L"Edit"][0];
  EXPECT_FALSE(IsWindowEnabled(path_box)) << "the path box is shown disabled";
  EXPECT_TRUE(IsWindowVisible(path_box));

  EXPECT_EQ(children[L"_ZU_Label"].size(), 3u);
  // Push buttons: the super buttons beside them draw themselves.
  std::vector<std::wstring> captions;
  for (const wchar_t* name : {L"Button", L"BUTTON"})
    for (HWND button : children[name])
      if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON) captions.push_back(WindowText(button));
  std::sort(captions.begin(), captions.end());
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"zr配套安装包", L"完整程序下载包", L"更新程序下载包"}));

  ASSERT_EQ(children[L"msctls_progress32"].size(), 1u);
  HWND bar = children[L"msctls_progress32"][0];
  EXPECT_TRUE(GetWindowLongW(bar, GWL_STYLE) & PBS_SMOOTH);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);

  ASSERT_EQ(children[L"msctls_statusbar32"].size(), 1u);
  HWND status = children[L"msctls_statusbar32"][0];
  EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 5);
  RECT client, bar_rect;
  GetClientRect(window, &client);
  GetWindowRect(status, &bar_rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar_rect), 2);
  EXPECT_EQ(bar_rect.bottom, client.bottom) << "docked at the bottom of the client area";
  EXPECT_EQ(bar_rect.right - bar_rect.left, client.right);

  ASSERT_EQ(children[L"_ZU_CommonDlg"].size(), 1u);
  EXPECT_FALSE(IsWindowVisible(children[L"_ZU_CommonDlg"][0]));

  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(child.WaitForExit(kTimeout), 0u);
}

TEST(StatusBarMethod, OnAWindowNotLoadedEndsInTheErrorBox) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(ThisTestProgram(), L"--scenario set_part_text_unloaded"));
  MessageBoxSeen box = child.WaitForMessageBox(kTimeout);
  ChildProcess::PressOk(box);
  EXPECT_NE(box.text.find(L"指定窗口或窗口组件不存在或尚未载入"), std::wstring::npos) << box.text;
  EXPECT_EQ(child.WaitForExit(kTimeout), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace controls_test

// Run as a child by the process tests.
static int RunControlScenario(const std::string& name, int, char**) {
  using namespace controls_test;
  StartTestForm(kControlsForm);
  if (name == "set_part_text_unloaded") {
    ArgRecord args[3] = {{kWindow, kBottomStatus, 0x00020002}, ArgRecord::Int(0), ArgRecord::Text("文字")};
    StatusBarSetPartText(nullptr, 3, args);
  }
  return 3;
}

const TestProgram kTestProgram = {nullptr, RunControlScenario};
