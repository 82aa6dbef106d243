// Stand-ins for the application's event routines, so that the generated
// form source compiles here with the project's flags.
#pragma once
extern "C" void __stdcall on_main_window_created();
extern "C" void __stdcall on_download_button_clicked_archive1();
extern "C" void __stdcall on_download_button_clicked_archive2();
extern "C" void __stdcall on_download_button_clicked_archive3();
extern "C" void __stdcall on_main_window_close_requested();
extern "C" void __stdcall on_main_window_closing();
