// The application's variables.
#pragma once
#include <cstdint>

// Result of the most recent download_file call; a new transfer starts at 0.
extern int32_t last_download_result;
// Code page for window titles turned into multi-byte text (GBK after start).
extern int32_t conversion_code_page;
// Whether the running transfer has received its whole announced body.
extern bool transfer_complete;
// A transfer or its completion is running, from the click until the click
// routine returns or the program ends: no other transfer may start then.
// (The buttons are disabled too, but a posted click may still reach a
// disabled button.)
extern bool transfer_busy;
// The completion (message, folder, end) has begun.
extern bool completion_running;
// The window was asked to close while a transfer ran: the click routine
// ends the program once the transfer has stopped.
extern bool close_requested;
