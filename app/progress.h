// The progress and status display of a download.
#pragma once
#include <cstdint>
#include <string>

#include "app/download.h"

// The engine's progress routine: the engine calls it at most ten times a
// second and once more with the figures after the transfer. (Each changed
// display costs a repaint, about 1.4 ms under Wine; after every 10 KB block
// that cost over nine tenths of the download speed.)
extern "C" intptr_t __stdcall on_download_progress(const DownloadProgress* progress, uint32_t, uint32_t, uint32_t);
// Percentage, bar, sizes and the four status parts for one block. A total
// below 0 is an unknown length.
void show_download_progress(int64_t total, int64_t downloaded, uint32_t elapsed_ms, int64_t bytes_this_call);
// The display of a transfer that has just been asked for: running, nothing
// received yet, no figures of an earlier transfer.
void show_transfer_starting();
// Seconds as hours:minutes:seconds, each at least two digits; "--:--:--"
// below 0.
std::string format_duration(int32_t seconds);
// Seconds the rest will take at this transfer's average speed so far, or -1
// while that cannot be known.
int32_t remaining_seconds(int64_t total, int64_t downloaded, uint32_t elapsed_ms, int64_t bytes_this_call);
// Part 0 of the status bar.
void show_download_state(const char* text);
// The message, the program's folder in an explorer window, and the end.
[[noreturn]] void run_completion_actions();

extern const char kStateDone[];
extern const char kStateRunning[];
extern const char kStateFailed[];
