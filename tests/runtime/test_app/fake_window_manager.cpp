// A stand-in window manager for the runtime's own tests: one window id that
// loads as a plain window, tags for the error location, and a template that
// reads or fails as the scenario says.
#include "tests/runtime/test_app/fake_window_manager.h"

#include "platform/window_class.h"
#include "runtime/message_loop.h"
#include "runtime/window_link.h"

FakeWindowPlan g_fake_plan;

namespace {

HWND g_window = nullptr;
constexpr UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK FakeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kCloseTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      g_window = nullptr;
      PostQuitIfNoWindowLeft();
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

namespace window_link {

bool LoadTemplate(const void*, uint32_t, const void*) { return !g_fake_plan.template_damaged; }
void DeleteAllWindowRecords() {
  if (g_window) DestroyWindow(g_window);
}
bool AnyWindowAlive() { return g_window && IsWindow(g_window); }

bool LoadStartWindow(uint32_t window_id) {
  if (window_id != kFakeWindowId) return false;
  RegisterWindowClass(L"FakeRuntimeWindow", 0, FakeWindowProc);
  g_window = CreateWindowExW(0, L"FakeRuntimeWindow", L"fake", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!g_window) return false;
  if (g_fake_plan.close_after_ms == 0)
    DestroyWindow(g_window);
  else if (g_fake_plan.close_after_ms > 0)
    SetTimer(g_window, kCloseTimer, static_cast<UINT>(g_fake_plan.close_after_ms), nullptr);
  return true;
}

int32_t WindowCount() { return 0; }
bool FireIdleEvent(int32_t, uint32_t) { return false; }
bool PreTranslate(MSG*) { return false; }

const char* WindowTag(uint32_t window_id) { return window_id == kFakeWindowId ? g_fake_plan.window_tag : nullptr; }
const char* ElementTag(uint32_t window_id, uint32_t element_id) {
  if (window_id != kFakeWindowId) return nullptr;
  return element_id == kFakeElementId ? g_fake_plan.element_tag : nullptr;  // the menu item and others: none
}
int32_t Notify(int32_t, int32_t, int32_t) { return 0; }
uint64_t ReadProperty(uint32_t, uint32_t, int32_t, int32_t) { return 0; }
void WriteProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) {}
uint64_t ReadObjectProperty(uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
void WriteObjectProperty(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}

}  // namespace window_link
