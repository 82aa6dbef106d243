#include "hidden_owner.h"

#include "runtime_app.h"
#include "shutdown.h"

namespace {

constexpr wchar_t kClassName[] = L"_ZU_HideOwner";

LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Another thread asked to end the program: the shutdown runs here, on the
  // main thread, and the process ends with the code it gave.
  if (message == WM_RUNTIME_END) EndProgram(static_cast<int32_t>(wparam));
  return DefWindowProcW(window, message, wparam, lparam);
}

void DestroyHiddenOwner() {
  if (g_app.hidden_owner && IsWindow(g_app.hidden_owner)) DestroyWindow(g_app.hidden_owner);
  g_app.hidden_owner = nullptr;
}

}  // namespace

HWND CreateHiddenOwner() {
  SetShutdownStep(ShutdownStage::kHiddenOwner, DestroyHiddenOwner);
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = HiddenOwnerProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  window_class.lpszClassName = kClassName;
  RegisterClassW(&window_class);
  return CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                         window_class.hInstance, nullptr);
}
