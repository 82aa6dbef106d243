// The message loop with its idle work, and the message pump that commands
// and libraries use to let the window breathe.
#pragma once
#include <windows.h>

#include <cstdint>

// Kernel service slot 10.
void __cdecl RunMessageLoop();
// A nested loop for a modal window: returns when local_loop_active is 0 or
// WM_QUIT is next (it stays queued for the outer loop).
void RunLocalMessageLoop();
// Handles waiting messages until the queue is empty or WM_QUIT is next.
void PumpPendingMessages();
// Called by the window manager when a window is finally destroyed: once no
// window is alive and the loop has started, the loop is told to end.
void PostQuitIfNoWindowLeft();

// Idle callbacks live as long as their window.
void AddIdleCallback(void* window, void (*callback)(uint32_t), uint32_t argument);
void ClearIdleCallbacks();

// The last message the loop retrieved: its WM_QUIT carries the exit code.
const MSG& LastRetrievedMessage();
