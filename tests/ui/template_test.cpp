// The window template reader: fields, relocation, byte-range replacement and
// damaged templates.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/value/byte_reader.h"
#include "tests/ui/template_builder.h"
#include "ui/template/window_template.h"

// The application's own form, compiled at build time.
extern const uint8_t main_window_template[];
extern const uint32_t main_window_template_size;

namespace {

namespace tb = template_builder;
using Windows = std::vector<std::unique_ptr<TemplateWindow>>;

constexpr uint32_t kCodeBase = 0x00401000;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A window much like the application's: the window element, buttons sharing
// events through an event source, pictures, a property-less dialog, a tab
// control with pages of children, and menu items.
tb::Window SampleWindow() {
  tb::Window w;
  w.id = 0x52010002;
  tb::Element window{.id = 0x06010003, .type = 0x00010001, .rect = {50, 50, 478, 194}, .events = {{0, 0x10}}};
  window.properties = Bytes(std::string("\x01\0\0\0\x0e\0\0\0qelmo \xb0\xb2\xd7\xb0\xd6\xfa\xca\xd6", 22));
  tb::Element button{.id = 0x16013200, .type = 0x0001000B, .name = "\xb0\xb4\xc5\xa5\x33", .rect = {13, 112, 91, 24},
                     .flags = 5, .events = {{0, 0x40}, {1, tb::kNone}}};
  button.properties = Bytes(std::string("\x02\0\0\0\x0b\0\0\0zr_11.17.zip", 20));
  tb::Element shared{.id = 0x160100D2, .type = 0x0001000B, .event_source = 0x16013200, .name = "b2",
                     .tag = "second", .flags = 5, .tab_order = 3};
  tb::Element picture{.id = 0x1601320E, .type = 0x00040001, .rect = {110, 117, 16, 16}, .cursor = {14, 0, 0, 0}};
  picture.properties.assign(1900, 0x89);
  tb::Element dialog{.id = 0x1601009F, .type = 0x0001001F, .comment = "never shown", .flags = 0};
  tb::Element tabs{.id = 0x16010020, .type = 0x00010015, .children = {0x16010021, 0, 0x16010022}, .tag = "pages"};
  tb::Element page1{.id = 0x16010021, .type = 0x0001000A, .parent = 0x16010020,
                    .cursor = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7}};  // an image follows
  tb::Element page2{.id = 0x16010022, .type = 0x00010005, .parent = 0x16010020, .cursor = {}, .flags = 3};
  tb::Element open{.id = 0x26010030, .type = 0x00010003, .name = "menu_open", .menu_flags = 4, .caption = "&Open",
                   .routine = 0x80};
  tb::Element quit{.id = 0x26010031, .type = 0x00010003, .name = "menu_quit", .menu_flags = 3, .caption = "",
                   .routine = tb::kNone};
  w.elements = {window, button, shared, picture, dialog, tabs, page1, page2, open, quit};
  return w;
}

uint32_t Relocated(uint32_t stored, uint32_t base) { return stored == tb::kNone ? 0 : base + stored; }

