// Runs a program under test as a child process and watches it from outside:
// its message boxes, its windows and its exit code. Every wait is bounded.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The system icon a message box shows, told by its pixels.
enum class BoxIcon { kNone, kWarning, kError, kInformation, kQuestion, kOther };

// The visible top-level windows of a process, in z-order; only those of
// class `class_name` when one is given.
std::vector<HWND> VisibleWindowsOf(DWORD process_id, const wchar_t* class_name = nullptr);
// The class of message boxes and other dialogs.
inline constexpr wchar_t kMessageBoxClass[] = L"#32770";
// A visible message box of the process, or null.
HWND FindMessageBox(DWORD process_id);
// The same, waiting up to `timeout_ms` for one to show.
HWND WaitForMessageBoxOf(DWORD process_id, DWORD timeout_ms);

struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  BoxIcon icon = BoxIcon::kNone;
};

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();  // a child still running is terminated
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program` with `arguments` in `directory` (empty: inherit).
  bool Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory = L"");

  // The first message box (#32770) of the child, or an empty result when
  // none appears within the time.
  MessageBoxSeen WaitForMessageBox(DWORD timeout_ms) const;
  // Whether the child shows a message box right now.
  bool HasMessageBox() const;
  // Presses OK on a box found by WaitForMessageBox.
  static void PressOk(const MessageBoxSeen& box);

  // The exit code, or `kStillRunning` when the time ran out.
  static constexpr DWORD kStillRunning = 0xDEADBEEF;
  DWORD WaitForExit(DWORD timeout_ms);
  bool HasExited() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

  // Top-level visible windows of the child, its message boxes among them.
  std::vector<HWND> Windows() const;
  // The child's first visible top-level window of this class, waited for;
  // null when none shows within the time.
  HWND WaitForWindow(const wchar_t* class_name, DWORD timeout_ms) const;

  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_ = {};
};

// The running test program, and its folder with a trailing backslash.
std::wstring ThisTestProgram();
std::wstring TestProgramFolder();
// A program the build made in app/ (the finished program and its variants).
std::wstring BuiltProgram(const std::wstring& name);
// Creates a fresh empty folder below the system temporary folder, removed
// with everything in it when the test program ends.
std::wstring MakeTempFolder(const std::wstring& name);
// Reads a whole file as bytes; empty when missing.
std::string ReadFileBytes(const std::wstring& path);
// UTF-16 from GBK bytes, for comparing texts written by the programs.
std::wstring FromGbk(const std::string& gbk);
