// This program's window classes: each registered once for the program's
// module, with the arrow cursor.
#pragma once
#include <windows.h>

// Registers the class `name` unless it exists already; true when it exists
// afterwards. DefWindowProcW suits windows whose component puts its own
// procedure in after creating them. No background brush: the window paints
// its whole client area itself.
bool RegisterWindowClass(const wchar_t* name, UINT style, WNDPROC procedure = DefWindowProcW,
                         HBRUSH background = nullptr);