// Every field of the element at `p` reads back as described.
void ExpectElement(const ElementList& list, int32_t p, const tb::Element& e, uint32_t base = kCodeBase) {
  SCOPED_TRACE(testing::Message() << "element " << p << " id " << std::hex << e.id);
  const ElementLayout& l = list.Layout(p);
  ASSERT_EQ(list.IdAt(p), e.id);
  ASSERT_EQ(list.PositionOf(e.id), p);
  ASSERT_EQ(list.EntrySize(p), tb::EntryData(e).size());
  EXPECT_EQ(l.component_type, e.type);
  EXPECT_EQ(l.event_source, e.event_source);
  EXPECT_STREQ(list.TextAt(p, l.name), e.name.c_str());
  EXPECT_STREQ(list.TextAt(p, l.comment), e.comment.c_str());
  ASSERT_EQ(l.menu_item, IsMenuItemId(e.id));
  if (l.menu_item) {
    EXPECT_EQ(list.WordAt(p, l.menu_flags), e.menu_flags);
    EXPECT_STREQ(list.TextAt(p, l.menu_caption), e.caption.c_str());
    EXPECT_EQ(list.WordAt(p, l.menu_routine), Relocated(e.routine, base));
    return;
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.WordAt(p, l.rect + 4 * i), e.rect[i]);
  EXPECT_EQ(list.WordAt(p, l.object_slot), 0u);
  EXPECT_EQ(list.WordAt(p, l.cursor_slot), 0u);
  EXPECT_EQ(list.WordAt(p, l.parent), e.parent);
  ASSERT_EQ(list.WordAt(p, l.child_count), e.children.size());
  for (size_t i = 0; i < e.children.size(); ++i) EXPECT_EQ(list.WordAt(p, l.child_count + 4 + 4 * i), e.children[i]);
  std::span<const uint8_t> cursor = list.CursorData(p);
  EXPECT_EQ(std::vector<uint8_t>(cursor.begin(), cursor.end()), e.cursor);
  EXPECT_STREQ(list.TextAt(p, l.tag), e.tag.c_str());
  EXPECT_EQ(list.WordAt(p, l.state_flags), e.flags);
  EXPECT_EQ(list.WordAt(p, l.tab_order), e.tab_order);
  ASSERT_EQ(list.WordAt(p, l.event_count), e.events.size());
  for (size_t i = 0; i < e.events.size(); ++i) {
    EXPECT_EQ(static_cast<int32_t>(list.WordAt(p, l.event_count + 4 + 8 * i)), e.events[i].first);
    EXPECT_EQ(list.WordAt(p, l.event_count + 8 + 8 * i), Relocated(e.events[i].second, base));
  }
  std::span<const uint8_t> properties = list.PropertyData(p);
  EXPECT_EQ(l.property_size, e.properties.size());
  EXPECT_EQ(std::vector<uint8_t>(properties.begin(), properties.end()), e.properties);
}

bool Read(const std::vector<uint8_t>& bytes, Windows* windows, uint32_t base = kCodeBase) {
  return ReadWindowTemplate(bytes.data(), static_cast<uint32_t>(bytes.size()), base, windows);
}

std::vector<uint8_t> MainWindowBytes() {
  return {main_window_template, main_window_template + main_window_template_size};
}

// Every field of an element, read the way the window manager reads them
// (plain offsets from the layout), as one comparable text.
std::string Fields(const ElementList& list, int32_t p, bool with_tag) {
  const ElementLayout& l = list.Layout(p);
  const uint8_t* d = list.EntryData(p);
  auto text = [d](uint32_t at) { return std::string(reinterpret_cast<const char*>(d + at)); };
  std::ostringstream out;
  out << list.IdAt(p) << ' ' << l.component_type << ' ' << l.event_source << ' ' << text(l.name) << '|'
      << text(l.comment) << '|';
  if (l.menu_item) {
    out << LoadWord(d + l.menu_flags) << text(l.menu_caption) << '|' << LoadWord(d + l.menu_routine);
    return out.str();
  }
  for (uint32_t at : {l.object_slot, l.rect, l.rect + 4, l.rect + 8, l.rect + 12, l.cursor_slot, l.parent})
    out << LoadWord(d + at) << ' ';
  for (uint32_t i = 0; i <= LoadWord(d + l.child_count); ++i) out << LoadWord(d + l.child_count + 4 * i) << ' ';
  for (uint32_t i = 0; i < 4 + LoadWord(d + l.cursor_data); ++i) out << int{d[l.cursor_data + i]} << ',';
  if (with_tag) out << text(l.tag) << '|';
  out << LoadWord(d + l.state_flags) << ' ' << LoadWord(d + l.tab_order) << ' ';
  for (uint32_t i = 0; i < 1 + 2 * LoadWord(d + l.event_count); ++i) out << LoadWord(d + l.event_count + 4 * i) << ' ';
  out << l.property_size << ':' << std::string(reinterpret_cast<const char*>(d + l.property_data), l.property_size);
  return out.str();
}

