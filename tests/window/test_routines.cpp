#include "tests/window/test_routines.h"

RoutineCounts g_counts;

namespace {

void DestroyIfAsked(int event) {
  if (!g_counts.destroy_window || g_counts.destroy_at_event != event) return;
  HWND window = g_counts.destroy_window;
  g_counts.destroy_window = nullptr;
  DestroyWindow(window);
}

}  // namespace

extern "C" {
EventAnswer __stdcall test_created() { return ++g_counts.created, kNoEventValue; }
EventAnswer __stdcall test_moved() { return ++g_counts.moved, DestroyIfAsked(3), kNoEventValue; }
EventAnswer __stdcall test_sized() { return ++g_counts.sized, kNoEventValue; }
EventAnswer __stdcall test_close_query() {
  ++g_counts.close_query;
  DestroyIfAsked(12);
  return g_counts.refuse_close ? EventValue(0) : kNoEventValue;
}
EventAnswer __stdcall test_closing() { return ++g_counts.closing, DestroyIfAsked(1), kNoEventValue; }
EventAnswer __stdcall test_shown() { return ++g_counts.shown, DestroyIfAsked(10), kNoEventValue; }
EventAnswer __stdcall test_clicked_a() { return ++g_counts.clicked_a, kNoEventValue; }
EventAnswer __stdcall test_clicked_b() { return ++g_counts.clicked_b, kNoEventValue; }
EventAnswer __stdcall test_menu() { return ++g_counts.menu, kNoEventValue; }
EventAnswer __stdcall test_static_event() { return ++g_counts.static_events, kNoEventValue; }
}
