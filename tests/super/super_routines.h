// Event routines of the test window; each records what it saw.
#pragma once
#include <cstdint>

#include "runtime/abi/compiled_code.h"

struct SuperEvents {
  int clicked, focus_gained, focus_lost, check_clicked;
  uint32_t checked_seen;  // the check box's Checked property inside its click routine
};
extern SuperEvents g_events;

extern "C" {
EventAnswer __stdcall sb_clicked();
EventAnswer __stdcall sb_focus_gained();
EventAnswer __stdcall sb_focus_lost();
EventAnswer __stdcall sb_check_clicked();
}