TEST(ByteReader, ReadsPastTheEndAsZeroAndStaysFailed) {
  const uint8_t data[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 'x', 0, 0xFF, 0xFF, 0xFF, 0xFF, 9};
  ByteReader reader(data, sizeof data);
  EXPECT_EQ(reader.Word(), 1u);
  ByteRun text = reader.CountedText();
  EXPECT_EQ(std::string(text.begin(), text.end()), "abc");
  EXPECT_EQ(reader.TerminatedText().size(), 2u);
  EXPECT_TRUE(reader.Buffer().empty());  // a length of 0xFFFFFFFF with 1 byte left
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(reader.Byte(), 0);
  EXPECT_EQ(reader.Bytes(0).size(), 0u);
  EXPECT_TRUE(reader.failed());

  // 0x20000000 items of 8 bytes is 2^32: no wrap to an empty run.
  ByteReader items(data, sizeof data);
  EXPECT_TRUE(items.Items(0x20000000, 8).empty());
  EXPECT_TRUE(items.failed());
  ByteReader unterminated(data + 8, 3);  // "abc"
  EXPECT_TRUE(unterminated.TerminatedText().empty());
  EXPECT_TRUE(unterminated.failed());
}

TEST(WindowTemplate, EmptyWindowTableGivesNoWindows) {
  Windows windows;
  ASSERT_TRUE(Read(tb::Template({}), &windows));
  EXPECT_TRUE(windows.empty());
}

TEST(WindowTemplate, ReadsEveryFieldAndRelocatesBindings) {
  tb::Window sample = SampleWindow();
  tb::Window other{.id = 0x52010009, .attributes = 7, .elements = {sample.elements[0]}};
  for (uint32_t base : {kCodeBase, 0xFFFFFFF0u}) {  // the second wraps around
    Windows windows;
    ASSERT_TRUE(Read(tb::Template({sample, other}), &windows, base));
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0]->window_id, sample.id);
    EXPECT_EQ(windows[0]->attributes, 0x1901000Fu);
    EXPECT_EQ(windows[1]->window_id, other.id);
    EXPECT_EQ(windows[1]->attributes, 7u);
    const ElementList& list = windows[0]->elements;
    ASSERT_EQ(list.count(), static_cast<int32_t>(sample.elements.size()));
    for (int32_t p = 0; p < list.count(); ++p) ExpectElement(list, p, sample.elements[p], base);
  }
}

TEST(WindowTemplate, AccessorsCheckPositionsAndOffsets) {
  Windows windows;
  ASSERT_TRUE(Read(tb::Template({SampleWindow()}), &windows));
  const ElementList& list = windows[0]->elements;
  int32_t dialog = list.PositionOf(0x1601009F);  // empty property data ends the entry
  EXPECT_EQ(list.Layout(dialog).property_data, list.EntrySize(dialog));
  EXPECT_TRUE(list.CursorData(list.PositionOf(0x26010031)).empty());  // menu items have none
  EXPECT_EQ(list.EntryData(-1), nullptr);
  EXPECT_EQ(list.EntryData(list.count()), nullptr);
  EXPECT_EQ(list.IdAt(99), 0u);
  EXPECT_EQ(list.PositionOf(0x16000000), -1);
  EXPECT_EQ(list.WordAt(0, list.EntrySize(0) - 3), 0u);
  EXPECT_STREQ(list.TextAt(0, 0xFFFFFFFF), "");
}

