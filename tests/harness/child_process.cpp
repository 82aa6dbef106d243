#include "tests/harness/child_process.h"

#include <shellapi.h>


namespace {

struct WindowSearch {
  DWORD process_id;
  const wchar_t* class_name;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (owner == search->process_id && IsWindowVisible(window) &&
      (!search->class_name || wcscmp(class_name, search->class_name) == 0))
    search->found.push_back(window);
  return TRUE;
}

std::wstring WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::vector<COLORREF> PixelsOf(HDC dc, POINT at, int size) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, at.x + x, at.y + y));
  return pixels;
}

// A message box shows its icon in a static control (id 20 on Windows, 1088
// under Wine). Its handle belongs to the other process, so the icon is told
// by what the screen shows there: the system icons drawn here over the same
// background, one of which must match pixel for pixel. The box may not have
// painted yet: asked again for a while.
BoxIcon IconOf(HWND box) {
  HWND control = nullptr;
  for (int id : {20, 1088})
    if (HWND icon = GetDlgItem(box, id); icon && SendMessageW(icon, STM_GETICON, 0, 0) != 0) control = icon;
  if (!control) return BoxIcon::kNone;
  const int size = GetSystemMetrics(SM_CXICON);
  const std::pair<const wchar_t*, BoxIcon> kinds[] = {{IDI_WARNING, BoxIcon::kWarning},
                                                      {IDI_ERROR, BoxIcon::kError},
                                                      {IDI_INFORMATION, BoxIcon::kInformation},
                                                      {IDI_QUESTION, BoxIcon::kQuestion}};
  for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(50)) {
    RECT place;
    GetWindowRect(control, &place);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> seen = PixelsOf(screen, POINT{place.left, place.top}, size);
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(drawn, bitmap);
    BoxIcon found = BoxIcon::kOther;
    for (const auto& [name, kind] : kinds) {
      HBRUSH background = CreateSolidBrush(seen[0]);  // a corner the icons leave clear
      RECT all = {0, 0, size, size};
      FillRect(drawn, &all, background);
      DeleteObject(background);
      DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, name), size, size, 0, nullptr, DI_NORMAL);
      if (PixelsOf(drawn, POINT{0, 0}, size) == seen) found = kind;
    }
    SelectObject(drawn, old);
    DeleteObject(bitmap);
    DeleteDC(drawn);
    if (found != BoxIcon::kOther) return found;
  }
  return BoxIcon::kOther;
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (info_.hProcess) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool ChildProcess::Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory) {
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  return CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info_) != 0;
}

MessageBoxSeen ChildProcess::WaitForMessageBox(DWORD timeout_ms) const {
  MessageBoxSeen seen;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    if (HWND box = FindMessageBox(info_.dwProcessId)) {
      Sleep(100);  // let the box finish laying out its texts
      seen.window = box;
      seen.caption = WindowText(box);
      wchar_t text[4096] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 4096);
      seen.text = text;
      seen.icon = IconOf(box);
      return seen;
    }
    if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) break;
  }
  return seen;
}

std::vector<HWND> VisibleWindowsOf(DWORD process_id, const wchar_t* class_name) {
  WindowSearch search = {process_id, class_name, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindMessageBox(DWORD process_id) {
  std::vector<HWND> boxes = VisibleWindowsOf(process_id, kMessageBoxClass);
  return boxes.empty() ? nullptr : boxes.front();
}

HWND WaitForMessageBoxOf(DWORD process_id, DWORD timeout_ms) {
  HWND box = FindMessageBox(process_id);
  for (DWORD start = GetTickCount(); !box && GetTickCount() - start < timeout_ms; Sleep(20))
    box = FindMessageBox(process_id);
  return box;
}

bool ChildProcess::HasMessageBox() const { return FindMessageBox(info_.dwProcessId) != nullptr; }

void ChildProcess::PressOk(const MessageBoxSeen& box) {
  if (box.window) PostMessageW(box.window, WM_COMMAND, IDOK, 0);
}

DWORD ChildProcess::WaitForExit(DWORD timeout_ms) {
  if (WaitForSingleObject(info_.hProcess, timeout_ms) != WAIT_OBJECT_0) return kStillRunning;
  DWORD code = kStillRunning;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::vector<HWND> ChildProcess::Windows() const { return VisibleWindowsOf(info_.dwProcessId); }

HWND ChildProcess::WaitForWindow(const wchar_t* class_name, DWORD timeout_ms) const {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms; Sleep(50)) {
    std::vector<HWND> windows = VisibleWindowsOf(info_.dwProcessId, class_name);
    if (!windows.empty()) return windows.front();
  }
  return nullptr;
}

std::wstring ThisTestProgram() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring TestProgramFolder() {
  std::wstring program = ThisTestProgram();
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

// The test programs are in build/tests/<folder>/.
std::wstring BuiltProgram(const std::wstring& name) { return TestProgramFolder() + L"..\\..\\app\\" + name; }

namespace {

void DeleteFolder(const std::wstring& folder) {
  SHFILEOPSTRUCTW op = {};
  std::wstring from = folder + L'\0';
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

// The folders this test program made, removed when it ends: the tests copy
// programs and download archives of up to 100 MB into them, and every run
// names them anew (by process id).
struct TempFolders {
  std::vector<std::wstring> made;
  ~TempFolders() {
    for (const std::wstring& folder : made) DeleteFolder(folder);
  }
};

TempFolders& MadeTempFolders() {
  static TempFolders folders;
  return folders;
}

}  // namespace

std::wstring MakeTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
  DeleteFolder(folder);  // what an earlier run with this process id left behind
  CreateDirectoryW(folder.c_str(), nullptr);
  MadeTempFolders().made.push_back(folder);
  return folder + L"\\";
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

std::wstring FromGbk(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
  return wide;
}
