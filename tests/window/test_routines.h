// Event routines of the test windows; each counts its calls.
#pragma once
#include <windows.h>

#include "runtime/abi/compiled_code.h"

struct RoutineCounts {
  int created, moved, sized, close_query, closing, shown, clicked_a, clicked_b, menu, static_events;
  bool refuse_close;
  // The routine of this window event destroys `destroy_window`.
  int destroy_at_event;
  HWND destroy_window;
};
extern RoutineCounts g_counts;

extern "C" {
EventAnswer __stdcall test_created();
EventAnswer __stdcall test_moved();
EventAnswer __stdcall test_sized();
EventAnswer __stdcall test_close_query();
EventAnswer __stdcall test_closing();
EventAnswer __stdcall test_shown();
EventAnswer __stdcall test_clicked_a();
EventAnswer __stdcall test_clicked_b();
EventAnswer __stdcall test_menu();
EventAnswer __stdcall test_static_event();
}
