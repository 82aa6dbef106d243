// The installer built for other hosts: a real, independent HTTP server
// (nginx) with a large archive, the same over https with a certificate the
// machine trusts and with one it does not, and addresses that are not http
// addresses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/installer_driver.h"

namespace {

constexpr DWORD kTimeout = 120000;
constexpr wchar_t kArchive1[] = L"zr配套安装包";
constexpr wchar_t kArchive3[] = L"完整程序下载包";
constexpr wchar_t kFailed[] = L"下载状态：下载失败！";

std::wstring ServedArchive() { return EnvironmentPath(L"QELMO_NGINX_ROOT") + L"\\zr_11.17.zip"; }

// A whole download of the first archive: the box, the file, exit code 0.
void CompletesByteForByte(const wchar_t* program, const wchar_t* folder_name) {
  InstallerDriver installer(folder_name, program);
  ASSERT_NE(installer.window(), nullptr);
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive1, &why)) << why;
  MessageBoxSeen box = installer.WaitForCompletionBox(kTimeout, &why);
  ASSERT_EQ(box.text, L"下载完成！") << why;
  EXPECT_TRUE(SameFile(installer.folder() + L"zr_11.17.zip", ServedArchive()));
  EXPECT_EQ(installer.process().WaitForExit(30000), 0u);
  installer.WaitForExplorer();
}

// A transfer that must not happen: the failure text, nothing under the
// archive's name, the window still open.
void FailsWithNoFile(InstallerDriver& installer, const wchar_t* button, const wchar_t* file) {
  std::wstring why;
  ASSERT_TRUE(installer.Click(button, &why)) << why;
  EXPECT_TRUE(installer.WaitForStatus(kFailed)) << installer.Figures();
  Sleep(300);  // the click routine has returned by now
  EXPECT_FALSE(installer.process().HasMessageBox());
  EXPECT_FALSE(Exists(installer.folder() + file));
  EXPECT_FALSE(Exists(installer.folder() + file + L".part"));
  EXPECT_TRUE(IsWindow(installer.window()));
}

void CloseAndExpectZero(InstallerDriver& installer) {
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(30000), 0u);
}

TEST(InstallerWithNginx, ALargeArchiveArrivesByteForByte) {
  CompletesByteForByte(L"qelmo_nginx_host.exe", L"qelmo-nginx");
}

// The archive comes over TLS from a server whose certificate the test CA
// signed; this also proves that https works at all in this run, so the
// refusals below are refusals of the certificate or the redirect.
TEST(InstallerOverHttps, ATrustedServerDeliversTheArchive) {
  CompletesByteForByte(L"qelmo_https_host.exe", L"qelmo-https");
}

TEST(InstallerOverHttps, ARedirectToPlainHttpIsRefused) {
  InstallerDriver installer(L"qelmo-https-redirect", L"qelmo_https_host.exe");
  ASSERT_NE(installer.window(), nullptr);
  FailsWithNoFile(installer, kArchive3, L"qelmo.rar");
  CloseAndExpectZero(installer);
}

TEST(InstallerOverHttps, AnUntrustedCertificateIsRefused) {
  InstallerDriver installer(L"qelmo-https-untrusted", L"qelmo_untrusted_host.exe");
  ASSERT_NE(installer.window(), nullptr);
  FailsWithNoFile(installer, kArchive1, L"zr_11.17.zip");
  CloseAndExpectZero(installer);
}

// nginx at 5 MB/s, run by run: the first closed during its transfer, the
// second in the same folder. nginx's own log shows what the second asked for.
struct NginxResumeCase {
  const char* name;
  const wchar_t* button;
  const wchar_t* file;
  const char* path;
  const char* answer;  // 206: the rest was appended; 200: started again from 0
};

class ResumingWithNginx : public ::testing::TestWithParam<NginxResumeCase> {};

std::vector<std::string> SlowServerLog() {
  std::string log = ReadFileBytes(EnvironmentPath(L"QELMO_NGINX_ROOT") + L"\\logs\\slow.log");
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(log.substr(start, end - start));
  return lines;
}

TEST_P(ResumingWithNginx, TheSecondRunAsksForTheRestOfTheSameVersion) {
  const NginxResumeCase& c = GetParam();
  std::wstring part;
  std::wstring folder;
  size_t requests_before = SlowServerLog().size() + 1;  // and the first run's one
  {
    InstallerDriver first(std::wstring(L"qelmo-nginx-resume-") + c.file, L"qelmo_nginx_slow.exe");
    ASSERT_NE(first.window(), nullptr);
    folder = first.folder();
    part = folder + c.file + L".part";
    std::wstring why;
    ASSERT_TRUE(first.Click(c.button, &why, [&] { return FileSize(part) > 0; })) << why;
    for (DWORD start = GetTickCount(); FileSize(part) < 2000000 && GetTickCount() - start < 10000;) Sleep(20);
    PostMessageW(first.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(first.process().WaitForExit(30000), 0u);
  }
  long long kept = FileSize(part);
  ASSERT_GE(kept, 2000000);
  // nginx logs the first run's request when it notices the connection
  // closed, which on a busy machine can come after the program has ended.
  for (DWORD start = GetTickCount(); SlowServerLog().size() < requests_before && GetTickCount() - start < 10000;)
    Sleep(20);
  ASSERT_EQ(SlowServerLog().size(), requests_before) << "the first run's one request";

  InstallerDriver second = InstallerDriver::InPlace(folder + L"qelmo.exe");
  std::wstring why;
  ASSERT_TRUE(second.Click(c.button, &why)) << why;
  MessageBoxSeen box = second.WaitForCompletionBox(kTimeout, &why);
  ASSERT_EQ(box.text, L"下载完成！") << why;
  EXPECT_EQ(second.process().WaitForExit(30000), 0u);
  second.WaitForExplorer();
  EXPECT_TRUE(SameFile(folder + c.file, EnvironmentPath(L"QELMO_NGINX_ROOT") + L"\\slow\\zr_11.17.zip"));

  std::vector<std::string> log = SlowServerLog();
  ASSERT_EQ(log.size(), requests_before + 1) << "one request for the second run";
  std::string expected = std::string(c.path) + " " + c.answer + " \"bytes=" + std::to_string(kept) + "-\" \"";
  EXPECT_EQ(log.back().rfind(expected, 0), 0u) << log.back();
  EXPECT_NE(log.back().find("\\x22"), std::string::npos) << "If-Range carries nginx's ETag: " << log.back();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ResumingWithNginx,
    ::testing::Values(NginxResumeCase{"Ranges", L"zr配套安装包", L"zr_11.17.zip", "/zr_11.17.zip", "206"},
                      NginxResumeCase{"RangesIgnored", L"完整程序下载包", L"qelmo.rar", "/up/all/qelmo.rar", "200"}),
    [](const ::testing::TestParamInfo<NginxResumeCase>& info) { return std::string(info.param.name); });

TEST(InstallerWithBadAddresses, WarnsBeforeAnyTransfer) {
  InstallerDriver installer(L"qelmo-badhost", L"qelmo_bad_host.exe");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive3, &why)) << why;
  MessageBoxSeen box = installer.process().WaitForMessageBox(30000);
  EXPECT_EQ(box.text, L"下载地址错误！");
  EXPECT_EQ(box.icon, BoxIcon::kWarning);
  ChildProcess::PressOk(box);
  CloseAndExpectZero(installer);
  EXPECT_FALSE(Exists(installer.folder() + L"qelmo.rar"));
}

}  // namespace
