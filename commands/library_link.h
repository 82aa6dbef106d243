// A library's side of the notification interface: the NotifyRuntime address
// it was given at start-up, kept in one global per library.
#pragma once
#include <cstdint>

#include "runtime/abi/library.h"

struct LibraryLink {
  NotifyEntry runtime = nullptr;

  // Asks the runtime for a service; 0 while the library has no address.
  int32_t Notify(int32_t code, int32_t arg1 = 0, int32_t arg2 = 0) const {
    return runtime ? runtime(code, arg1, arg2) : 0;
  }

  // The library's notify entry: code 1 brings the address, code 6 says
  // goodbye; anything else is not handled (-1).
  int32_t Receive(int32_t code, int32_t arg1) {
    if (code == NOTIFY_LIB_INIT) {
      runtime = reinterpret_cast<NotifyEntry>(static_cast<uintptr_t>(static_cast<uint32_t>(arg1)));
      return 0;
    }
    if (code == NOTIFY_LIB_SHUTDOWN) return 0;
    return -1;
  }
};
