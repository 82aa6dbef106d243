// The application's variables.
#pragma once
#include <cstdint>

// Result of the most recent download_file call; a new transfer starts at 0.
extern int32_t last_download_result;
// Code page for window titles turned into multi-byte text (936 after start).
extern int32_t conversion_code_page;
// Whether the running transfer has received its whole announced body.
extern bool transfer_complete;
