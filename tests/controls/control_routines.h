// Event routines of the controls' test window; each counts its calls.
#pragma once
#include "runtime/abi/compiled_code.h"

struct ControlCounts {
  int button_clicked;
  int edit_changed;
};
extern ControlCounts g_control_counts;

extern "C" {
EventAnswer __stdcall test_button_clicked();
EventAnswer __stdcall test_edit_changed();
}
