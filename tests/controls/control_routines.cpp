#include "tests/controls/control_routines.h"

ControlCounts g_control_counts;

extern "C" {
EventAnswer __stdcall test_button_clicked() { return ++g_control_counts.button_clicked, kNoEventValue; }
EventAnswer __stdcall test_edit_changed() { return ++g_control_counts.edit_changed, kNoEventValue; }
}
