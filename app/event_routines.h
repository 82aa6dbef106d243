// The application's event routines bound in its window form.
#pragma once
#include "runtime/abi/compiled_code.h"

#include <string>

// Helpers of the click routines.
std::string directory_of_path(const char* path);
bool folder_is_writable(const char* folder);

extern "C" {
EventAnswer __stdcall on_main_window_created();
EventAnswer __stdcall on_download_button_clicked_archive1();
EventAnswer __stdcall on_download_button_clicked_archive2();
EventAnswer __stdcall on_download_button_clicked_archive3();
EventAnswer __stdcall on_main_window_close_requested();
EventAnswer __stdcall on_main_window_closing();
}
