// The window template: the constant data that describes every window of the
// application with its elements, positions, properties and event bindings,
// and the in-memory copy the runtime works on. Platform-free.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "runtime/abi/element_ids.h"

// Element state flags.
constexpr uint32_t kElementVisible = 1;
constexpr uint32_t kElementDisabled = 2;
constexpr uint32_t kElementTabStop = 4;
// Menu-item state flags.
constexpr uint32_t kMenuHidden = 1;
constexpr uint32_t kMenuDisabled = 2;
constexpr uint32_t kMenuChecked = 4;

struct EventBinding {
  int32_t event;
  uint32_t routine;  // after loading: an absolute routine address, or 0 for none
};

// Where the fields of one entry lie: offsets into the entry's data (the
// bytes after its size word). Component elements and the window element
// use the component fields; menu items the menu fields.
struct ElementLayout {
  bool menu_item = false;
  uint32_t component_type = 0;
  uint32_t event_source = 0;
  uint32_t name = 0;          // terminated text
  uint32_t comment = 0;       // terminated text
  // Component elements:
  uint32_t object_slot = 0;   // word
  uint32_t rect = 0;          // four words: left, top, width, height
  uint32_t cursor_slot = 0;   // word
  uint32_t parent = 0;        // word
  uint32_t child_count = 0;   // word, then the child ids
  uint32_t cursor_data = 0;   // byte buffer (its length word)
  uint32_t tag = 0;           // terminated text
  uint32_t state_flags = 0;   // word
  uint32_t tab_order = 0;     // word
  uint32_t event_count = 0;   // word, then the bindings
  uint32_t property_data = 0; // the rest of the entry
  uint32_t property_size = 0;
  // Menu items:
  uint32_t menu_flags = 0;    // word
  uint32_t menu_caption = 0;  // terminated text
  uint32_t menu_routine = 0;  // word
};

// Walks one entry's fields; false when they do not fit in `size` bytes.
bool ReadElementLayout(const uint8_t* data, uint32_t size, bool menu_item, ElementLayout* layout);

// The element list of one window: its own writable copy of the element
// buffer (ids, offsets, entries), validated when it is assigned.
class ElementList {
 public:
  // Takes a copy of a stored element buffer of `count` elements; false when
  // the ids, offsets or any entry are inconsistent with the buffer.
  bool Assign(const uint8_t* buffer, uint32_t size, uint32_t count);

  int32_t count() const;
  uint32_t IdAt(int32_t position) const;
  // Position of an element id, or -1 (ids that are not valid are never found).
  int32_t PositionOf(uint32_t element_id) const;

  uint8_t* EntryData(int32_t position);
  const uint8_t* EntryData(int32_t position) const;
  uint32_t EntrySize(int32_t position) const;
  const ElementLayout& Layout(int32_t position) const;  // kept current by ReplaceRange

  // Replaces `old_length` bytes at `offset` within an entry by `new_length`
  // new bytes: the entry's size word changes by the difference, everything
  // after the range moves, and the offsets of all later entries follow.
  // False (nothing changed) when the range is not inside the entry.
  bool ReplaceRange(int32_t position, uint32_t offset, uint32_t old_length, const void* bytes,
                    uint32_t new_length);

  // The stored buffer form (ids, offsets, entries), as the template holds it.
  const std::vector<uint8_t>& bytes() const;

  // Bounds-checked field readers: a word at an offset within an entry (0
  // outside it), the terminated text there ("" outside), and the bytes of
  // the cursor data and the property data (empty for menu items).
  uint32_t WordAt(int32_t position, uint32_t offset) const;
  const char* TextAt(int32_t position, uint32_t offset) const;
  std::span<const uint8_t> CursorData(int32_t position) const;
  std::span<const uint8_t> PropertyData(int32_t position) const;

  // Pointers from EntryData and references from Layout stay valid until the
  // next Assign; ReplaceRange moves the data (EntryData must be asked again)
  // but updates the layouts in place.

 private:
  uint32_t EntryOffset(int32_t position) const;  // of the entry's size word in bytes_
  bool Contains(int32_t position) const { return position >= 0 && position < count(); }

  std::vector<uint8_t> bytes_;
  std::vector<ElementLayout> layouts_;
  std::vector<uint64_t> index_;  // id << 32 | position, sorted, for PositionOf
};

// One window of the template.
struct TemplateWindow {
  uint32_t window_id = 0;
  uint32_t attributes = 0;  // the window attribute word, carried along
  ElementList elements;
};

// Reads a whole template and relocates its event bindings (-1 becomes 0, any
// other offset o becomes code_base + o, also for menu items). False when the
// template is truncated or inconsistent in any way; `windows` is then empty.
// An empty template is truncated too: a program without one skips the call.
bool ReadWindowTemplate(const uint8_t* data, uint32_t size, uint32_t code_base,
                        std::vector<std::unique_ptr<TemplateWindow>>* windows);

// Little-endian words inside entries (entries are not aligned).
uint32_t LoadWord(const uint8_t* p);
void StoreWord(uint8_t* p, uint32_t value);
