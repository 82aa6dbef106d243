// Builds window template bytes from a description, for tests that need
// variants the form compiler would never write (lying counts, broken ids).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace template_builder {

constexpr uint32_t kNone = 0xFFFFFFFFu;

struct Element {
  uint32_t id = 0;
  uint32_t type = 0;
  uint32_t event_source = 0;
  std::string name{};
  std::string comment{};
  uint32_t rect[4] = {};
  uint32_t parent = 0;
  std::vector<uint32_t> children{};
  std::vector<uint8_t> cursor = {0, 0, 0, 0};
  std::string tag{};
  uint32_t flags = 1;
  uint32_t tab_order = 0;
  std::vector<std::pair<int32_t, uint32_t>> events{};
  std::vector<uint8_t> properties{};
  // Menu items (ids 0x26xxxxxx):
  uint32_t menu_flags = 0;
  std::string caption{};
  uint32_t routine = kNone;
  // Stored counts that lie about what follows.
  std::optional<uint32_t> child_count{}, cursor_length{}, event_count{}, entry_size{};
};

struct Window {
  uint32_t id = 0;
  uint32_t attributes = 0x1901000F;
  std::vector<Element> elements{};
  bool entries_reversed = false;  // entries stored back to front
  std::optional<uint32_t> element_count{}, buffer_length{};
  std::optional<std::vector<uint32_t>> offsets{};
};

class Writer {
 public:
  Writer& Word(uint32_t w) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
    return *this;
  }
  Writer& Raw(const std::vector<uint8_t>& run) {
    bytes.insert(bytes.end(), run.begin(), run.end());
    return *this;
  }
  Writer& Buffer(const std::vector<uint8_t>& run, std::optional<uint32_t> length = {}) {
    return Word(length.value_or(static_cast<uint32_t>(run.size()))).Raw(run);
  }
  Writer& Terminated(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
  std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> EntryData(const Element& e) {
  Writer w;
  w.Word(e.type).Word(e.event_source).Word(0).Word(0).Word(0).Word(0).Terminated(e.name).Terminated(e.comment);
  if ((e.id & 0xFF000000u) == 0x26000000u) {
    w.Word(0).Word(0).Word(e.menu_flags).Terminated(e.caption).Word(e.routine);
    return w.bytes;
  }
  w.Word(0).Word(e.rect[0]).Word(e.rect[1]).Word(e.rect[2]).Word(e.rect[3]).Word(0).Word(e.parent);
  w.Word(e.child_count.value_or(static_cast<uint32_t>(e.children.size())));
  for (uint32_t child : e.children) w.Word(child);
  w.Buffer(e.cursor, e.cursor_length).Terminated(e.tag).Word(0).Word(e.flags).Word(e.tab_order);
  w.Word(e.event_count.value_or(static_cast<uint32_t>(e.events.size())));
  for (auto [event, routine] : e.events) w.Word(static_cast<uint32_t>(event)).Word(routine);
  w.Word(0).Word(0).Word(0).Word(0).Word(0).Raw(e.properties);
  return w.bytes;
}

inline std::vector<uint8_t> ElementBuffer(const Window& window) {
  const size_t count = window.elements.size();
  std::vector<std::vector<uint8_t>> entries;
  for (const Element& e : window.elements) {
    std::vector<uint8_t> data = EntryData(e);
    entries.push_back(Writer().Word(e.entry_size.value_or(static_cast<uint32_t>(data.size()))).Raw(data).bytes);
  }
  std::vector<uint32_t> offsets(count);
  std::vector<uint8_t> stored;
  for (size_t k = 0; k < count; ++k) {
    size_t i = window.entries_reversed ? count - 1 - k : k;
    offsets[i] = static_cast<uint32_t>(stored.size());
    stored.insert(stored.end(), entries[i].begin(), entries[i].end());
  }
  if (window.offsets) offsets = *window.offsets;
  Writer w;
  for (const Element& e : window.elements) w.Word(e.id);
  for (uint32_t offset : offsets) w.Word(offset);
  return w.Raw(stored).bytes;
}

inline std::vector<uint8_t> Template(const std::vector<Window>& windows) {
  Writer table;
  for (const Window& window : windows) table.Word(window.id);
  for (size_t i = 0; i < windows.size(); ++i) table.Word(0);
  Writer w;
  w.Buffer(table.bytes);
  for (const Window& window : windows) {
    std::vector<uint8_t> buffer = ElementBuffer(window);
    w.Word(0).Word(window.attributes).Word(0).Word(0);
    w.Word(window.element_count.value_or(static_cast<uint32_t>(window.elements.size())));
    w.Buffer(buffer, window.buffer_length);
  }
  return w.bytes;
}

}  // namespace template_builder
