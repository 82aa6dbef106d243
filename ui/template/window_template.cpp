// Reading and checking the window template. Everything is checked here, once,
// so that the window manager can walk entries with plain offsets afterwards.
#include "ui/template/window_template.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/abi/arg_record.h"
#include "runtime/value/byte_reader.h"

namespace {

constexpr uint32_t kNoRoutine = 0xFFFFFFFFu;

bool IsWindowElementId(uint32_t id) { return (id & 0xFF000000u) == 0x06000000u; }
bool IsComponentId(uint32_t id) { return (id & 0xFF000000u) == 0x16000000u; }

// Entries as they lie in the buffer: [start, end) relative to the end of the
// offset array, including the size word.
struct Span {
  uint64_t start;
  uint64_t end;
};

// Whether following `next` from every position ends (-1) instead of
// circling. Each position is visited once: 1 = on the current path, 2 = ends.
bool ChainsEnd(const std::vector<int32_t>& next) {
  std::vector<uint8_t> state(next.size(), 0);
  std::vector<int32_t> path;
  for (size_t start = 0; start < next.size(); ++start) {
    int32_t at = static_cast<int32_t>(start);
    path.clear();
    while (at >= 0 && state[at] == 0) {
      state[at] = 1;
      path.push_back(at);
      at = next[at];
    }
    if (at >= 0 && state[at] == 1) return false;
    for (int32_t p : path) state[p] = 2;
  }
  return true;
}

int32_t Find(const std::vector<uint64_t>& index, uint32_t id) {
  auto it = std::lower_bound(index.begin(), index.end(), static_cast<uint64_t>(id) << 32);
  if (it == index.end() || static_cast<uint32_t>(*it >> 32) != id) return -1;
  return static_cast<int32_t>(*it & 0xFFFFFFFFu);
}

// Checks a whole element buffer and walks every entry. On success fills the
// layouts (one per element) and the id index.
bool Check(const std::vector<uint8_t>& bytes, uint32_t count, std::vector<ElementLayout>* layouts,
           std::vector<uint64_t>* index) {
  const uint64_t size = bytes.size();
  // The window's own element always comes first, so a list is never empty.
  if (count == 0 || count > size / 8) return false;
  const uint8_t* ids = bytes.data();
  const uint8_t* offsets = ids + 4 * count;
  const uint64_t base = 8ull * count;
  const uint64_t room = size - base;

  std::vector<uint64_t> sorted(count);
  std::vector<Span> spans(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = LoadWord(ids + 4 * i);
    bool kind_ok = i == 0 ? IsWindowElementId(id) : IsComponentId(id) || IsMenuItemId(id);
    if (!IsValidId(id) || !kind_ok) return false;
    sorted[i] = static_cast<uint64_t>(id) << 32 | i;

    uint64_t offset = LoadWord(offsets + 4 * i);
    if (room < 4 || offset > room - 4) return false;
    uint64_t entry_size = LoadWord(bytes.data() + base + offset);
    if (entry_size > room - 4 - offset) return false;
    spans[i] = {offset, offset + 4 + entry_size};
  }
  std::sort(sorted.begin(), sorted.end());
  for (uint32_t i = 1; i < count; ++i)
    if (sorted[i] >> 32 == sorted[i - 1] >> 32) return false;

  // Entries must not share bytes: a change to one would show in another, and
  // moving later entries after a resize would tear the overlapping one.
  std::vector<Span> by_start = spans;
  std::sort(by_start.begin(), by_start.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
  for (uint32_t i = 1; i < count; ++i)
    if (by_start[i].start < by_start[i - 1].end) return false;

  std::vector<ElementLayout> walked(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* data = bytes.data() + base + spans[i].start + 4;
    uint32_t entry_size = static_cast<uint32_t>(spans[i].end - spans[i].start - 4);
    if (!ReadElementLayout(data, entry_size, IsMenuItemId(LoadWord(ids + 4 * i)), &walked[i])) return false;
    // Only the first element is the window itself.
    if ((i == 0) != (walked[i].component_type == TYPE_WINDOW) && !walked[i].menu_item) return false;
  }

  // References between elements name elements of this window. Parents and
  // event sources are followed by the window manager, so their chains must
  // end.
  std::vector<int32_t> parent_of(count, -1), source_of(count, -1);
  for (uint32_t i = 0; i < count; ++i) {
    const ElementLayout& layout = walked[i];
    const uint8_t* data = bytes.data() + base + spans[i].start + 4;
    if (layout.event_source != 0) {
      int32_t source = Find(sorted, layout.event_source);
      if (source < 0 || source == static_cast<int32_t>(i)) return false;
      const ElementLayout& named = walked[source];
      if (named.menu_item == layout.menu_item && named.component_type == layout.component_type) source_of[i] = source;
    }
    if (layout.menu_item) continue;
    uint32_t parent = LoadWord(data + layout.parent);
    if (parent != 0) {
      int32_t at = Find(sorted, parent);
      if (at < 0 || walked[at].menu_item) return false;
      parent_of[i] = at;
    }
    uint32_t children = LoadWord(data + layout.child_count);
    for (uint32_t c = 0; c < children; ++c) {
      uint32_t child = LoadWord(data + layout.child_count + 4 + 4 * c);
      if (child != 0 && Find(sorted, child) < 0) return false;
    }
  }
  if (!ChainsEnd(parent_of) || !ChainsEnd(source_of)) return false;

  *layouts = std::move(walked);
  *index = std::move(sorted);
  return true;
}

uint32_t Relocate(uint32_t stored, uint32_t code_base) { return stored == kNoRoutine ? 0 : code_base + stored; }

}  // namespace

uint32_t LoadWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void StoreWord(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

bool ReadElementLayout(const uint8_t* data, uint32_t size, bool menu_item, ElementLayout* layout) {
  ByteReader reader(data, size);
  auto here = [&reader] { return static_cast<uint32_t>(reader.position()); };
  ElementLayout walked;
  walked.menu_item = menu_item;
  walked.component_type = reader.Word();
  walked.event_source = reader.Word();
  reader.Skip(16);
  walked.name = here();
  reader.TerminatedText();
  walked.comment = here();
  reader.TerminatedText();
  if (menu_item) {
    reader.Skip(8);
    walked.menu_flags = here();
    reader.Word();
    walked.menu_caption = here();
    reader.TerminatedText();
    walked.menu_routine = here();
    reader.Word();
    // Whatever follows (shortcut keys, nesting) belongs to the menu builder.
  } else {
    walked.object_slot = here();
    reader.Word();
    walked.rect = here();
    reader.Skip(16);
    walked.cursor_slot = here();
    reader.Word();
    walked.parent = here();
    reader.Word();
    walked.child_count = here();
    reader.Items(reader.Word(), 4);
    walked.cursor_data = here();
    reader.Buffer();
    walked.tag = here();
    reader.TerminatedText();
    reader.Skip(4);
    walked.state_flags = here();
    reader.Word();
    walked.tab_order = here();
    reader.Word();
    walked.event_count = here();
    reader.Items(reader.Word(), 8);
    reader.Skip(20);
    walked.property_data = here();
    walked.property_size = size - walked.property_data;
  }
  if (reader.failed()) return false;
  *layout = walked;
  return true;
}

bool ElementList::Assign(const uint8_t* buffer, uint32_t size, uint32_t count) {
  bytes_.clear();
  layouts_.clear();
  index_.clear();
  if (size != 0 && !buffer) return false;
  std::vector<uint8_t> copy(buffer, buffer + size);
  std::vector<ElementLayout> layouts;
  std::vector<uint64_t> index;
  if (!Check(copy, count, &layouts, &index)) return false;
  bytes_ = std::move(copy);
  layouts_ = std::move(layouts);
  index_ = std::move(index);
  return true;
}

int32_t ElementList::count() const { return static_cast<int32_t>(layouts_.size()); }

uint32_t ElementList::IdAt(int32_t position) const {
  return Contains(position) ? LoadWord(bytes_.data() + 4 * position) : 0;
}

int32_t ElementList::PositionOf(uint32_t element_id) const {
  return IsValidId(element_id) ? Find(index_, element_id) : -1;
}

uint32_t ElementList::EntryOffset(int32_t position) const {
  uint32_t count = static_cast<uint32_t>(layouts_.size());
  return 8 * count + LoadWord(bytes_.data() + 4 * count + 4 * position);
}

uint8_t* ElementList::EntryData(int32_t position) {
  return Contains(position) ? bytes_.data() + EntryOffset(position) + 4 : nullptr;
}

const uint8_t* ElementList::EntryData(int32_t position) const {
  return Contains(position) ? bytes_.data() + EntryOffset(position) + 4 : nullptr;
}

uint32_t ElementList::EntrySize(int32_t position) const {
  return Contains(position) ? LoadWord(bytes_.data() + EntryOffset(position)) : 0;
}

const ElementLayout& ElementList::Layout(int32_t position) const {
  static const ElementLayout kNone;
  return Contains(position) ? layouts_[position] : kNone;
}

const std::vector<uint8_t>& ElementList::bytes() const { return bytes_; }

uint32_t ElementList::WordAt(int32_t position, uint32_t offset) const {
  uint32_t size = EntrySize(position);
  if (size < 4 || offset > size - 4) return 0;
  return LoadWord(EntryData(position) + offset);
}

const char* ElementList::TextAt(int32_t position, uint32_t offset) const {
  uint32_t size = EntrySize(position);
  if (offset >= size) return "";
  const uint8_t* text = EntryData(position) + offset;
  return std::memchr(text, 0, size - offset) ? reinterpret_cast<const char*>(text) : "";
}

std::span<const uint8_t> ElementList::CursorData(int32_t position) const {
  if (!Contains(position) || layouts_[position].menu_item) return {};
  const uint8_t* data = EntryData(position) + layouts_[position].cursor_data;
  return {data + 4, LoadWord(data)};
}

std::span<const uint8_t> ElementList::PropertyData(int32_t position) const {
  if (!Contains(position) || layouts_[position].menu_item) return {};
  return {EntryData(position) + layouts_[position].property_data, layouts_[position].property_size};
}

bool ElementList::ReplaceRange(int32_t position, uint32_t offset, uint32_t old_length, const void* bytes,
                               uint32_t new_length) {
  uint32_t entry_size = EntrySize(position);
  if (!Contains(position) || offset > entry_size || old_length > entry_size - offset) return false;
  if (new_length != 0 && !bytes) return false;
  // The size word and the buffer length are 32-bit words in the stored form.
  uint64_t new_entry_size = static_cast<uint64_t>(entry_size) - old_length + new_length;
  uint64_t new_total = static_cast<uint64_t>(bytes_.size()) - old_length + new_length;
  if (new_entry_size > 0xFFFFFFFFu || new_total > 0xFFFFFFFFu) return false;

  // Built beside the old buffer: `bytes` may point into it, and a change that
  // leaves the entry unreadable is refused with nothing changed.
  uint32_t entry = EntryOffset(position);
  size_t start = static_cast<size_t>(entry) + 4 + offset;
  const uint8_t* source = static_cast<const uint8_t*>(bytes);
  std::vector<uint8_t> changed;
  changed.reserve(static_cast<size_t>(new_total));
  changed.insert(changed.end(), bytes_.begin(), bytes_.begin() + start);
  if (new_length) changed.insert(changed.end(), source, source + new_length);
  changed.insert(changed.end(), bytes_.begin() + start + old_length, bytes_.end());

  StoreWord(changed.data() + entry, static_cast<uint32_t>(new_entry_size));
  uint32_t count = static_cast<uint32_t>(layouts_.size());
  uint32_t moved_from = entry - 8 * count;
  uint32_t difference = new_length - old_length;  // wraps for a shrink, as the offsets do
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t* slot = changed.data() + 4 * count + 4 * i;
    if (LoadWord(slot) > moved_from) StoreWord(slot, LoadWord(slot) + difference);
  }

  std::vector<ElementLayout> layouts;
  std::vector<uint64_t> index;
  if (!Check(changed, count, &layouts, &index)) return false;
  bytes_ = std::move(changed);
  std::copy(layouts.begin(), layouts.end(), layouts_.begin());  // in place: callers hold references
  index_ = std::move(index);
  return true;
}

bool ReadWindowTemplate(const uint8_t* data, uint32_t size, uint32_t code_base,
                        std::vector<std::unique_ptr<TemplateWindow>>* windows) {
  windows->clear();
  ByteReader reader(data, size);
  ByteRun table = reader.Buffer();
  if (reader.failed() || table.size() % 8 != 0) return false;
  const uint32_t window_count = static_cast<uint32_t>(table.size() / 8);

  std::vector<uint32_t> ids(window_count);
  for (uint32_t i = 0; i < window_count; ++i) {
    ids[i] = LoadWord(table.data() + 4 * i);
    if (!IsWindowId(ids[i])) return false;
  }
  std::vector<uint32_t> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return false;

  std::vector<std::unique_ptr<TemplateWindow>> loaded;
  for (uint32_t i = 0; i < window_count; ++i) {
    reader.Word();  // reserved
    uint32_t attributes = reader.Word();
    reader.CountedText();
    reader.CountedText();
    uint32_t element_count = reader.Word();
    ByteRun buffer = reader.Buffer();
    if (reader.failed()) return false;
    auto window = std::make_unique<TemplateWindow>();
    window->window_id = ids[i];
    window->attributes = attributes;
    if (!window->elements.Assign(buffer.data(), static_cast<uint32_t>(buffer.size()), element_count)) return false;
    loaded.push_back(std::move(window));
  }
  // The program header states the template's length: bytes beyond the last
  // window mean that header and data disagree.
  if (!reader.at_end()) return false;

  for (auto& window : loaded) {
    ElementList& elements = window->elements;
    for (int32_t p = 0; p < elements.count(); ++p) {
      const ElementLayout& layout = elements.Layout(p);
      uint8_t* entry = elements.EntryData(p);
      if (layout.menu_item) {
        StoreWord(entry + layout.menu_routine, Relocate(LoadWord(entry + layout.menu_routine), code_base));
        continue;
      }
      uint32_t bindings = LoadWord(entry + layout.event_count);
      for (uint32_t b = 0; b < bindings; ++b) {
        uint8_t* routine = entry + layout.event_count + 4 + 8 * b + 4;
        StoreWord(routine, Relocate(LoadWord(routine), code_base));
      }
    }
  }
  *windows = std::move(loaded);
  return true;
}
