// The runtime started as the program starts it, with the main window
// loaded: once per test program, whichever test needs it first.
#pragma once
#include <windows.h>

#include "app/main_window_ids.h"
#include "app/runtime_calls.h"

inline void StartInstallerRuntime() {
  static const bool started = [] {
    // The program declares its DPI awareness in its manifest; this process
    // has none of its own.
    SetProcessDPIAware();
    kernel_services.AuxService(AUX_INIT_RUNTIME);
    kernel_services.LoadStartWindow(kMainWindow);
    return true;
  }();
  (void)started;
}
