// The window unit's keys (Tab, Enter, Esc, F1, arrows), before dispatch.
#pragma once
#include <windows.h>

// True when the key was used. The window unit sets the handler when it
// makes its first window; until then no key is taken.
bool PreTranslateWindowKey(MSG* message);
void SetWindowKeyHandler(bool (*handler)(MSG* message));
