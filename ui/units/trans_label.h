// TransLabel: a label without a background of its own. It draws only its
// text, with an optional shadow or emboss, over whatever lies behind it,
// and repaints what lies behind it whenever it changes or moves, so it
// leaves no trail over a progress bar. Unit 5 of the first UI-extension
// library.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/unit.h"

// Whether `label` prints itself again after each paint of `window` (it
// follows every window that lies under it).
bool TransLabelFollows(HWND window, HWND label);

// Text effects: a white copy under the text at (+1, +1), a white copy at
// the text's place with the text at (+1, +1), a black shadow at (+2, +2).
enum : uint32_t { kEffectNone = 0, kEffectRaised = 1, kEffectSunken = 2, kEffectShadow = 3 };

extern const UnitDescriptor kTransLabelUnit;
