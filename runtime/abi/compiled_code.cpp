#include "runtime/abi/compiled_code.h"

#include "runtime/value/text.h"

namespace {

void* KernelAlloc(int32_t size) { return kernel_services.Alloc(size); }

void EmptyRoutine() {}

}  // namespace

int32_t RunApplicationEntry(const ApplicationRoutines& routines) {
  kernel_services.AuxService(AUX_INIT_RUNTIME);
  // All exceptions masked, round to nearest, extended precision.
  __asm__ volatile("fninit");
  if (routines.global_init) routines.global_init();
  kernel_services.AuxService(AUX_REGISTER_EXIT_ROUTINE,
                             routines.global_cleanup ? reinterpret_cast<void*>(routines.global_cleanup)
                                                     : reinterpret_cast<void*>(&EmptyRoutine));
  if (routines.startup) routines.startup();
  kernel_services.LoadStartWindow(routines.start_window_id);
  kernel_services.RunMessageLoop();
  return 0;
}

char* JoinTexts(const char* const* texts, int32_t count) { return TextJoin(texts, count, KernelAlloc); }
char* CopyText(const char* text) { return TextCopy(text, KernelAlloc); }
int CompareTexts(const char* a, const char* b) { return TextCompare(a, b); }
