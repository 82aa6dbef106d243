#include "tests/runtime/test_app/failing_allocator.h"

#include <windows.h>

#include <cstdlib>
#include <new>

#include "runtime/runtime_state_for_tests.h"

namespace {

volatile LONG g_limited = 0;
volatile LONG g_allowed = 0;

bool MayAllocate() { return !g_limited || InterlockedDecrement(&g_allowed) >= 0; }

}  // namespace

void FailOperatorNewAfter(long allocations) {
  g_allowed = allocations;
  g_limited = 1;
}

void LimitRuntimeHeap(size_t bytes) { test_runtime::UseHeap(HeapCreate(0, bytes, bytes)); }

// As the standard operator new does: on failure the new-handler runs, and
// then the allocation is tried again.
void* operator new(size_t size) {
  for (;;) {
    if (void* block = MayAllocate() ? std::malloc(size ? size : 1) : nullptr) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
