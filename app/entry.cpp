// The application's entry routine: the whole life of the program.
#include "compiled_code.h"

namespace {

constexpr uint32_t kMainWindowId = 0x52010002;

}  // namespace

extern "C" int32_t __stdcall ApplicationEntry() {
  return RunApplicationEntry({nullptr, nullptr, nullptr, kMainWindowId});
}
