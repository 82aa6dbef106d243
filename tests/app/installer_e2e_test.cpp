// The installer end to end: the real program in a folder of its own, the
// local archive server in each of its modes, and a harness that clicks,
// reads the status bar, watches the message box and checks the files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "child_process.h"

namespace {

constexpr DWORD kTimeout = 30000;
constexpr wchar_t kServer[] = L"http://127.0.0.1:18080";

std::string HttpGet(const std::wstring& path) {
  std::string body;
  HINTERNET session = InternetOpenW(L"qelmo-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlW(session, (std::wstring(kServer) + path).c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  char buffer[4096];
  DWORD n = 0;
  while (request && InternetReadFile(request, buffer, sizeof buffer, &n) && n) body.append(buffer, n);
  if (request) InternetCloseHandle(request);
  InternetCloseHandle(session);
  return body;
}
void ServerMode(const wchar_t* mode) { HttpGet(std::wstring(L"/__mode?set=") + mode); }
void ServerRate(int bytes_per_second) { HttpGet(L"/__rate?set=" + std::to_wstring(bytes_per_second)); }
int RequestsServed() {
  std::string log = HttpGet(L"/__log");
  int lines = 0;
  for (char c : log) lines += c == '\n';
  return lines;
}

// The sample archives the server hands out, as the harness sees them.
std::wstring EnvironmentPath(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(name, value, MAX_PATH);
  std::wstring path = value;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}
// The fixtures' folder: the server's archives and the read-only folder.
std::wstring ServerFile(const wchar_t* name) { return EnvironmentPath(L"QELMO_E2E_DIR") + L"\\archives\\" + name; }

struct ArchiveCase {
  const wchar_t* button;
  const wchar_t* file;
};
const ArchiveCase kArchive1 = {L"zr配套安装包", L"zr_11.17.zip"};
const ArchiveCase kArchive2 = {L"更新程序下载包", L"qelmo_app.zip"};
const ArchiveCase kArchive3 = {L"完整程序下载包", L"qelmo.rar"};

struct FolderWindows {
  std::wstring leaf;
  DWORD program;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectFolderWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<FolderWindows*>(param);
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->program && IsWindowVisible(window) && wcsstr(title, search->leaf.c_str()))
    search->found.push_back(window);
  return TRUE;
}

// One run of the installer from its own folder.
class Installer {
 public:
  explicit Installer(const std::wstring& folder_name, const std::wstring& program = L"") {
    folder_ = program.empty() ? MakeTempFolder(folder_name) : program.substr(0, program.find_last_of(L'\\') + 1);
    std::wstring exe = program.empty() ? folder_ + L"qelmo.exe" : program;
    if (program.empty()) CopyFileW((TestProgramFolder() + L"..\\..\\app\\qelmo.exe").c_str(), exe.c_str(), FALSE);
    started_ = child_.Start(exe, L"", folder_);
    for (DWORD start = GetTickCount(); started_ && !window_ && GetTickCount() - start < kTimeout; Sleep(50))
      for (HWND w : child_.Windows()) {
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        if (wcscmp(cls, L"KVWindow") == 0) window_ = w;
      }
  }
  ~Installer() { CloseOpenedExplorers(); }

  HWND window() const { return window_; }
  const std::wstring& folder() const { return folder_; }
  ChildProcess& process() { return child_; }

  HWND Child(const wchar_t* class_name, const wchar_t* text = nullptr) const {
    for (HWND c = FindWindowExW(window_, nullptr, class_name, text); c;) return c;
    return nullptr;
  }
  void Click(const wchar_t* caption) { PostMessageW(Child(L"Button", caption), BM_CLICK, 0, 0); }

