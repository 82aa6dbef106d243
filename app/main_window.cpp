// The main window's event routines.
#include "event_routines.h"

extern "C" {

EventAnswer __stdcall on_main_window_created() { return kNoEventValue; }
EventAnswer __stdcall on_download_button_clicked_archive1() { return kNoEventValue; }
EventAnswer __stdcall on_download_button_clicked_archive2() { return kNoEventValue; }
EventAnswer __stdcall on_download_button_clicked_archive3() { return kNoEventValue; }

}  // extern "C"
