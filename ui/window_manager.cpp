#include "ui/window_manager.h"

#include <vector>

#include "platform/wide_text.h"
#include "runtime/message_loop.h"
#include "runtime/notify.h"
#include "runtime/runtime_services.h"
#include "ui/component.h"
#include "ui/cursors.h"
#include "ui/display_scale.h"
#include "ui/events.h"
#include "ui/menu_commands.h"
#include "ui/unit.h"

// A record's live window is its window element's component's: defined here,
// above both, so that the records know nothing of components.
HWND WindowRecord::WindowHandle() {
  Component* window = WindowObject();
  return window && window->hwnd() && IsWindow(window->hwnd()) ? window->hwnd() : nullptr;
}

namespace {

constexpr uint32_t kFirstControlId = 100;
constexpr uint32_t kControlIdStep = 10;

struct Created {
  int32_t position;
  bool visible;
};

void SuspendEvents() { NotifyRuntime(NR_SUSPEND_EVENTS, 0, 0); }
void ResumeEvents() { NotifyRuntime(NR_RESUME_EVENTS, 0, 0); }

// A flat menu of the window's menu items, each with the command id of its
// list position.
HMENU BuildMenu(ElementList& elements) {
  HMENU menu = nullptr;
  for (int32_t i = 0; i < elements.count(); ++i) {
    const ElementLayout& layout = elements.Layout(i);
    if (!layout.menu_item) continue;
    uint32_t flags = ElementStateFlags(elements, i);
    if (flags & kMenuHidden) continue;
    if (!menu) menu = CreateMenu();
    const char* caption = reinterpret_cast<const char*>(elements.EntryData(i) + layout.menu_caption);
    UINT state = MF_STRING | ((flags & kMenuDisabled) ? MF_GRAYED : 0) | ((flags & kMenuChecked) ? MF_CHECKED : 0);
    wchar_t wide[256];
    int n = MultiByteToWideChar(kGbkCodePage, 0, caption, -1, wide, 256);
    if (n <= 0) wide[0] = 0;
    AppendMenuW(menu, state, MenuCommandOf(i), wide);
  }
  return menu;
}

// The element's rectangle is in template units: at `dpi` in pixels. The
// window's own outer rectangle is scaled (its frame, which the system draws,
// grows by its own rules, so the client area is never smaller than the
// scaled template's); its left and top are screen pixels and stay.
ElementRect PixelRect(ElementList& elements, int32_t position, int dpi) {
  ElementRect rect = ReadElementRect(elements, position);
  if (position != 0) {
    rect.left = display::ToPixels(rect.left, dpi);
    rect.top = display::ToPixels(rect.top, dpi);
  }
  rect.width = display::ToPixels(rect.width, dpi);
  rect.height = display::ToPixels(rect.height, dpi);
  return rect;
}

Component* CreateElementObject(WindowRecord* record, int32_t position, HWND parent, uint32_t control_id, HMENU menu,
                               bool* visible) {
  ElementList& elements = record->elements();
  const ElementLayout& layout = elements.Layout(position);
  const UnitDescriptor* unit = FindUnit(layout.component_type);
  if (!unit || !unit->interface_function) return nullptr;
  auto create = reinterpret_cast<UnitCreate>(unit->interface_function(UNIT_CREATE));
  if (!create) return nullptr;
  uint32_t flags = ElementStateFlags(elements, position);
  uint32_t extra_style = ((flags & kElementDisabled) ? WS_DISABLED : 0) | ((flags & kElementTabStop) ? WS_TABSTOP : 0);
  *visible = (flags & kElementVisible) && !(unit->flags & kUnitWindowless);
  ElementRect rect = PixelRect(elements, position, display::WindowDpi(parent));
  // The data and size are taken before creation: nothing may move the
  // element buffer while the unit reads it.
  const uint8_t* data = elements.EntryData(position) + layout.property_data;
  return create(data, layout.property_size, extra_style, parent, control_id, menu, rect.left, rect.top, rect.width,
                rect.height, record->id(), elements.IdAt(position), 0, 0);
}

void DestroyPartialLoad(WindowRecord* record, const std::vector<Created>& created) {
  for (const Created& c : created) {
    Component* object = record->ObjectAt(c.position);
    if (!object) continue;
    if (object->hwnd()) {
      DestroyWindow(object->hwnd());
    } else {
      object->DestroyWindowless();
    }
  }
  if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
  record->accelerators = nullptr;
  if (record->menu && !record->IsAlive()) DestroyMenu(record->menu);
  record->menu = nullptr;
}

HWND ParentWindowOf(WindowRecord* record, int32_t position, HWND window) {
  ElementList& elements = record->elements();
  uint32_t parent_id = LoadWord(elements.EntryData(position) + elements.Layout(position).parent);
  if (parent_id == 0) return window;
  Component* parent = record->ObjectAt(elements.PositionOf(parent_id));
  return parent && parent->hwnd() ? parent->hwnd() : window;
}

// Each component directly after the previous element with the same parent.
void RestoreZOrder(WindowRecord* record) {
  ElementList& elements = record->elements();
  for (int32_t i = 1; i < elements.count(); ++i) {
    Component* object = record->ObjectAt(i);
    if (!object || !object->hwnd()) continue;
    HWND parent = GetParent(object->hwnd());
    HWND after = HWND_TOP;
    for (int32_t j = i - 1; j >= 1; --j) {
      Component* previous = record->ObjectAt(j);
      if (previous && previous->hwnd() && GetParent(previous->hwnd()) == parent) {
        after = previous->hwnd();
        break;
      }
    }
    SetWindowPos(object->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void CreateCursors(WindowRecord* record) {
  ElementList& elements = record->elements();
  for (int32_t i = 0; i < elements.count(); ++i) {
    const ElementLayout& layout = elements.Layout(i);
    if (layout.menu_item) continue;
    const uint8_t* data = elements.EntryData(i) + layout.cursor_data;
    record->SetCursorAt(i, CursorFromData(data + 4, LoadWord(data)));
  }
}

struct ModalSearch {
  HWND modal;
  std::vector<std::pair<HWND, bool>>* disabled;
};

BOOL CALLBACK DisableOtherTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ModalSearch*>(param);
  if (window == search->modal || GetParent(window) || window == HiddenOwner()) return TRUE;
  bool was_enabled = IsWindowEnabled(window) != 0;
  search->disabled->push_back({window, was_enabled});
  EnableWindow(window, FALSE);
  return TRUE;
}

// Start positions 2 and 3 of the window unit: shown minimised or maximised.
int ShowCommandFor(HWND window) {
  LONG style = GetWindowLongW(window, GWL_STYLE);
  if (style & WS_MINIMIZE) return SW_SHOWMINIMIZED;
  if (style & WS_MAXIMIZE) return SW_SHOWMAXIMIZED;
  return SW_SHOW;
}

}  // namespace

bool LoadWindow(WindowRecord* record, bool modal, HWND owner) {
  if (HWND live = record->WindowHandle()) {
    if (IsIconic(live))
      ShowWindow(live, SW_RESTORE);
    else
      SetActiveWindow(live);
    return true;
  }
  if (modal) owner = nullptr;
  if (owner && !IsWindow(owner)) return false;
  if (modal) owner = HiddenOwner();

  HWND focus_before = GetFocus();
  SuspendEvents();
  ElementList& elements = record->elements();
  record->menu = BuildMenu(elements);
  record->accelerators = nullptr;

  std::vector<Created> created;
  bool window_visible = false;
  Component* window_object = CreateElementObject(record, 0, owner, 0, record->menu, &window_visible);
  if (!window_object || !window_object->hwnd()) {
    if (window_object) window_object->DestroyWindowless();
    DestroyPartialLoad(record, created);
    ResumeEvents();
    return false;
  }
  record->SetObjectAt(0, window_object);
  HWND window = window_object->hwnd();

  uint32_t control_id = kFirstControlId;
  for (int32_t i = elements.count() - 1; i >= 1; --i) {
    if (elements.Layout(i).menu_item) continue;
    bool visible = false;
    Component* object = CreateElementObject(record, i, window, control_id, nullptr, &visible);
    control_id += kControlIdStep;
    if (!object) {
      DestroyPartialLoad(record, created);
      DestroyWindow(window);
      ResumeEvents();
      return false;
    }
    record->SetObjectAt(i, object);
    created.push_back({i, visible});
  }

  for (const Created& c : created) {
    Component* object = record->ObjectAt(c.position);
    HWND parent = ParentWindowOf(record, c.position, window);
    if (object->hwnd() && parent != window) SetParent(object->hwnd(), parent);
  }
  RestoreZOrder(record);
  CreateCursors(record);

  // `created` runs from the last element to the first.
  for (const Created& c : created)
    if (HWND h = record->ObjectAt(c.position)->hwnd()) SendMessageW(h, WM_UNIT_BEFORE_SHOW, 0, 0);
  SendMessageW(window, WM_UNIT_DOCKING_LAYOUT, 0, 0);
  for (const Created& c : created)
    if (HWND h = record->ObjectAt(c.position)->hwnd()) ShowWindow(h, c.visible ? SW_SHOWNA : SW_HIDE);

  ResumeEvents();

  for (int32_t event : {kWindowCreated, kWindowMoved, kWindowResized})
    if (record->IsAlive()) record->WindowObject()->RaiseEvent(event);
  if (record->IsAlive() && (ElementStateFlags(elements, 0) & kElementVisible)) {
    ShowWindow(window, ShowCommandFor(window));
    Component* focused = Component::FromWindow(GetFocus());
    if (focused && focused->window_id() == record->id())
      focused->RaiseEvent(kFocusGained);
    else if (GetFocus() == window)
      record->WindowObject()->RaiseEvent(kFocusGained);
  }
  if (!record->IsAlive()) return true;

  if (modal) {
    record->modal = true;
    ModalSearch search = {window, &record->disabled_windows};
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherTopLevel, reinterpret_cast<LPARAM>(&search));
  }
  for (const Created& c : created)
    if (Component* object = record->ObjectAt(c.position); object && object->hwnd())
      SendMessageW(object->hwnd(), WM_UNIT_AFTER_CREATED, 0, 0);
  if (focus_before && IsWindow(focus_before) && GetFocus() != focus_before && !modal) SetFocus(focus_before);
  return true;
}

void LayOutForDpi(WindowRecord* record) {
  ElementList& elements = record->elements();
  int dpi = display::WindowDpi(record->WindowHandle());
  for (int32_t i = 1; i < elements.count(); ++i) {
    Component* object = record->ObjectAt(i);
    if (!object || !object->hwnd() || elements.Layout(i).menu_item) continue;
    ElementRect rect = PixelRect(elements, i, dpi);
    SetWindowPos(object->hwnd(), nullptr, rect.left, rect.top, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
    object->OnDpiChanged();
  }
}

void RebuildWindowMenu(WindowRecord* record) {
  HWND window = record->WindowHandle();
  if (!window) return;
  HMENU old_menu = GetMenu(window);
  record->menu = BuildMenu(record->elements());
  SetMenu(window, record->menu);
  if (old_menu) DestroyMenu(old_menu);
  DrawMenuBar(window);
}

void OnWindowDestroyed(WindowRecord* record) {
  if (record->accelerators) DestroyAcceleratorTable(record->accelerators);
  record->accelerators = nullptr;
  record->menu = nullptr;  // destroyed with its window
  ElementList& elements = record->elements();
  for (int32_t i = 0; i < elements.count(); ++i) {
    if (elements.Layout(i).menu_item) continue;
    if (HCURSOR cursor = record->CursorAt(i)) DestroyCursor(cursor);
    record->SetCursorAt(i, nullptr);
    // Windowless components end with their window.
    Component* object = record->ObjectAt(i);
    if (i > 0 && object && !object->hwnd()) object->DestroyWindowless();
  }
  for (auto& [window, was_enabled] : record->disabled_windows)
    if (IsWindow(window)) EnableWindow(window, was_enabled);
  record->disabled_windows.clear();
  record->modal = false;
  NotifyRuntime(NR_ELEMENT_DESTROYED, static_cast<int32_t>(record->id()), 0);
  PostQuitIfNoWindowLeft();
}

bool FindElementOfObject(const Component* component, WindowRecord** record, int32_t* position) {
  WindowRecord* r = FindWindowRecord(component->window_id());
  if (!r) return false;
  int32_t p = component->element_id() == 0 ? 0 : r->elements().PositionOf(component->element_id());
  if (p < 0) return false;
  *record = r;
  *position = p;
  return true;
}
