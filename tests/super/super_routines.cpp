#include "tests/super/super_routines.h"

#include "runtime/abi/kernel_services.h"

SuperEvents g_events;

extern "C" {
EventAnswer __stdcall sb_clicked() { return ++g_events.clicked, kNoEventValue; }
EventAnswer __stdcall sb_focus_gained() { return ++g_events.focus_gained, kNoEventValue; }
EventAnswer __stdcall sb_focus_lost() { return ++g_events.focus_lost, kNoEventValue; }
EventAnswer __stdcall sb_check_clicked() {
  ++g_events.check_clicked;
  g_events.checked_seen = static_cast<uint32_t>(kernel_services.ReadProperty(0x52000100, 0x16000103, 8 + 2, -1));
  return kNoEventValue;
}
}
