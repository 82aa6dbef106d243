// Arbitrary bytes as a window template. Whatever the reader accepts must be
// safe to walk with plain offsets, as the window manager does, and to change
// with ReplaceRange.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "ui/template/window_template.h"

namespace {

// Touches every field; the sum keeps the reads from being optimised away.
uint32_t Walk(const ElementList& list) {
  uint32_t sum = 0;
  for (int32_t p = 0; p < list.count(); ++p) {
    const ElementLayout& l = list.Layout(p);
    const uint8_t* d = list.EntryData(p);
    sum += list.IdAt(p) + static_cast<uint32_t>(list.PositionOf(list.IdAt(p)));
    sum += static_cast<uint32_t>(std::strlen(reinterpret_cast<const char*>(d + l.name)));
    sum += static_cast<uint32_t>(std::strlen(reinterpret_cast<const char*>(d + l.comment)));
    if (l.menu_item) {
      sum += LoadWord(d + l.menu_flags) + LoadWord(d + l.menu_routine);
      sum += static_cast<uint32_t>(std::strlen(reinterpret_cast<const char*>(d + l.menu_caption)));
      continue;
    }
    for (uint32_t at : {l.object_slot, l.rect + 12, l.cursor_slot, l.parent, l.state_flags, l.tab_order})
      sum += LoadWord(d + at);
    uint32_t children = LoadWord(d + l.child_count);
    for (uint32_t i = 0; i < children; ++i) sum += LoadWord(d + l.child_count + 4 + 4 * i);
    uint32_t cursor = LoadWord(d + l.cursor_data);
    if (cursor) sum += d[l.cursor_data + 4] + d[l.cursor_data + 3 + cursor];
    sum += static_cast<uint32_t>(std::strlen(reinterpret_cast<const char*>(d + l.tag)));
    uint32_t events = LoadWord(d + l.event_count);
    for (uint32_t i = 0; i < events; ++i) sum += LoadWord(d + l.event_count + 8 + 8 * i);
    if (l.property_size) sum += d[l.property_data] + d[l.property_data + l.property_size - 1];
    if (l.property_data + l.property_size != list.EntrySize(p)) __builtin_trap();
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::unique_ptr<TemplateWindow>> windows;
  if (size > 0xFFFFFFFFu || !ReadWindowTemplate(data, static_cast<uint32_t>(size), 0x00401000, &windows)) return 0;
  static const char kLongTag[] = "a tag long enough to move every later entry";
  volatile uint32_t sink = 0;
  for (auto& window : windows) {
    ElementList& list = window->elements;
    sink = sink + Walk(list);
    // Grow one element's tag (or caption) and shrink it again.
    int32_t p = static_cast<int32_t>(size % static_cast<size_t>(list.count()));
    const ElementLayout& l = list.Layout(p);
    uint32_t at = l.menu_item ? l.menu_caption : l.tag;
    uint32_t old_length = static_cast<uint32_t>(std::strlen(list.TextAt(p, at))) + 1;
    if (!list.ReplaceRange(p, at, old_length, kLongTag, sizeof kLongTag)) __builtin_trap();
    sink = sink + Walk(list);
    if (!list.ReplaceRange(p, at, sizeof kLongTag, "", 1)) __builtin_trap();
    sink = sink + Walk(list);
    // Any range with bytes from the input: refused with nothing changed, or
    // still walkable.
    uint32_t entry = list.EntrySize(p);
    uint32_t offset = static_cast<uint32_t>(size * 7 % (entry + 2ull));
    uint32_t length = static_cast<uint32_t>(size / 3 % (entry + 2ull));
    std::vector<uint8_t> before = list.bytes();
    if (list.ReplaceRange(p, offset, length, data, static_cast<uint32_t>(size < 24 ? size : 24)))
      sink = sink + Walk(list);
    else if (list.bytes() != before)
      __builtin_trap();
  }
  return 0;
}
