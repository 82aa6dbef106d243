// The progress and status display of a download.
#pragma once
#include <cstdint>
#include <string>

// The engine's progress routine, after every block. It shows the progress
// at most ten times a second (and always for the first and the last block):
// each changed display costs a repaint, about 1.4 ms under Wine, which after
// every 10 KB block cost over nine tenths of the download speed.
extern "C" intptr_t __stdcall on_download_progress(int32_t total, int32_t downloaded, int32_t elapsed_ms,
                                                   int32_t bytes_this_call);
// Percentage, bar, sizes and the four status parts for one block.
void show_download_progress(int32_t total, int32_t downloaded, int32_t elapsed_ms, int32_t bytes_this_call);
// A new transfer shows its first block at once.
void reset_progress_pacing();
// Seconds as hours:minutes:seconds, each at least two digits.
std::string format_duration(int32_t seconds);
// Part 0 of the status bar.
void show_download_state(const char* text);
// The message, the program's folder in an explorer window, and the end.
[[noreturn]] void run_completion_actions();

extern const char kStateDone[];
extern const char kStateRunning[];
extern const char kStateFailed[];
