// The loaded window records: one per template window, with its private
// element list and, while the window exists, its live state.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ui/template/window_template.h"

class Component;

class WindowRecord {
 public:
  explicit WindowRecord(std::unique_ptr<TemplateWindow> window) : window_(std::move(window)) {}

  uint32_t id() const { return window_->window_id; }
  ElementList& elements() { return window_->elements; }

  // The live object of an element (slot word), or null.
  Component* ObjectAt(int32_t position);
  void SetObjectAt(int32_t position, Component* object);
  Component* WindowObject() { return ObjectAt(0); }
  HWND WindowHandle();
  bool IsAlive() { return WindowHandle() != nullptr; }

  HCURSOR CursorAt(int32_t position);
  void SetCursorAt(int32_t position, HCURSOR cursor);

  // Live state.
  HMENU menu = nullptr;
  HACCEL accelerators = nullptr;
  bool modal = false;
  std::vector<std::pair<HWND, bool>> disabled_windows;  // disabled by a modal show, with their old state

 private:
  std::unique_ptr<TemplateWindow> window_;
};

std::vector<std::unique_ptr<WindowRecord>>& WindowRecords();
// Lookup by window id; ids that are not valid are never found.
WindowRecord* FindWindowRecord(uint32_t window_id);

// While a component is replaced by a rebuilt one, the old object's
// destruction notice must not clear the new object's slot.
extern bool g_replacing_element;

// Element field helpers on a record's entry.
struct ElementRect {
  int32_t left, top, width, height;
};
ElementRect ReadElementRect(ElementList& elements, int32_t position);
void WriteElementRect(ElementList& elements, int32_t position, const ElementRect& rect);
uint32_t ElementStateFlags(ElementList& elements, int32_t position);
void SetElementStateFlags(ElementList& elements, int32_t position, uint32_t flags);
const char* ElementTagText(ElementList& elements, int32_t position);
