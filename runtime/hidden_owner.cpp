#include "runtime/hidden_owner.h"

#include "platform/window_class.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"

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
  RegisterWindowClass(kClassName, 0, HiddenOwnerProc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  return CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}
