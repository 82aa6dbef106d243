// The window manager seen from outside: the finished program's window, and
// the runtime errors of the window and property services.
#include <gtest/gtest.h>

#include "tests/harness/child_process.h"

namespace {

constexpr DWORD kTimeout = 15000;

TEST(Program, ShowsItsWindowCentredAndClosesOnEsc) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(BuiltProgram(L"qelmo.exe"), L""));
  HWND window = child.WaitForWindow(L"KVWindow", kTimeout);
  ASSERT_NE(window, nullptr);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"qelmo 安装助手");
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 478);
  EXPECT_EQ(rect.bottom - rect.top, 194);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 478) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 194) / 2);
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(child.WaitForExit(kTimeout), 0u);
}

struct ErrorCase {
  const wchar_t* scenario;
  const wchar_t* text;
};

TEST(WindowErrors, EachEndsInTheErrorBoxWithItsLocation) {
  const ErrorCase cases[] = {
      {L"read_unloaded",
       L"运行时出错!\r\n\r\n错误信息：读取组件属性时发现指定窗口尚未载入\r\n\r\n1375731744, 369098786\r\n\"\"\r\n\"\"\r\n"},
      {L"write_unloaded",
       L"运行时出错!\r\n\r\n错误信息：修改组件属性时发现指定窗口尚未载入\r\n\r\n1375731744, 369098786\r\n\"\"\r\n\"\"\r\n"},
      {L"unknown_window",
       L"运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n\r\n1375731865, 369098786\r\n未找到所指定的窗口\r\n"},
      {L"event_unknown_window",
       L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n\r\n1375731865, 0\r\n未找到所指定的窗口\r\n"},
      {L"event_unknown_element",
       L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n\r\n1375731728, 369098871\r\n\"窗口标签\"\r\n"
       L"未找到所指定的窗口组件\r\n"},
      {L"start_window_fails",
       L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\r\n1375731760, 0\r\n\"坏窗口\"\r\n\"坏窗口\"\r\n"},
      {L"object_or_fail",
       L"运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n\r\n1375731728, 637534231\r\n\"窗口标签\"\r\n"
       L"未找到所指定的窗口组件\r\n"},
  };
  for (const ErrorCase& c : cases) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(ThisTestProgram(), std::wstring(L"--scenario ") + c.scenario));
    MessageBoxSeen box = child.WaitForMessageBox(kTimeout);
    for (HWND left : child.Windows()) {
      wchar_t class_name[64] = {};
      GetClassNameW(left, class_name, 64);
      if (wcscmp(class_name, L"#32770") != 0) ADD_FAILURE() << c.scenario << ": a window is left beside the box";
    }
    ChildProcess::PressOk(box);
    EXPECT_EQ(box.text, c.text) << c.scenario;
    EXPECT_EQ(box.caption, L"错误");
    EXPECT_EQ(child.WaitForExit(kTimeout), 0xFFFFFFFFu) << c.scenario;
  }
}

}  // namespace