TEST(WindowTemplate, ReplaceRangeKeepsEveryEntryWalkable) {
  tb::Window reversed = SampleWindow();
  reversed.entries_reversed = true;  // "later" means later in the buffer, not in the list
  const std::vector<uint8_t> templates[] = {tb::Template({SampleWindow()}), tb::Template({reversed}),
                                            MainWindowBytes()};
  for (const std::vector<uint8_t>& bytes : templates) {
    for (const char* tag : {"a much longer tag than any before it", "", "x"}) {
      Windows windows;
      ASSERT_TRUE(Read(bytes, &windows));
      ElementList& list = windows[0]->elements;
      for (int32_t p = 0; p < list.count(); ++p) {
        if (list.Layout(p).menu_item) continue;
        SCOPED_TRACE(testing::Message() << "tag '" << tag << "' at " << p << " of " << bytes.size());
        std::vector<std::string> before;
        for (int32_t q = 0; q < list.count(); ++q) before.push_back(Fields(list, q, q != p));

        const ElementLayout& layout = list.Layout(p);  // stays current
        uint32_t old_length = static_cast<uint32_t>(std::strlen(list.TextAt(p, layout.tag))) + 1;
        uint32_t new_length = static_cast<uint32_t>(std::strlen(tag)) + 1;
        size_t old_total = list.bytes().size();
        uint32_t old_size = list.EntrySize(p);
        ASSERT_TRUE(list.ReplaceRange(p, layout.tag, old_length, tag, new_length));

        EXPECT_EQ(list.bytes().size(), old_total - old_length + new_length);
        EXPECT_EQ(list.EntrySize(p), old_size - old_length + new_length);
        EXPECT_STREQ(list.TextAt(p, layout.tag), tag);
        for (int32_t q = 0; q < list.count(); ++q) EXPECT_EQ(Fields(list, q, q != p), before[q]) << q;
        ElementList copy;  // the stored form stays consistent as a whole
        EXPECT_TRUE(copy.Assign(list.bytes().data(), static_cast<uint32_t>(list.bytes().size()), list.count()));
      }
    }
  }
}

TEST(WindowTemplate, ReplaceRangeRefusesWhatWouldBreakTheEntry) {
  Windows windows;
  tb::Window sample = SampleWindow();
  ASSERT_TRUE(Read(tb::Template({sample}), &windows));
  ElementList& list = windows[0]->elements;
  const std::vector<uint8_t> before = list.bytes();
  uint32_t size = list.EntrySize(1);
  const uint8_t cursor[] = {0xFF, 0xFF, 0xFF, 0xFF};  // a length word that lies
  struct Case {
    int32_t position;
    uint32_t offset, old_length;
    const void* bytes;
    uint32_t new_length;
  } cases[] = {
      {-1, 0, 0, nullptr, 0},         {10, 0, 0, nullptr, 0},
      {1, size + 1, 0, nullptr, 0},   {1, size, 1, nullptr, 0},
      {1, 8, 0xFFFFFFFF, nullptr, 0}, {1, 0, 0, nullptr, 4},
      {1, 0, size, "abc", 3},         {1, list.Layout(1).cursor_data, 4, cursor, 4},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(list.ReplaceRange(c.position, c.offset, c.old_length, c.bytes, c.new_length)) << c.offset;
    EXPECT_EQ(list.bytes(), before);
  }
  // Replacing the whole entry with an equivalent one is fine, also from its own bytes.
  std::vector<uint8_t> entry(list.EntryData(1), list.EntryData(1) + size);
  EXPECT_TRUE(list.ReplaceRange(1, 0, size, entry.data(), size));
  EXPECT_TRUE(list.ReplaceRange(1, 0, 8, list.EntryData(1), 8));
  EXPECT_EQ(list.bytes(), before);
}

TEST(WindowTemplate, TruncatedOrExtendedTemplatesAreRefused) {
  for (std::vector<uint8_t> whole : {MainWindowBytes(), tb::Template({SampleWindow()})}) {
    Windows windows;
    ASSERT_TRUE(Read(whole, &windows));
    for (size_t length = 0; length < whole.size(); ++length) {
      // A copy of exactly `length` bytes, so that reading on would be caught.
      std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
      ASSERT_FALSE(Read(cut, &windows)) << length;
      ASSERT_TRUE(windows.empty());
    }
    whole.push_back(0);
    EXPECT_FALSE(Read(whole, &windows));
  }
}

