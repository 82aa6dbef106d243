// The commands inside a running program, seen from outside: runtime errors
// end it through the runtime's error box, and the program folder comes from
// the runtime.
#include <gtest/gtest.h>

#include "tests/harness/child_process.h"

namespace {

constexpr DWORD kTimeout = 15000;

struct ErrorCase {
  const char* scenario;
  const wchar_t* message;
};

class CommandErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CommandErrors, ShowTheErrorBoxAndEndWithMinusOne) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(ThisTestProgram(), L"--scenario " + std::wstring(GetParam().scenario,
                                                                        GetParam().scenario + strlen(GetParam().scenario))));
  MessageBoxSeen box = child.WaitForMessageBox(kTimeout);
  ChildProcess::PressOk(box);
  EXPECT_EQ(box.caption, L"错误");
  EXPECT_NE(box.text.find(std::wstring(L"错误信息：") + GetParam().message), std::wstring::npos) << box.text;
  EXPECT_EQ(child.WaitForExit(kTimeout), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, CommandErrors,
                         ::testing::Values(ErrorCase{"divide_by_zero", L"不能整除于零"},
                                           ErrorCase{"bad_bin_type", L"“欲取出数据的类型”参数值无效"}),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) {
                           return std::string(info.param.scenario);
                         });

TEST(CommandsInAProgram, RunDirectoryIsTheProgramsFolder) {
  std::wstring folder = MakeTempFolder(L"qelmo-commands");
  std::wstring report = folder + L"folder.txt";
  ChildProcess child;
  ASSERT_TRUE(child.Start(ThisTestProgram(), L"--scenario program_folder \"" + report + L"\""));
  EXPECT_EQ(child.WaitForExit(kTimeout), 3u);
  std::wstring program_folder = TestProgramFolder();
  EXPECT_EQ(FromGbk(ReadFileBytes(report)), program_folder.substr(0, program_folder.size() - 1));
}

}  // namespace
