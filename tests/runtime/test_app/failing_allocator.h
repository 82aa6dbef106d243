// Allocation that fails on purpose, for the out-of-memory tests, the way a
// test allocator of a language runtime does: operator new succeeds so many
// more times and then fails for good, and the runtime's heap is swapped for
// one of a fixed size.
#pragma once
#include <cstddef>

void FailOperatorNewAfter(long allocations);
void LimitRuntimeHeap(size_t bytes);