TEST(MainWindowTemplate, HoldsTheInstallerWindow) {
  struct Row {
    uint32_t id, type, rect[4], flags;
    std::vector<uint32_t> events;  // the events bound, in stored order
  } rows[] = {
      {0x06010003, 0x00010001, {50, 50, 478, 194}, 1, {0, 12, 1}},  {0x1601320E, 0x00040001, {110, 117, 16, 16}, 5, {}},
      {0x16013200, 0x0001000B, {13, 112, 91, 24}, 5, {0}},   {0x160131FF, 0x00040001, {424, 115, 16, 16}, 5, {}},
      {0x160131FE, 0x00040001, {267, 117, 16, 16}, 5, {}}, {0x160100D2, 0x0001000B, {159, 111, 101, 25}, 5, {0}},
      {0x1601009F, 0x0001001F, {448, 104, 16, 16}, 0, {}}, {0x16010011, 0x0001000B, {317, 111, 100, 25}, 5, {0}},
      {0x16010004, 0x00020002, {0, 109, 423, 20}, 1, {}},  {0x16010005, 0x0001000A, {235, 81, 220, 20}, 1, {}},
      {0x16010006, 0x0001000A, {8, 81, 220, 20}, 1, {}},   {0x16010007, 0x00020005, {8, 49, 448, 22}, 1, {}},
      {0x16010008, 0x00010005, {62, 10, 394, 30}, 7, {}},  {0x16010009, 0x0001000A, {9, 12, 63, 20}, 1, {}},
      {0x1601000C, 0x00010013, {8, 49, 448, 22}, 1, {}},
  };
  Windows windows;
  ASSERT_TRUE(Read(MainWindowBytes(), &windows));
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->window_id, 0x52010002u);
  EXPECT_EQ(windows[0]->attributes, 0x1901000Fu);
  const ElementList& list = windows[0]->elements;
  ASSERT_EQ(list.count(), 15);
  for (int32_t p = 0; p < 15; ++p) {
    const Row& row = rows[p];
    const ElementLayout& l = list.Layout(p);
    SCOPED_TRACE(testing::Message() << "element " << p);
    EXPECT_EQ(list.IdAt(p), row.id);
    EXPECT_EQ(l.component_type, row.type);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.WordAt(p, l.rect + 4 * i), row.rect[i]);
    EXPECT_EQ(list.WordAt(p, l.state_flags), row.flags);
    EXPECT_EQ(list.WordAt(p, l.parent), 0u);
    EXPECT_EQ(list.WordAt(p, l.child_count), 0u);
    EXPECT_EQ(std::vector<uint8_t>(list.CursorData(p).begin(), list.CursorData(p).end()), std::vector<uint8_t>(4, 0));
    EXPECT_STREQ(list.TextAt(p, l.tag), "");
    EXPECT_STREQ(list.TextAt(p, l.comment), "");
    EXPECT_EQ(list.WordAt(p, l.tab_order), 0u);
    ASSERT_EQ(list.WordAt(p, l.event_count), row.events.size());
    for (uint32_t k = 0; k < row.events.size(); ++k) {
      EXPECT_EQ(list.WordAt(p, l.event_count + 4 + 8 * k), row.events[k]);
      uint32_t routine = list.WordAt(p, l.event_count + 8 + 8 * k);
      EXPECT_TRUE(routine >= kCodeBase && routine < kCodeBase + 0x100) << std::hex << routine;
    }
    // Only the dialog keeps its unit's defaults.
    EXPECT_EQ(l.property_size == 0, row.type == 0x0001001F);
  }
}

