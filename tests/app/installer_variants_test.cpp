// The installer built for other hosts: a real, independent HTTP server
// (nginx) with a large archive, and addresses that are not http addresses.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"

namespace {

constexpr DWORD kTimeout = 120000;

HWND WaitForInstallerWindow(ChildProcess& child) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(50))
    for (HWND w : child.Windows()) {
      wchar_t cls[32] = {};
      GetClassNameW(w, cls, 32);
      if (wcscmp(cls, L"KVWindow") == 0) return w;
    }
  return nullptr;
}

std::wstring CopyProgram(const wchar_t* program, const wchar_t* folder_name) {
  std::wstring folder = MakeTempFolder(folder_name);
  CopyFileW((TestProgramFolder() + L"..\\..\\app\\" + program).c_str(), (folder + L"qelmo.exe").c_str(), FALSE);
  return folder;
}

// Compares two files in 1 MB pieces (they are large).
bool SameLargeFile(const std::wstring& a, const std::wstring& b) {
  HANDLE x = CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE y = CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bool same = x != INVALID_HANDLE_VALUE && y != INVALID_HANDLE_VALUE;
  static char p[1 << 20], q[1 << 20];
  while (same) {
    DWORD n = 0, m = 0;
    same = ReadFile(x, p, sizeof p, &n, nullptr) && ReadFile(y, q, sizeof q, &m, nullptr) && n == m &&
           memcmp(p, q, n) == 0;
    if (n == 0) break;
  }
  if (x != INVALID_HANDLE_VALUE) CloseHandle(x);
  if (y != INVALID_HANDLE_VALUE) CloseHandle(y);
  return same;
}

// The completion opens the folder in another program: close it again, so
// nothing the test started outlives the test.
struct ExplorerSearch {
  const wchar_t* leaf;
  bool found;
};
BOOL CALLBACK CloseIfFolderWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ExplorerSearch*>(param);
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  if (IsWindowVisible(window) && wcsstr(title, search->leaf)) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    search->found = true;
  }
  return TRUE;
}
void CloseExplorerOf(const wchar_t* leaf) {
  ExplorerSearch search = {leaf, false};
  for (DWORD start = GetTickCount(); !search.found && GetTickCount() - start < 10000; Sleep(100))
    EnumWindows(CloseIfFolderWindow, reinterpret_cast<LPARAM>(&search));
}

TEST(InstallerWithNginx, ALargeArchiveArrivesByteForByte) {
  std::wstring folder = CopyProgram(L"qelmo_nginx_host.exe", L"qelmo-nginx");
  ChildProcess child;
  ASSERT_TRUE(child.Start(folder + L"qelmo.exe", L"", folder));
  HWND window = WaitForInstallerWindow(child);
  ASSERT_NE(window, nullptr);
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"zr配套安装包"), BM_CLICK, 0, 0);
  MessageBoxSeen box = child.WaitForMessageBox(kTimeout);
  EXPECT_EQ(box.text, L"下载完成！");
  wchar_t served[MAX_PATH] = {};
  GetEnvironmentVariableW(L"QELMO_NGINX_ROOT", served, MAX_PATH);
  std::wstring source = served;
  for (wchar_t& c : source)
    if (c == L'/') c = L'\\';
  EXPECT_TRUE(SameLargeFile(folder + L"zr_11.17.zip", source + L"\\zr_11.17.zip"));
  EXPECT_EQ(child.WaitForExit(30000), 0u);
  CloseExplorerOf(L"qelmo-nginx");
}

TEST(InstallerWithBadAddresses, WarnsBeforeAnyTransfer) {
  std::wstring folder = CopyProgram(L"qelmo_bad_host.exe", L"qelmo-badhost");
  ChildProcess child;
  ASSERT_TRUE(child.Start(folder + L"qelmo.exe", L"", folder));
  HWND window = WaitForInstallerWindow(child);
  ASSERT_NE(window, nullptr);
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"完整程序下载包"), BM_CLICK, 0, 0);
  MessageBoxSeen box = child.WaitForMessageBox(30000);
  EXPECT_EQ(box.text, L"下载地址错误！");
  EXPECT_TRUE(box.has_error_icon) << "the warning icon";
  ChildProcess::PressOk(box);
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(child.WaitForExit(30000), 0u);
  EXPECT_EQ(GetFileAttributesW((folder + L"qelmo.rar").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
