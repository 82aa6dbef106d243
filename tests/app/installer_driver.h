// Drives the installer program from outside, as a user would: starts it in
// a folder of its own, clicks its buttons, reads its status bar and labels,
// and watches for the completion box and the explorer window it opens.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/harness/child_process.h"

class InstallerDriver {
 public:
  static constexpr DWORD kTimeout = 30000;

  // Copies the build's `program` (a file in its app folder) as qelmo.exe
  // into a fresh folder `folder_name` and starts it.
  explicit InstallerDriver(const std::wstring& folder_name, const wchar_t* program = L"qelmo.exe");
  // Starts a program that is already in place (e.g. in a read-only folder).
  static InstallerDriver InPlace(const std::wstring& exe);
  ~InstallerDriver();
  InstallerDriver(InstallerDriver&&) = default;

  HWND window() const { return window_; }
  const std::wstring& folder() const { return folder_; }
  ChildProcess& process() { return *child_; }

  // Posts a click to the button with this caption and waits until the
  // program visibly took it: the status changed, a box appeared, the
  // program ended, or `taken` (when given) says so. False, with the reason
  // in `why`, when it did not within 10 s.
  bool Click(const wchar_t* caption, std::wstring* why = nullptr, const std::function<bool()>& taken = nullptr);

  // A status bar part, read through a buffer inside the program.
  std::wstring StatusPart(int part) const;
  bool WaitForStatus(const std::wstring& wanted, DWORD timeout = kTimeout) const;
  // The texts of the path box and of the downloaded and total size labels.
  std::wstring PathBox() const;
  std::wstring DownloadedLabel() const;
  std::wstring TotalLabel() const;
  // Everything the window shows about a transfer, for failure messages.
  std::wstring Figures() const;

  // The completion box, or an empty result as soon as the status says the
  // transfer failed (no waiting for a box that cannot come), when the
  // program ended, or when the time ran out; `why` tells which.
  MessageBoxSeen WaitForCompletionBox(DWORD timeout, std::wstring* why);

  // The three download buttons, in the order of their archives.
  std::vector<HWND> DownloadButtons() const;
  bool AnyDownloadButtonEnabled() const;
  bool AllDownloadButtonsEnabled() const;
  // Whether the window's thread answers a message sent from outside within
  // `timeout` ms (a window that does not is shown as not responding).
  bool Answers(DWORD timeout) const;

  void CloseWithEsc() const;
  // The explorer window the completion opens on the program's folder: waits
  // for it and closes it, so nothing the test started outlives the test.
  bool WaitForExplorer();

  // Names of the files in the program's folder.
  std::vector<std::wstring> FolderFiles() const;

 private:
  InstallerDriver() = default;
  void Start(const std::wstring& exe);
  HWND Child(const wchar_t* class_name, const wchar_t* text = nullptr) const;
  std::wstring LabelAt(int x, int y) const;
  std::vector<HWND> ExplorersOfFolder() const;
  void CloseOpenedExplorers() const;

  // Owned by pointer so that a driver can be returned by value.
  std::unique_ptr<ChildProcess> child_ = std::make_unique<ChildProcess>();
  std::wstring folder_;
  HWND window_ = nullptr;
};

bool Exists(const std::wstring& path);
// Two files with the same non-empty contents, compared piece by piece.
bool SameFile(const std::wstring& a, const std::wstring& b);
// A file with these bytes.
void WriteBytes(const std::wstring& path, const std::string& bytes);
// A file's size in bytes; -1 when it does not exist.
long long FileSize(const std::wstring& path);
// The bytes a part file's record vouches for (its "valid" line); -1 when
// it has no record.
long long VouchedBytes(const std::wstring& part);
// A path handed over in the environment (forward slashes become backslashes).
std::wstring EnvironmentPath(const wchar_t* name);
