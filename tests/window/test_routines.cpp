#include "test_routines.h"

RoutineCounts g_counts;
int g_moves_seen_by_created = -1;

extern "C" {
EventAnswer __stdcall test_created() {
  ++g_counts.created;
  g_moves_seen_by_created = g_counts.moved;
  return kNoEventValue;
}
EventAnswer __stdcall test_moved() { return ++g_counts.moved, kNoEventValue; }
EventAnswer __stdcall test_sized() { return ++g_counts.sized, kNoEventValue; }
EventAnswer __stdcall test_close_query() {
  ++g_counts.close_query;
  return g_counts.refuse_close ? EventValue(0) : kNoEventValue;
}
EventAnswer __stdcall test_clicked_a() { return ++g_counts.clicked_a, kNoEventValue; }
EventAnswer __stdcall test_clicked_b() { return ++g_counts.clicked_b, kNoEventValue; }
EventAnswer __stdcall test_menu() { return ++g_counts.menu, kNoEventValue; }
}
