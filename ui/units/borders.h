// The common border styles of the units: 0 none, 1 sunken, 2 modal frame,
// 3 static edge, 4 sunken in a modal frame, 5 a plain line.
#pragma once
#include <windows.h>

#include <cstdint>

namespace controls {

// The common border styles 0-5 (others: none) on a live window.
void ApplyBorderStyle(HWND window, uint32_t border);
// The extended style bits of a border, for creation.
DWORD BorderExStyle(uint32_t border);
DWORD BorderStyle(uint32_t border);

}  // namespace controls
