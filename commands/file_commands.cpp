// The file commands. A file number is the address of a plain-file object
// that the runtime's open-file register holds; file names are GBK and go to
// the wide file functions through code page 936.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "commands/command_index.h"
#include "commands/command_support.h"
#include "commands/core_commands.h"
#include "platform/pointer_word.h"
#include "platform/wide_text.h"
#include "runtime/abi/notify_codes.h"

namespace commands {

namespace {

constexpr int32_t kPlainFileKind = 1;

// The object behind a file number: one handle, closed when the object goes.
class PlainFile {
 public:
  explicit PlainFile(HANDLE handle) : handle_(handle) {}
  ~PlainFile() { Close(); }
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;

  HANDLE handle() const { return handle_; }
  bool Close() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};


// The file a number stands for, or null. Numbers the register does not
// hold, and objects other libraries registered under other kinds, are left
// alone.
PlainFile* RegisteredFile(const ArgRecord& number) {
  int32_t word = number.as_int();
  if (word == 0 || core_link.Notify(NR_FIND_OPEN_FILE, word) != kPlainFileKind) return nullptr;
  return reinterpret_cast<PlainFile*>(static_cast<uintptr_t>(static_cast<uint32_t>(word)));
}

// All bytes or failure. A full disk may first show as a write that reports
// success with fewer bytes written (Wine does so): the rest is tried again
// and then fails for real.
bool WriteAll(HANDLE file, const unsigned char* data, size_t size) {
  while (size > 0) {
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

// Writes the byte-array arguments from `first` on, in order; empty arrays
// and arguments of other types are skipped.
bool WriteArrays(HANDLE file, const ArgRecord* args, int32_t arg_count, int32_t first) {
  for (int32_t i = first; i < arg_count; ++i) {
    if (args[i].type != TYPE_BYTES) continue;
    void* block = args[i].as_pointer();
    int32_t length = ByteArrayLength(block);
    if (length > 0 && !WriteAll(file, ByteArrayData(block), static_cast<size_t>(length))) return false;
  }
  return true;
}

std::wstring WideName(const char* name) { return GbkToWide(name); }

bool HasWildcard(const char* name) { return std::strpbrk(name, "*?") != nullptr; }

struct OpenMode {
  DWORD access;
  DWORD disposition;
};
// Open modes 1 to 6.
constexpr OpenMode kOpenModes[6] = {
    {GENERIC_READ, OPEN_EXISTING},
    {GENERIC_WRITE, OPEN_EXISTING},
    {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING},
    {GENERIC_WRITE, CREATE_ALWAYS},
    {GENERIC_WRITE, OPEN_ALWAYS},
    {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS},
};
// Sharing modes 1 to 4: what others may do with the file meanwhile.
constexpr DWORD kSharing[4] = {FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_SHARE_WRITE, FILE_SHARE_READ, 0};

}  // namespace

void __cdecl file_exists(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* name = TextOf(ArgAt(args, arg_count, 0));
  if (!*name) return;
  std::wstring wide = WideName(name);
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(wide.c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    SetBool(result, true);
    return;
  }
  // A folder named with a trailing backslash, a drive's root among them,
  // matches no directory entry, yet it exists.
  if (!HasWildcard(name)) SetBool(result, GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES);
}

void __cdecl delete_file(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* name = TextOf(ArgAt(args, arg_count, 0));
  if (!*name) return;
  std::wstring wide = WideName(name);
  // Wine deletes when the handle closes and reports success even where the
  // removal then fails (a read-only filesystem): success only when the name
  // is really gone. (A file still open elsewhere, pending deletion, cannot
  // be looked up any more either, so that case still counts as deleted.)
  SetBool(result, DeleteFileW(wide.c_str()) && GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES);
}

void __cdecl write_file(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* name = TextOf(ArgAt(args, arg_count, 0));
  if (!*name) return;
  PlainFile file(CreateFileW(WideName(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (file.handle() == INVALID_HANDLE_VALUE) return;
  // On a failure the rest is abandoned; bytes already written stay.
  if (!WriteArrays(file.handle(), args, arg_count, 1)) return;
  SetBool(result, file.Close());
}

void __cdecl open_file(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* name = TextOf(ArgAt(args, arg_count, 0));
  int32_t mode = Given(args, arg_count, 1) ? args[1].as_int() : OPENMODE_READ_WRITE;
  int32_t sharing = Given(args, arg_count, 2) ? args[2].as_int() : SHARING_ALL;
  if (!*name || mode < 1 || mode > 6 || sharing < 1 || sharing > 4) return;

  const OpenMode& open = kOpenModes[mode - 1];
  HANDLE handle = CreateFileW(WideName(name).c_str(), open.access, kSharing[sharing - 1], nullptr, open.disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  auto* file = new (std::nothrow) PlainFile(handle);
  if (!file) {
    CloseHandle(handle);
    return;
  }
  core_link.Notify(NR_REGISTER_OPEN_FILE, PointerWord(file), kPlainFileKind);
  // A register that could not grow would leave a number no command accepts.
  if (core_link.Notify(NR_FIND_OPEN_FILE, PointerWord(file)) != kPlainFileKind) {
    delete file;
    return;
  }
  SetPointer(result, file);
}

void __cdecl seek_to_end(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  PlainFile* file = RegisteredFile(ArgAt(args, arg_count, 0));
  LARGE_INTEGER zero = {};
  SetBool(result, file && SetFilePointerEx(file->handle(), zero, nullptr, FILE_END));
}

void __cdecl write_bytes(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  PlainFile* file = RegisteredFile(ArgAt(args, arg_count, 0));
  if (!file) return;
  LARGE_INTEGER zero = {}, before = {};
  bool known = SetFilePointerEx(file->handle(), zero, &before, FILE_CURRENT) != 0;
  if (WriteArrays(file->handle(), args, arg_count, 1)) {
    SetBool(result, true);
    return;
  }
  // Failed part way: the bytes written stay, the position goes back to
  // where the call started.
  if (known) SetFilePointerEx(file->handle(), before, nullptr, FILE_BEGIN);
}

void __cdecl close_file(ArgRecord*, int32_t arg_count, ArgRecord* args) {
  PlainFile* file = RegisteredFile(ArgAt(args, arg_count, 0));
  if (!file || !core_link.Notify(NR_UNREGISTER_OPEN_FILE, PointerWord(file))) return;
  file->Close();
  delete file;
}

}  // namespace commands
