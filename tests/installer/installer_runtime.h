// The runtime started as the program starts it, with the main window
// loaded: once per test program, whichever test needs it first.
#pragma once
#include "app/main_window_ids.h"
#include "app/runtime_calls.h"

inline void StartInstallerRuntime() {
  static const bool started = [] {
    kernel_services.AuxService(AUX_INIT_RUNTIME);
    kernel_services.LoadStartWindow(kMainWindow);
    return true;
  }();
  (void)started;
}
