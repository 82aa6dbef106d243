// The invisible owner of ownerless windows, and the receiver of the private
// end message sent by other threads.
#pragma once
#include <windows.h>

HWND CreateHiddenOwner();

// Private message to the hidden owner: end the program with exit code wParam.
constexpr UINT WM_RUNTIME_END = WM_APP + 999;
