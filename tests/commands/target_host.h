// The Windows build's side of the command tests: the commands called
// through the library tables and the command gate, the real runtime behind
// the core library's link except for runtime errors, which are thrown so a
// test can see them, and window lookups, which a test may answer itself.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "commands/libraries.h"
#include "runtime/abi/kernel_services.h"
#include "tests/commands/command_test_support.h"

// Puts the test runtime behind the core library's link.
void UseTestRuntime();
// Answers code 2006 (window object of a window id) while set.
extern std::function<int32_t(int32_t window_id, int32_t element_id)> g_window_object_answer;

// A system-interface library command through CallLibraryCommand.
ArgRecord CallSystemInterface(SystemInterfaceCommandIndex index, std::initializer_list<ArgRecord> list);

// GBK and UTF-16 paths of a fresh folder with a Chinese name, removed again
// with everything in it when the object goes.
class TestFolder {
 public:
  explicit TestFolder(const std::wstring& name);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::wstring& wide() const { return wide_; }  // with a trailing backslash
  // The GBK path of a name in the folder (the name itself GBK).
  std::string Path(const std::string& name) const { return gbk_ + name; }
  std::wstring WidePath(const std::string& name) const;

 private:
  std::wstring wide_;
  std::string gbk_;
};

std::string ReadWholeFile(const std::string& gbk_path);
void WriteWholeFile(const std::string& gbk_path, const std::string& bytes);
bool Exists(const std::string& gbk_path);
std::wstring Wide(const std::string& gbk);
std::string Gbk(const std::wstring& wide);
