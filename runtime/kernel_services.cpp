// The kernel service table, the two command gates and the auxiliary services.
#include "runtime/abi/kernel_services.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "platform/pointer_word.h"
#include "platform/wide_text.h"
#include "runtime/dll_commands.h"
#include "runtime/error_report.h"
#include "runtime/heap.h"
#include "runtime/message_loop.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"
#include "runtime/value/text.h"
#include "runtime/window_link.h"

namespace {

ArgRecord __cdecl CallCoreCommand(CommandEntry command, int32_t arg_count, ArgRecord* args) {
  ArgRecord result = {0, 0, 0};
  command(&result, arg_count, args);
  return result;
}

// The library index is the caller's bookkeeping; the gate does not use it.
ArgRecord __cdecl CallLibraryCommand(int32_t, CommandEntry command, int32_t arg_count, ArgRecord* args) {
  return CallCoreCommand(command, arg_count, args);
}

void __cdecl LoadStartWindow(uint32_t window_id) {
  if (!window_link::LoadStartWindow(window_id))
    RaiseRuntimeError("载入启动窗口失败", 0, static_cast<int32_t>(window_id), 0);
}


constexpr DWORD kCountedAttributes = 0x37;  // read-only, hidden, system, directory, archive

bool AcceptsEntry(const WIN32_FIND_DATAW& entry, DWORD mask, bool mask_omitted) {
  if (mask_omitted) return !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  DWORD attributes = entry.dwFileAttributes & kCountedAttributes;
  mask &= kCountedAttributes;
  return mask == 0 ? attributes == 0 : (attributes & mask) != 0;
}

// AUX_FIND_FILE: a non-empty pattern starts a new search, an empty one goes
// on with the search kept in *search. Answers the next matching name.
char* FindFile(const char* pattern, DWORD mask, bool mask_omitted, HANDLE* search) {
  WIN32_FIND_DATAW entry;
  bool have_entry = false;
  if (pattern && *pattern) {
    if (*search) FindClose(*search);
    *search = FindFirstFileW(GbkToWide(pattern).c_str(), &entry);
    if (*search == INVALID_HANDLE_VALUE) *search = nullptr;
    have_entry = *search != nullptr;
  } else if (*search) {
    have_entry = FindNextFileW(*search, &entry) != 0;
  }
  while (have_entry) {
    if (AcceptsEntry(entry, mask, mask_omitted)) {
      std::string name = WideToGbk(entry.cFileName);
      return TextCopy(name.c_str(), Alloc);
    }
    have_entry = FindNextFileW(*search, &entry) != 0;
  }
  if (*search) FindClose(*search);
  *search = nullptr;
  return nullptr;
}

// AUX_COPY_CONST_ARRAY: an array constant is copied to the heap before its
// first change: header words, then the elements.
void CopyConstArray(int32_t element_size, void** array) {
  if (!array || !*array || !g_app.InConstSegment(*array)) return;
  auto header = static_cast<const int32_t*>(*array);
  int32_t dimensions = header[0];
  int64_t elements = 1;
  for (int32_t d = 0; d < dimensions; ++d) elements *= header[1 + d];
  int64_t bytes = 4 * (1 + static_cast<int64_t>(dimensions)) + elements * element_size;
  void* copy = Alloc(static_cast<int32_t>(bytes));
  std::memcpy(copy, *array, static_cast<size_t>(bytes));
  *array = copy;
}

uint64_t __cdecl AuxService(int32_t code, ...) {
  va_list args;
  va_start(args, code);
  uint64_t result = 0;
  switch (code) {
    case AUX_FIND_FILE: {
      const char* pattern = va_arg(args, const char*);
      DWORD mask = va_arg(args, DWORD);
      int32_t mask_omitted = va_arg(args, int32_t);
      HANDLE* search = va_arg(args, HANDLE*);
      result = PointerWord(FindFile(pattern, mask, mask_omitted != 0, search));
      break;
    }
    case AUX_CLOSE_FIND:
      if (HANDLE search = va_arg(args, HANDLE)) FindClose(search);
      break;
    case AUX_COPY_CONST_ARRAY: {
      int32_t element_size = va_arg(args, int32_t);
      CopyConstArray(element_size, va_arg(args, void**));
      break;
    }
    case AUX_REGISTER_EXIT_ROUTINE: {
      void* routine = va_arg(args, void*);
      g_app.exit_routines.AppendUnique(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(routine)));
      break;
    }
    case AUX_READ_OBJECT_PROPERTY: {
      uint32_t w[4];
      for (uint32_t& word : w) word = va_arg(args, uint32_t);
      result = window_link::ReadObjectProperty(w[0], w[1], w[2], w[3]);
      break;
    }
    case AUX_WRITE_OBJECT_PROPERTY: {
      uint32_t w[6];
      for (uint32_t& word : w) word = va_arg(args, uint32_t);
      window_link::WriteObjectProperty(w[0], w[1], w[2], w[3], w[4], w[5]);
      break;
    }
    case AUX_INIT_RUNTIME:
      InitRuntime(&application_header);
      break;
    default:
      break;
  }
  va_end(args);
  return result;
}

}  // namespace

extern "C" const KernelServices kernel_services = {
    ReportError,
    reinterpret_cast<const void*>(&CallDllCommand),
    CallLibraryCommand,
    CallCoreCommand,
    window_link::ReadProperty,
    window_link::WriteProperty,
    Alloc,
    Realloc,
    Free,
    EndProgram,
    RunMessageLoop,
    LoadStartWindow,
    AuxService,
};