TEST(WindowTemplate, LyingCountsAndBrokenReferencesAreRefused) {
  using Change = std::function<void(tb::Window&)>;
  struct Case {
    const char* what;
    Change change;
  } cases[] = {
      {"window id not a window", [](tb::Window& w) { w.id = 0x16010002; }},
      {"window id without serial", [](tb::Window& w) { w.id = 0x52000000; }},
      {"no elements", [](tb::Window& w) { w.elements.clear(); }},
      {"element count huge", [](tb::Window& w) { w.element_count = 0xFFFFFFFF; }},
      {"element count 2^29", [](tb::Window& w) { w.element_count = 0x20000000; }},
      {"element count short", [](tb::Window& w) { w.element_count = 3; }},
      {"buffer length huge", [](tb::Window& w) { w.buffer_length = 0xFFFFFFFF; }},
      {"offset past the end", [](tb::Window& w) { w.offsets = std::vector<uint32_t>(w.elements.size(), 1u << 20); }},
      {"offset wraps", [](tb::Window& w) { w.offsets = std::vector<uint32_t>(w.elements.size(), 0xFFFFFFF8); }},
      {"entries overlap",
       [](tb::Window& w) {
         tb::Window fixed = w;
         std::vector<uint8_t> bytes = tb::ElementBuffer(fixed);
         std::vector<uint32_t> offsets(w.elements.size());
         for (size_t i = 0; i < offsets.size(); ++i) offsets[i] = LoadWord(bytes.data() + 4 * (offsets.size() + i));
         offsets[2] = offsets[1];
         w.offsets = offsets;
       }},
      {"entry size huge", [](tb::Window& w) { w.elements[3].entry_size = 0xFFFFFFFF; }},
      {"entry size cuts the name", [](tb::Window& w) { w.elements[1].entry_size = 26; }},
      {"child count huge", [](tb::Window& w) { w.elements[5].child_count = 0xFFFFFFFF; }},
      {"child count 2^30", [](tb::Window& w) { w.elements[5].child_count = 0x40000000; }},
      {"cursor length huge", [](tb::Window& w) { w.elements[2].cursor_length = 0xFFFFFFFF; }},
      {"event count huge", [](tb::Window& w) { w.elements[1].event_count = 0xFFFFFFFF; }},
      {"event count 2^29", [](tb::Window& w) { w.elements[1].event_count = 0x20000000; }},
      {"element id without kind", [](tb::Window& w) { w.elements[2].id = 0x10010077; }},
      {"element id without serial", [](tb::Window& w) { w.elements[2].id = 0x16000000; }},
      {"element ids repeat", [](tb::Window& w) { w.elements[4].id = w.elements[3].id; }},
      {"first element not the window", [](tb::Window& w) { std::swap(w.elements[0], w.elements[1]); }},
      {"window element of another type", [](tb::Window& w) { w.elements[0].type = 0x0001000B; }},
      {"a second window element", [](tb::Window& w) { w.elements[4].type = 0x00010001; }},
      {"parent unknown", [](tb::Window& w) { w.elements[6].parent = 0x16017777; }},
      {"parent is a menu item", [](tb::Window& w) { w.elements[6].parent = 0x26010030; }},
      {"parents circle", [](tb::Window& w) { w.elements[5].parent = 0x16010022; }},
      {"parent is itself", [](tb::Window& w) { w.elements[5].parent = 0x16010020; }},
      {"child unknown", [](tb::Window& w) { w.elements[5].children[1] = 0x16017777; }},
      {"event source unknown", [](tb::Window& w) { w.elements[2].event_source = 0x16017777; }},
      {"event sources circle", [](tb::Window& w) { w.elements[1].event_source = 0x160100D2; }},
  };
  for (const Case& c : cases) {
    tb::Window window = SampleWindow();
    c.change(window);
    Windows windows;
    EXPECT_FALSE(Read(tb::Template({window}), &windows)) << c.what;
    EXPECT_TRUE(windows.empty()) << c.what;
  }

  // The window table itself.
  std::vector<uint8_t> bytes = tb::Template({SampleWindow()});
  Windows windows;
  for (uint32_t length : {0xFFFFFFFFu, 4u, 12u, 0x80000000u}) {
    std::vector<uint8_t> lying = bytes;
    StoreWord(lying.data(), length);
    EXPECT_FALSE(Read(lying, &windows)) << length;
  }
  tb::Window twin = SampleWindow();
  EXPECT_FALSE(Read(tb::Template({twin, twin}), &windows));
}

}  // namespace
