#include "cursors.h"

namespace {

// Standard cursor table: index -> system cursor identifier (0: default).
const uint32_t kStandardCursors[15] = {
    0,
    reinterpret_cast<uintptr_t>(IDC_ARROW),
    reinterpret_cast<uintptr_t>(IDC_CROSS),
    reinterpret_cast<uintptr_t>(IDC_IBEAM),
    reinterpret_cast<uintptr_t>(IDC_WAIT),
    reinterpret_cast<uintptr_t>(IDC_HELP),
    reinterpret_cast<uintptr_t>(IDC_APPSTARTING),
    reinterpret_cast<uintptr_t>(IDC_NO),
    reinterpret_cast<uintptr_t>(IDC_SIZEALL),
    reinterpret_cast<uintptr_t>(IDC_SIZENESW),
    reinterpret_cast<uintptr_t>(IDC_SIZENS),
    reinterpret_cast<uintptr_t>(IDC_SIZENWSE),
    reinterpret_cast<uintptr_t>(IDC_SIZEWE),
    reinterpret_cast<uintptr_t>(IDC_UPARROW),
    reinterpret_cast<uintptr_t>(IDC_HAND),
};
constexpr uint32_t kHandCursorResource = 1032;

HCURSOR SystemCursor(uint32_t identifier) {
  if (identifier == reinterpret_cast<uintptr_t>(IDC_HAND)) {
    // The program's own hand pointer; the system's where it has none.
    if (HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHandCursorResource))) return own;
  }
  return static_cast<HCURSOR>(
      CopyImage(LoadCursorW(nullptr, MAKEINTRESOURCEW(identifier)), IMAGE_CURSOR, 0, 0, 0));
}

// A cursor file (.cur) held in memory.
HCURSOR CursorFromImage(const uint8_t* data, uint32_t size) {
  if (size < 6) return nullptr;
  int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(data), FALSE, 0, 0, LR_DEFAULTCOLOR);
  if (id <= 0 || static_cast<uint32_t>(id) >= size) return nullptr;
  return reinterpret_cast<HCURSOR>(
      CreateIconFromResourceEx(const_cast<BYTE*>(data + id), size - static_cast<uint32_t>(id), FALSE, 0x00030000, 0,
                               0, LR_DEFAULTCOLOR));
}

bool AllZero(const uint8_t* data, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i)
    if (data[i]) return false;
  return true;
}

}  // namespace

uint32_t CursorIndexToIdentifier(uint32_t index) { return index < 15 ? kStandardCursors[index] : index; }

uint32_t CursorIdentifierToIndex(uint32_t identifier) {
  for (uint32_t i = 1; i < 15; ++i)
    if (kStandardCursors[i] == identifier) return i;
  return identifier;
}

HCURSOR CursorFromData(const uint8_t* data, uint32_t size) {
  if (!data || size == 0 || AllZero(data, size)) return nullptr;
  uint32_t selector = data[0];
  if (size >= 4) selector = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
  if (selector == 0xFFFFFFFFu) return size > 4 ? CursorFromImage(data + 4, size - 4) : nullptr;
  if (size > 10)
    if (HCURSOR image = CursorFromImage(data + 4, size - 4)) return image;
  if (selector == 0) return nullptr;
  if (selector < 15) return SystemCursor(kStandardCursors[selector]);
  for (uint32_t identifier : kStandardCursors)
    if (identifier && identifier == selector) return SystemCursor(selector);
  return nullptr;
}
