#include "ui/component.h"

#include "runtime/notify.h"
#include "ui/common_controls.h"
#include "ui/events.h"

namespace {

constexpr wchar_t kComponentProperty[] = L"qelmo.component";
constexpr UINT_PTR kSubclassId = 0x51454C4D;

}  // namespace

Component* Component::FromWindow(HWND window) {
  return window ? static_cast<Component*>(GetPropW(window, kComponentProperty)) : nullptr;
}

bool Component::OnReflected(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Component::RaiseEvent(int32_t event, const uint32_t* args, int32_t count, uint32_t* result, bool* has_result) {
  EventRequest request = {};
  request.window_id = window_id_;
  request.element_id = element_id_;
  request.event = event;
  request.arg_count = count < 0 ? 0 : (count > 5 ? 5 : count);
  for (int32_t i = 0; i < request.arg_count; ++i) request.args[i] = args[i];
  bool ran = RaiseElementEvent(&request);
  if (result) *result = request.result;
  if (has_result) *has_result = request.has_result != 0;
  return ran;
}

void Component::DestroyWindowless() {
  if (!hwnd_) OnFinalDestroy();
}

void Component::Attach(HWND window) {
  hwnd_ = window;
  SetPropW(window, kComponentProperty, this);
  common_controls::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Component::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) { return Default(message, wparam, lparam); }

LRESULT Component::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  return common_controls::DefSubclassProc(hwnd_, message, wparam, lparam);
}

void Component::OnFinalDestroy() {
  NotifyRuntime(NR_ELEMENT_DESTROYED, static_cast<int32_t>(window_id_), static_cast<int32_t>(element_id_));
  delete this;
}

LRESULT CALLBACK Component::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR data) {
  auto* self = reinterpret_cast<Component*>(data);
  if (message == WM_NCDESTROY) {
    LRESULT result = self->WindowProc(message, wparam, lparam);
    common_controls::RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    RemovePropW(window, kComponentProperty);
    self->hwnd_ = nullptr;
    self->OnFinalDestroy();
    return result;
  }
  return self->WindowProc(message, wparam, lparam);
}
