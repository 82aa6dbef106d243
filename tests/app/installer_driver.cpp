#include "tests/app/installer_driver.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kStateFailed[] = L"下载状态：下载失败！";

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

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  if (window) GetWindowTextW(window, text, 512);
  return text;
}

}  // namespace

InstallerDriver::InstallerDriver(const std::wstring& folder_name, const wchar_t* program) {
  folder_ = MakeTempFolder(folder_name);
  std::wstring exe = folder_ + L"qelmo.exe";
  CopyFileW(BuiltProgram(program).c_str(), exe.c_str(), FALSE);
  Start(exe);
}

InstallerDriver InstallerDriver::InPlace(const std::wstring& exe) {
  InstallerDriver driver;
  driver.folder_ = exe.substr(0, exe.find_last_of(L'\\') + 1);
  driver.Start(exe);
  return driver;
}

InstallerDriver::~InstallerDriver() {
  if (child_) CloseOpenedExplorers();
}

void InstallerDriver::Start(const std::wstring& exe) {
  if (!child_->Start(exe, L"", folder_)) return;
  for (DWORD start = GetTickCount(); !window_ && GetTickCount() - start < kTimeout; Sleep(50))
    for (HWND w : child_->Windows()) {
      wchar_t cls[32] = {};
      GetClassNameW(w, cls, 32);
      if (wcscmp(cls, L"KVWindow") == 0) window_ = w;
    }
}

HWND InstallerDriver::Child(const wchar_t* class_name, const wchar_t* text) const {
  return FindWindowExW(window_, nullptr, class_name, text);
}

bool InstallerDriver::Click(const wchar_t* caption, std::wstring* why, const std::function<bool()>& taken) {
  HWND button = Child(L"Button", caption);
  if (!button) {
    if (why) *why = std::wstring(L"no button ") + caption;
    return false;
  }
  std::wstring before = StatusPart(0);
  PostMessageW(button, BM_CLICK, 0, 0);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20))
    if (StatusPart(0) != before || child_->HasMessageBox() || child_->HasExited() || (taken && taken())) return true;
  if (why) {
    HWND focus = GetForegroundWindow();
    wchar_t cls[64] = {};
    GetClassNameW(focus, cls, 64);
    *why = L"the click was not taken within 10 s; status \"" + StatusPart(0) + L"\", button state " +
           std::to_wstring(SendMessageW(button, BM_GETSTATE, 0, 0)) + L", enabled " +
           std::to_wstring(IsWindowEnabled(button)) + L", foreground window class " + cls;
  }
  return false;
}

std::wstring InstallerDriver::StatusPart(int part) const {
  HWND bar = Child(L"msctls_statusbar32");
  if (!bar) return L"";
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, child_->id());
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

bool InstallerDriver::WaitForStatus(const std::wstring& wanted, DWORD timeout) const {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(20))
    if (StatusPart(0) == wanted) return true;
  return false;
}

// A label by a point inside it, in the window's client coordinates.
std::wstring InstallerDriver::LabelAt(int x, int y) const {
  return WindowText(ChildWindowFromPointEx(window_, POINT{x, y}, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT));
}
// Asked with WM_GETTEXT: for another process's window GetWindowText gives
// the name the window was made with, not an edit box's text.
std::wstring InstallerDriver::PathBox() const {
  wchar_t text[MAX_PATH] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(Child(L"Edit"), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &copied);
  return text;
}
std::wstring InstallerDriver::DownloadedLabel() const { return LabelAt(12, 85); }
std::wstring InstallerDriver::TotalLabel() const { return LabelAt(240, 85); }

std::wstring InstallerDriver::Figures() const {
  std::wstring figures = DownloadedLabel() + L" | " + TotalLabel();
  for (int part = 0; part < 4; ++part) figures += L" | " + StatusPart(part);
  return figures;
}

MessageBoxSeen InstallerDriver::WaitForCompletionBox(DWORD timeout, std::wstring* why) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(50)) {
    if (child_->HasMessageBox()) return child_->WaitForMessageBox(1000);
    if (StatusPart(0) == kStateFailed) {
      *why = L"the transfer failed: " + Figures();
      return MessageBoxSeen();
    }
    if (child_->HasExited()) {
      *why = L"the program ended without a box";
      return MessageBoxSeen();
    }
  }
  *why = L"no box within the time: " + Figures();
  return MessageBoxSeen();
}

std::vector<HWND> InstallerDriver::DownloadButtons() const {
  return {Child(L"Button", L"zr配套安装包"), Child(L"Button", L"更新程序下载包"), Child(L"Button", L"完整程序下载包")};
}

bool InstallerDriver::AnyDownloadButtonEnabled() const {
  for (HWND button : DownloadButtons())
    if (IsWindowEnabled(button)) return true;
  return false;
}

bool InstallerDriver::AllDownloadButtonsEnabled() const {
  for (HWND button : DownloadButtons())
    if (!IsWindowEnabled(button)) return false;
  return true;
}

bool InstallerDriver::Answers(DWORD timeout) const {
  DWORD_PTR ignored;
  return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &ignored) != 0;
}

void InstallerDriver::CloseWithEsc() const { PostMessageW(window_, WM_KEYDOWN, VK_ESCAPE, 0); }

std::vector<HWND> InstallerDriver::ExplorersOfFolder() const {
  std::wstring leaf = folder_.substr(0, folder_.size() - 1);
  FolderWindows search = {leaf.substr(leaf.find_last_of(L'\\') + 1), child_->id(), {}};
  EnumWindows(CollectFolderWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void InstallerDriver::CloseOpenedExplorers() const {
  for (HWND w : ExplorersOfFolder()) PostMessageW(w, WM_CLOSE, 0, 0);
}

bool InstallerDriver::WaitForExplorer() {
  bool seen = false;
  for (DWORD start = GetTickCount(); !seen && GetTickCount() - start < 10000; Sleep(100))
    seen = !ExplorersOfFolder().empty();
  CloseOpenedExplorers();
  return seen;
}

std::vector<std::wstring> InstallerDriver::FolderFiles() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return names;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameFile(const std::wstring& a, const std::wstring& b) {
  HANDLE x = CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE y = CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bool same = x != INVALID_HANDLE_VALUE && y != INVALID_HANDLE_VALUE && GetFileSize(x, nullptr) > 0;
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

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

long long VouchedBytes(const std::wstring& part) {
  std::string record = ReadFileBytes(part + L".info");
  size_t at = record.find("\nvalid ");
  return at == std::string::npos ? -1 : atoll(record.c_str() + at + 7);
}

std::wstring EnvironmentPath(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(name, value, MAX_PATH);
  std::wstring path = value;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}
