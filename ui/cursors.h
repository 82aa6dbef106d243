// Mouse pointers from an element's cursor data.
#pragma once
#include <windows.h>

#include <cstdint>

// A cursor made from cursor data (null for the default pointer).
HCURSOR CursorFromData(const uint8_t* data, uint32_t size);
// Stored data uses indexes into the standard cursor table; live data the
// system identifiers. These map the first word one way and the other.
uint32_t CursorIndexToIdentifier(uint32_t index);
uint32_t CursorIdentifierToIndex(uint32_t identifier);
