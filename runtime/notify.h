// NotifyRuntime: how libraries ask the runtime for its services (the codes
// are the boundary's, abi/notify_codes.h).
#pragma once
#include <cstdint>

#include "runtime/abi/library.h"
#include "runtime/abi/notify_codes.h"

extern "C" int32_t __stdcall NotifyRuntime(int32_t code, int32_t arg1, int32_t arg2);
