// The invisible owner of ownerless windows, and the receiver of the private
// end message sent by other threads.
#pragma once
#include <windows.h>

HWND CreateHiddenOwner();
