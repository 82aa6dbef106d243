// The window unit's keys (Tab, Enter, Esc, F1, arrows), before dispatch.
#pragma once
#include <windows.h>

bool PreTranslateWindowKey(MSG* message);
