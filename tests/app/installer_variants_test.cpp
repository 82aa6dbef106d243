// The installer built for other hosts: a real, independent HTTP server
// (nginx) with a large archive, the same over https with a certificate the
// machine trusts and with one it does not, and addresses that are not http
// addresses.
#include <gtest/gtest.h>

#include <string>

#include "installer_driver.h"

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

TEST(InstallerWithBadAddresses, WarnsBeforeAnyTransfer) {
  InstallerDriver installer(L"qelmo-badhost", L"qelmo_bad_host.exe");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring why;
  ASSERT_TRUE(installer.Click(kArchive3, &why)) << why;
  MessageBoxSeen box = installer.process().WaitForMessageBox(30000);
  EXPECT_EQ(box.text, L"下载地址错误！");
  EXPECT_TRUE(box.has_error_icon) << "the warning icon";
  ChildProcess::PressOk(box);
  CloseAndExpectZero(installer);
  EXPECT_FALSE(Exists(installer.folder() + L"qelmo.rar"));
}

}  // namespace
