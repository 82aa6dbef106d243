// The runtime seen from outside: the test application runs as a child
// process and the harness reads its error boxes, its reports and its exit
// code.
#include <gtest/gtest.h>

#include "tests/harness/child_process.h"

namespace {

constexpr DWORD kRuntimeErrorExit = 0xFFFFFFFF;
constexpr DWORD kTimeout = 15000;

struct ScenarioRun {
  DWORD exit_code = ChildProcess::kStillRunning;
  MessageBoxSeen box;
  std::wstring report;
};

std::wstring TestApp() { return TestProgramFolder() + L"test_app.exe"; }

// Runs a scenario; when `expect_box` is set, waits for the error box, reads
// it and presses OK.
ScenarioRun RunScenario(const std::wstring& scenario, const std::wstring& extra = L"", bool expect_box = false,
                const std::wstring& program = TestApp(), const std::wstring& directory = L"") {
  std::wstring folder = MakeTempFolder(L"qelmo-runtime");
  std::wstring out = folder + L"report.txt";
  ChildProcess child;
  ScenarioRun run;
  if (!child.Start(program, scenario + L" \"" + out + L"\" " + extra, directory)) return run;
  if (expect_box) {
    run.box = child.WaitForMessageBox(kTimeout);
    ChildProcess::PressOk(run.box);
  }
  run.exit_code = child.WaitForExit(kTimeout);
  run.report = FromGbk(ReadFileBytes(out));
  return run;
}

int CountLines(const std::wstring& text, const std::wstring& line) {
  int count = 0;
  for (size_t at = text.find(line + L"\n"); at != std::wstring::npos; at = text.find(line + L"\n", at + 1)) ++count;
  return count;
}

TEST(ExitCodes, LastWindowClosedAfterTheLoopStartedEndsWithZero) {
  ScenarioRun run = RunScenario(L"window_closes_later");
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(CountLines(run.report, L"exit routine"), 1) << "registered twice, runs once";
  EXPECT_EQ(CountLines(run.report, L"library shutdown 0"), 1) << "the library hears of the end once";
  EXPECT_LT(run.report.find(L"exit routine"), run.report.find(L"library shutdown")) << "exit routines first";
}

TEST(StartUp, TheEntrySequenceResetsTheFloatingPointUnit) {
  ScenarioRun run = RunScenario(L"fpu_reset");
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_NE(run.report.find(L"fpu 037F\n"), std::wstring::npos) << run.report;
}

TEST(ExitCodes, StartWindowClosingAtOnceMeansTheLoopReturnsAtOnce) {
  ScenarioRun run = RunScenario(L"window_closes_at_once");
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(CountLines(run.report, L"exit routine"), 1);
}

TEST(ExitCodes, EndProgramEndsWithItsArgumentAfterTheExitRoutines) {
  ScenarioRun run = RunScenario(L"end_program", L"7");
  EXPECT_EQ(run.exit_code, 7u);
  EXPECT_EQ(CountLines(run.report, L"exit routine"), 1);
}

TEST(ExitCodes, EndProgramFromAWorkerThreadRunsTheShutdownOnTheMainThread) {
  ScenarioRun run = RunScenario(L"worker_end", L"5");
  EXPECT_EQ(run.exit_code, 5u);
  EXPECT_EQ(CountLines(run.report, L"exit routine"), 1);
}

TEST(ErrorBox, ShowsCodeMessageAndStatementPositionThenEndsWithMinusOne) {
  ScenarioRun run = RunScenario(L"report_error", L"6 67187515 18", true);
  EXPECT_EQ(run.box.caption, L"错误");
  EXPECT_EQ(run.box.text,
            L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n67187515, 18\r\n");
  EXPECT_EQ(run.box.icon, BoxIcon::kError);
  EXPECT_EQ(run.exit_code, kRuntimeErrorExit);
  EXPECT_EQ(CountLines(run.report, L"exit routine"), 0) << "exit routines are dropped after an error";
}

TEST(ErrorBox, CodeZeroShowsOnlyTheHeaderAndTheLocation) {
  ScenarioRun run = RunScenario(L"report_error", L"0 0 0", true);
  EXPECT_EQ(run.box.text, L"运行时出错!\r\n\r\n0, 0\r\n");
  EXPECT_EQ(run.exit_code, kRuntimeErrorExit);
}

TEST(ErrorBox, MessagesByCode) {
  ScenarioRun run = RunScenario(L"report_error", L"9 -1 -2", true);
  EXPECT_EQ(run.box.text,
            L"运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围\r\n"
            L"\r\n-1, -2\r\n");
}

TEST(ErrorBox, AWindowIdThatIsNotLoadedSaysSo) {
  ScenarioRun run = RunScenario(L"report_error", L"1 0x52000077 0", true);
  EXPECT_EQ(run.box.text,
            L"运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n\r\n1375731831, 0\r\n"
            L"未找到所指定的窗口\r\n");
}

TEST(ErrorBox, LocationNamesTheWindowAndElementTags) {
  const std::wstring header = L"运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n\r\n";
  ScenarioRun element = RunScenario(L"report_error_window", L"0x52000001 0x16000002", true);
  EXPECT_EQ(element.box.text, header + L"1375731713, 369098754\r\n\"主窗口\"\r\n\"\"\r\n");
  ScenarioRun window_itself = RunScenario(L"report_error_window", L"0x52000001 0", true);
  EXPECT_EQ(window_itself.box.text, header + L"1375731713, 0\r\n\"主窗口\"\r\n\"主窗口\"\r\n");
  ScenarioRun menu_item = RunScenario(L"report_error_window", L"0x52000001 0x26000003", true);
  EXPECT_EQ(menu_item.box.text, header + L"1375731713, 637534211\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n");
  EXPECT_EQ(menu_item.exit_code, kRuntimeErrorExit);
}

TEST(ErrorBox, RuntimeMessages) {
  struct Case {
    const wchar_t* scenario;
    const wchar_t* text;
  } cases[] = {
      {L"template_error", L"运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n\r\n0, 0\r\n"},
      {L"start_window_missing",
       L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\r\n1375731865, 0\r\n未找到所指定的窗口\r\n"},
      {L"alloc_fail", L"运行时出错!\r\n\r\n错误信息：分配 2147483632 字节内存失败!\r\n\r\n0, 0\r\n"},
      // With operator new failing for good: the report allocates nothing.
      {L"heap_out_of_memory", L"运行时出错!\r\n\r\n错误信息：分配 1000 字节内存失败!\r\n\r\n0, 0\r\n"},
      {L"string_out_of_memory", L"运行时出错!\r\n\r\n错误信息：分配内存失败!\r\n\r\n0, 0\r\n"},
      {L"library_error", L"运行时出错!\r\n\r\n错误信息：库里出错了\r\n\r\n0, 0\r\n"},
      {L"dll_missing",
       L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“probe.dll”中的输出命令“probe_no_such_function”\r\n\r\n0, 0\r\n"},
      {L"dll_missing_default",
       L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchFunctionAnywhere”\r\n\r\n0, 0\r\n"},
  };
  for (const Case& c : cases) {
    ScenarioRun run = RunScenario(c.scenario, L"", true);
    EXPECT_EQ(run.box.text, c.text) << c.scenario;
    EXPECT_EQ(run.exit_code, kRuntimeErrorExit) << c.scenario;
  }
}

TEST(DllGate, BindsByNameOrdinalDefaultLibrariesAndFullPath) {
  ScenarioRun run = RunScenario(L"dll_calls");
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_NE(run.report.find(L"add_one 42\n"), std::wstring::npos) << run.report;
  EXPECT_NE(run.report.find(L"add_one again 2\n"), std::wstring::npos);
  EXPECT_NE(run.report.find(L"ordinal 12\n"), std::wstring::npos);
  EXPECT_NE(run.report.find(L"by_path 142\n"), std::wstring::npos) << "the drive-letter path is loaded as given";
  EXPECT_NE(run.report.find(L"strlen 14\n"), std::wstring::npos) << "caller clean-up passes the stack check";
  EXPECT_NE(run.report.find(L"call_window_proc 0\n"), std::wstring::npos);
}

TEST(DllGate, AWronglyDeclaredFunctionIsAStackError) {
  ScenarioRun run = RunScenario(L"dll_stack_error", L"", true);
  EXPECT_EQ(run.box.text,
            L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n67187515, 18\r\n");
  EXPECT_EQ(run.exit_code, kRuntimeErrorExit);
  EXPECT_EQ(run.report.find(L"survived"), std::wstring::npos);
}

TEST(StartUp, TheProgramFolderIsKnownAndCurrentWhereverItIsStartedFrom) {
  // A copy in a folder with a Chinese name, started from somewhere else.
  std::wstring folder = MakeTempFolder(L"安装 目录");
  std::wstring copy = folder + L"test_app.exe";
  ASSERT_TRUE(CopyFileW(TestApp().c_str(), copy.c_str(), FALSE));
  ScenarioRun run = RunScenario(L"program_dir", L"", false, copy, TestProgramFolder());
  EXPECT_EQ(run.exit_code, 0u);
  std::wstring dir = folder.substr(0, folder.size() - 1);
  EXPECT_NE(run.report.find(L"dir " + dir + L"\n"), std::wstring::npos) << run.report;
  EXPECT_NE(run.report.find(L"file test_app.exe\n"), std::wstring::npos);
  EXPECT_NE(run.report.find(L"current " + dir + L"\n"), std::wstring::npos);
}

}  // namespace
