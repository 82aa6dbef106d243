#include "ui/cursors.h"

#include <cstdlib>
#include <cstring>
#include <vector>

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

uint32_t Half(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Word(const uint8_t* p) { return Half(p) | Half(p + 2) << 16; }

// A cursor file (.cur) held in memory: a directory of 16-byte entries, each
// with its hotspot and where its image lies. The entry nearest the system's
// cursor size is used; the system wants its image with the hotspot in front.
HCURSOR CursorFromImage(const uint8_t* data, uint32_t size) {
  constexpr uint32_t kHeader = 6, kEntry = 16;
  if (size < kHeader || Half(data) != 0 || Half(data + 2) != 2) return nullptr;
  const uint32_t count = Half(data + 4);
  if (count == 0 || count > (size - kHeader) / kEntry) return nullptr;
  const int wanted = GetSystemMetrics(SM_CXCURSOR);
  const uint8_t* best = nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + kHeader + kEntry * i;
    uint32_t bytes = Word(entry + 8), offset = Word(entry + 12);
    if (bytes == 0 || offset > size || bytes > size - offset) continue;
    auto width = [](const uint8_t* e) { return e[0] ? e[0] : 256; };
    if (!best || std::abs(width(entry) - wanted) < std::abs(width(best) - wanted)) best = entry;
  }
  if (!best) return nullptr;
  const uint32_t bytes = Word(best + 8), offset = Word(best + 12);
  std::vector<uint8_t> resource(4 + bytes);
  std::memcpy(resource.data(), best + 4, 4);  // hotspot x and y
  std::memcpy(resource.data() + 4, data + offset, bytes);
  return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                                            FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
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
