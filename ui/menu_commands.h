// The WM_COMMAND ids of menu items: the item's position in its window's
// element list, counted from kFirstMenuCommand. Commands from
// kLastMenuCommand on are not menu items.
#pragma once
#include <cstdint>

constexpr uint32_t kFirstMenuCommand = 20000;
constexpr uint32_t kLastMenuCommand = 57600;

constexpr uint32_t MenuCommandOf(int32_t position) { return kFirstMenuCommand + static_cast<uint32_t>(position); }