  // A status bar part's text, read through a buffer inside the program.
  std::wstring StatusPart(int part) {
    HWND bar = Child(L"msctls_statusbar32");
    if (!bar) return L"";
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, child_.id());
    void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    wchar_t text[1024] = {};
    DWORD_PTR ignored;
    if (SendMessageTimeoutW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                            &ignored))
      ReadProcessMemory(process, remote, text, sizeof text - 2, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
  }
  bool WaitForStatus(const std::wstring& wanted, DWORD timeout = kTimeout) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(20))
      if (StatusPart(0) == wanted) return true;
    return false;
  }
  void CloseWithEsc() { PostMessageW(window_, WM_KEYDOWN, VK_ESCAPE, 0); }

  // Windows of other programs showing our folder (the explorer).
  std::vector<HWND> ExplorersOfFolder() const {
    std::wstring leaf = folder_.substr(0, folder_.size() - 1);
    FolderWindows search = {leaf.substr(leaf.find_last_of(L'\\') + 1), child_.id(), {}};
    EnumWindows(CollectFolderWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  void CloseOpenedExplorers() {
    for (HWND w : ExplorersOfFolder()) PostMessageW(w, WM_CLOSE, 0, 0);
  }
  // The completion opens the folder in another program; wait for it and
  // close it, so nothing the test started outlives the test.
  bool WaitForExplorer() {
    bool seen = false;
    for (DWORD start = GetTickCount(); !seen && GetTickCount() - start < 10000; Sleep(100))
      seen = !ExplorersOfFolder().empty();
    CloseOpenedExplorers();
    return seen;
  }

 private:
  ChildProcess child_;
  std::wstring folder_;
  HWND window_ = nullptr;
  bool started_ = false;
};

bool SameFile(const std::wstring& a, const std::wstring& b) {
  std::string x = ReadFileBytes(a), y = ReadFileBytes(b);
  return !x.empty() && x == y;
}
bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerMode(L"normal");
    ServerRate(0);
  }
};

// A whole download: the status while it runs, the message that closes by
// itself, the folder opened, the file identical, exit code 0.
void DownloadCompletes(const ArchiveCase& archive, const std::wstring& folder_name, int rate = 0) {
  Installer installer(folder_name);
  ASSERT_NE(installer.window(), nullptr);
  // An older file of the same name is replaced.
  std::wstring target = installer.folder() + archive.file;
  HANDLE old_file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(old_file, "old", 3, &written, nullptr);
  CloseHandle(old_file);
  if (rate) ServerRate(rate);
  installer.Click(archive.button);
  if (rate) {
    EXPECT_TRUE(installer.WaitForStatus(L"下载状态：正在下载！", 10000));
    EXPECT_EQ(installer.StatusPart(1).rfind(L"下载速度：", 0), 0u);
    EXPECT_EQ(installer.StatusPart(2).rfind(L"下载时间：", 0), 0u);
  }
  MessageBoxSeen box = installer.process().WaitForMessageBox(kTimeout);
  DWORD shown = GetTickCount();
  EXPECT_EQ(box.caption, L"友情提醒");
  EXPECT_EQ(box.text, L"下载完成！");
  EXPECT_TRUE(SameFile(target, ServerFile(archive.file))) << "the file is complete when the message shows";
  EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载完成！");
  while (IsWindow(box.window) && GetTickCount() - shown < 10000) Sleep(50);
  DWORD open_for = GetTickCount() - shown;
  EXPECT_FALSE(IsWindow(box.window)) << "the box closes by itself";
  EXPECT_GE(open_for, 4000u);
  EXPECT_LE(open_for, 8000u);
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
  EXPECT_TRUE(installer.WaitForExplorer()) << "the program's folder is opened";
  EXPECT_FALSE(Exists(target + L".part"));
}

TEST_F(InstallerTest, FirstArchiveWhileWatchingTheStatus) { DownloadCompletes(kArchive1, L"qelmo-e2e-1", 2000000); }
TEST_F(InstallerTest, SecondArchiveIntoAChineseFolder) { DownloadCompletes(kArchive2, L"安装 测试"); }
TEST_F(InstallerTest, ThirdArchive) { DownloadCompletes(kArchive3, L"qelmo-e2e-3"); }

