#include "tests/commands/target_host.h"

#include <shellapi.h>

#include "platform/wide_text.h"
#include "runtime/notify.h"

std::function<int32_t(int32_t, int32_t)> g_window_object_answer;

namespace {

int32_t __stdcall TestRuntime(int32_t code, int32_t arg1, int32_t arg2) {
  if (code == NR_RUNTIME_ERROR) throw RuntimeErrorSeen{reinterpret_cast<const char*>(static_cast<uintptr_t>(arg1))};
  if (code == NR_WINDOW_OBJECT && g_window_object_answer) return g_window_object_answer(arg1, arg2);
  return NotifyRuntime(code, arg1, arg2);
}

}  // namespace

void UseTestRuntime() {
  core_library.notify(NOTIFY_LIB_INIT, static_cast<int32_t>(reinterpret_cast<uintptr_t>(&TestRuntime)), 0);
}

ArgRecord CallCommand(CoreCommandIndex index, int32_t arg_count, ArgRecord* args) {
  return kernel_services.CallCoreCommand(core_library.commands[index], arg_count, args);
}

ArgRecord CallSystemInterface(SystemInterfaceCommandIndex index, std::initializer_list<ArgRecord> list) {
  std::vector<ArgRecord> args(list);
  args.push_back(ArgRecord::Omitted());
  return kernel_services.CallLibraryCommand(kSystemInterfaceLibraryIndex, system_interface_library.commands[index],
                                            static_cast<int32_t>(list.size()), args.data());
}

void FreeResult(void* block) { kernel_services.Free(block); }

std::wstring Wide(const std::string& gbk) { return GbkToWide(gbk.c_str()); }
std::string Gbk(const std::wstring& wide) { return WideToGbk(wide.c_str()); }

TestFolder::TestFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wide_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount()) + L"\\";
  CreateDirectoryW(wide_.c_str(), nullptr);
  gbk_ = Gbk(wide_);
}

TestFolder::~TestFolder() {
  // Read-only files would stop the removal.
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((wide_ + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do SetFileAttributesW((wide_ + entry.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
    while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  std::wstring from = wide_.substr(0, wide_.size() - 1) + L'\0';
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

std::wstring TestFolder::WidePath(const std::string& name) const { return Wide(Path(name)); }

std::string ReadWholeFile(const std::string& gbk_path) {
  HANDLE file = CreateFileW(Wide(gbk_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::string& gbk_path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(gbk_path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(file);
}

bool Exists(const std::string& gbk_path) {
  return GetFileAttributesW(Wide(gbk_path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
