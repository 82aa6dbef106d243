#include "ui/window_records.h"

namespace {

std::vector<std::unique_ptr<WindowRecord>> g_records;

uint32_t SlotWord(ElementList& elements, int32_t position, uint32_t ElementLayout::*field) {
  return LoadWord(elements.EntryData(position) + elements.Layout(position).*field);
}
void SetSlotWord(ElementList& elements, int32_t position, uint32_t ElementLayout::*field, uint32_t value) {
  StoreWord(elements.EntryData(position) + elements.Layout(position).*field, value);
}

}  // namespace

bool g_replacing_element = false;

Component* WindowRecord::ObjectAt(int32_t position) {
  ElementList& list = elements();
  if (position < 0 || position >= list.count() || list.Layout(position).menu_item) return nullptr;
  return reinterpret_cast<Component*>(static_cast<uintptr_t>(SlotWord(list, position, &ElementLayout::object_slot)));
}

void WindowRecord::SetObjectAt(int32_t position, Component* object) {
  SetSlotWord(elements(), position, &ElementLayout::object_slot,
              static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object)));
}

HCURSOR WindowRecord::CursorAt(int32_t position) {
  if (elements().Layout(position).menu_item) return nullptr;
  return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(SlotWord(elements(), position, &ElementLayout::cursor_slot)));
}

void WindowRecord::SetCursorAt(int32_t position, HCURSOR cursor) {
  SetSlotWord(elements(), position, &ElementLayout::cursor_slot,
              static_cast<uint32_t>(reinterpret_cast<uintptr_t>(cursor)));
}

std::vector<std::unique_ptr<WindowRecord>>& WindowRecords() { return g_records; }

WindowRecord* FindWindowRecord(uint32_t window_id) {
  if (!IsValidId(window_id) || g_records.empty()) return nullptr;
  if (g_records[0]->id() == window_id) return g_records[0].get();
  for (auto& record : g_records)
    if (record->id() == window_id) return record.get();
  return nullptr;
}

ElementRect ReadElementRect(ElementList& elements, int32_t position) {
  const uint8_t* p = elements.EntryData(position) + elements.Layout(position).rect;
  return {static_cast<int32_t>(LoadWord(p)), static_cast<int32_t>(LoadWord(p + 4)),
          static_cast<int32_t>(LoadWord(p + 8)), static_cast<int32_t>(LoadWord(p + 12))};
}

void WriteElementRect(ElementList& elements, int32_t position, const ElementRect& rect) {
  uint8_t* p = elements.EntryData(position) + elements.Layout(position).rect;
  StoreWord(p, static_cast<uint32_t>(rect.left));
  StoreWord(p + 4, static_cast<uint32_t>(rect.top));
  StoreWord(p + 8, static_cast<uint32_t>(rect.width));
  StoreWord(p + 12, static_cast<uint32_t>(rect.height));
}

uint32_t ElementStateFlags(ElementList& elements, int32_t position) {
  const ElementLayout& layout = elements.Layout(position);
  return LoadWord(elements.EntryData(position) + (layout.menu_item ? layout.menu_flags : layout.state_flags));
}

void SetElementStateFlags(ElementList& elements, int32_t position, uint32_t flags) {
  const ElementLayout& layout = elements.Layout(position);
  StoreWord(elements.EntryData(position) + (layout.menu_item ? layout.menu_flags : layout.state_flags), flags);
}

const char* ElementTagText(ElementList& elements, int32_t position) {
  const ElementLayout& layout = elements.Layout(position);
  if (layout.menu_item) return nullptr;
  return reinterpret_cast<const char*>(elements.EntryData(position) + layout.tag);
}