TEST_F(InstallerTest, AGzipResponseIsStoredDecoded) {
  ServerMode(L"gzip");
  Installer installer(L"qelmo-e2e-gzip");
  ASSERT_NE(installer.window(), nullptr);
  installer.Click(kArchive3.button);
  std::wstring target = installer.folder() + kArchive3.file;
  for (DWORD start = GetTickCount(); !Exists(target) && GetTickCount() - start < kTimeout; Sleep(100)) {
  }
  installer.WaitForStatus(L"下载状态：下载完成！");
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive3.file))) << "the resource itself, not the compressed blob";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

// Failures: the window stays, the status says so, nothing is left under the
// archive's name; a retry that works then completes.
TEST_F(InstallerTest, FailedTransfersLeaveNoFileAndARetryCompletes) {
  Installer installer(L"qelmo-e2e-fail");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring target = installer.folder() + kArchive2.file;
  for (const wchar_t* mode : {L"404", L"500", L"drop"}) {
    ServerMode(mode);
    HttpGet(L"/__log?clear=1");
    installer.Click(kArchive2.button);
    for (DWORD start = GetTickCount(); RequestsServed() == 0 && GetTickCount() - start < kTimeout; Sleep(20)) {
    }
    EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载失败！")) << mode;
    Sleep(500);  // the click routine has returned by now
    EXPECT_EQ(installer.StatusPart(0), L"下载状态：下载失败！") << mode;
    EXPECT_FALSE(Exists(target)) << mode;
    EXPECT_FALSE(Exists(target + L".part")) << mode;
    EXPECT_TRUE(IsWindow(installer.window()));
  }
  ServerMode(L"normal");
  installer.Click(kArchive2.button);
  MessageBoxSeen box = installer.process().WaitForMessageBox(kTimeout);
  EXPECT_EQ(box.text, L"下载完成！");
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive2.file)));
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
  installer.WaitForExplorer();
}

TEST_F(InstallerTest, ABodyWithoutLengthEndsWithTheWindowOpen) {
  Installer installer(L"qelmo-e2e-nolength");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring target = installer.folder() + kArchive1.file;
  ServerMode(L"no-length");
  installer.Click(kArchive1.button);
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载完成！"));
  EXPECT_TRUE(SameFile(target, ServerFile(kArchive1.file)));
  EXPECT_TRUE(IsWindow(installer.window())) << "an unknown length never ends the program";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

TEST_F(InstallerTest, AnEmptyBodyGivesAnEmptyFile) {
  Installer installer(L"qelmo-e2e-empty");
  ASSERT_NE(installer.window(), nullptr);
  std::wstring target = installer.folder() + kArchive1.file;
  ServerMode(L"empty");
  installer.Click(kArchive1.button);
  EXPECT_TRUE(installer.WaitForStatus(L"下载状态：下载完成！")) << installer.StatusPart(0).size();
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(ReadFileBytes(target).size(), 0u);
  EXPECT_TRUE(IsWindow(installer.window()));
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

TEST_F(InstallerTest, AReadOnlyFolderIsRefusedBeforeAnyRequest) {
  Installer installer(L"", EnvironmentPath(L"QELMO_E2E_DIR") + L"\\readonly\\qelmo.exe");
  ASSERT_NE(installer.window(), nullptr);
  HttpGet(L"/__log?clear=1");
  installer.Click(kArchive1.button);
  MessageBoxSeen box = installer.process().WaitForMessageBox(kTimeout);
  EXPECT_EQ(box.text, L"本地文件地址错误！，文件夹不存在！");
  ChildProcess::PressOk(box);
  EXPECT_EQ(RequestsServed(), 0) << "no network activity";
  installer.CloseWithEsc();
  EXPECT_EQ(installer.process().WaitForExit(kTimeout), 0u);
}

}  // namespace
