#include "runtime/heap.h"

#include <windows.h>

#include <cstring>

#include "runtime/out_of_memory.h"
#include "runtime/runtime_app.h"

namespace {

HANDLE Heap() { return g_app.heap ? g_app.heap : GetProcessHeap(); }

// Sizes are signed 32-bit words; a negative size can never be satisfied.
SIZE_T HeapSize(int32_t size) { return size < 0 ? static_cast<SIZE_T>(-1) : static_cast<SIZE_T>(size); }

void* ListAlloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void* ListRealloc(void* block, size_t size) { return HeapReAlloc(GetProcessHeap(), 0, block, size); }
void ListFree(void* block) { HeapFree(GetProcessHeap(), 0, block); }

}  // namespace

const ListHeap kRuntimeListHeap = {ListAlloc, ListRealloc, ListFree};

void* TryAlloc(int32_t size) { return size < 0 ? nullptr : HeapAlloc(Heap(), 0, HeapSize(size)); }

void* __cdecl Alloc(int32_t size) {
  void* block = TryAlloc(size);
  if (!block) RaiseOutOfMemory(size);
  return block;
}

void* __cdecl Realloc(void* block, int32_t size) {
  if (!block) return Alloc(size);
  if (g_app.InConstSegment(block)) {
    // A constant is copied out, never resized in place.
    void* copy = Alloc(size);
    auto available = static_cast<int32_t>(g_app.const_end - static_cast<const char*>(block));
    std::memcpy(copy, block, static_cast<size_t>(size < available ? size : available));
    return copy;
  }
  void* grown = size < 0 ? nullptr : HeapReAlloc(Heap(), 0, block, HeapSize(size));
  if (!grown) RaiseOutOfMemory(size);
  return grown;
}

void __cdecl Free(void* block) {
  if (!block || g_app.InConstSegment(block)) return;
  HeapFree(Heap(), 0, block);
}
