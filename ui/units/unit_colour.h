// The colours a unit stores: 0x00BBGGRR, or the default colour.
#pragma once
#include <windows.h>

#include <cstdint>

namespace controls {

constexpr uint32_t kDefaultColour = 0xFF000000;

// 0xFF000000 paints as the button face.
COLORREF ResolveColour(uint32_t colour);

}  // namespace controls
