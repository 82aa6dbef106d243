// For test programs that link the runtime without an application: the
// header and entry the runtime looks for, empty.
#include "runtime/abi/app_header.h"

extern "C" const ApplicationHeader application_header = {};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }
