#include "ui/component_rebuild.h"

#include <windows.h>

#include "runtime/notify.h"
#include "ui/component.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

void RebuildComponent(WindowRecord* record, int32_t position, const UnitDescriptor* unit) {
  Component* old_object = record->ObjectAt(position);
  if (!old_object || (unit->flags & kUnitNeverRebuilt)) return;
  auto save = reinterpret_cast<UnitSaveProperties>(unit->interface_function(UNIT_SAVE_PROPERTIES));
  auto create = reinterpret_cast<UnitCreate>(unit->interface_function(UNIT_CREATE));
  if (!save || !create) return;
  NotifyRuntime(NR_SUSPEND_EVENTS, 0, 0);
  HGLOBAL saved = save(old_object);
  const auto* data = saved ? static_cast<const uint8_t*>(GlobalLock(saved)) : nullptr;
  uint32_t size = saved ? static_cast<uint32_t>(GlobalSize(saved)) : 0;

  HWND old_window = old_object->hwnd();
  HWND parent = old_window ? GetParent(old_window) : nullptr;
  RECT rect = {0, 0, 0, 0};
  if (old_window) {
    GetWindowRect(old_window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  LONG style = old_window ? GetWindowLongW(old_window, GWL_STYLE) : 0;
  uint32_t extra_style = (style & WS_DISABLED) | (style & WS_TABSTOP);
  bool was_visible = old_window && IsWindowVisible(old_window);
  bool had_focus = old_window && GetFocus() == old_window;
  auto control_id = old_window ? static_cast<uint32_t>(GetDlgCtrlID(old_window)) : 0;

  Component* fresh = create(data, size, extra_style, parent, control_id, nullptr, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, record->id(),
                            record->elements().IdAt(position), 0, 0);
  if (saved) {
    GlobalUnlock(saved);
    GlobalFree(saved);
  }
  if (!fresh) {
    NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
    return;
  }
  HWND new_window = fresh->hwnd();
  if (new_window && old_window && (unit->flags & kUnitMovesChildrenOnRebuild)) {
    for (HWND child = GetWindow(old_window, GW_CHILD); child;) {
      HWND next = GetWindow(child, GW_HWNDNEXT);
      SetParent(child, new_window);
      child = next;
    }
  }
  record->SetObjectAt(position, fresh);
  if (new_window) {
    if (old_window) SetWindowPos(new_window, old_window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(new_window, WM_UNIT_BEFORE_SHOW, 0, 0);
    SendMessageW(new_window, WM_UNIT_AFTER_CREATED, 0, 0);
    if ((unit->flags & kUnitDocks) && parent) SendMessageW(parent, WM_UNIT_DOCKING_LAYOUT, 0, 0);
    if (was_visible) ShowWindow(new_window, SW_SHOWNA);
  }
  g_replacing_element = true;
  if (old_window)
    DestroyWindow(old_window);
  else
    old_object->DestroyWindowless();
  g_replacing_element = false;
  if (had_focus && new_window) SetFocus(new_window);
  NotifyRuntime(NR_RESUME_EVENTS, 0, 0);
}

