#include "ui/display_scale.h"

#include <cstdint>

#include "runtime/system_library.h"

namespace display {

namespace {

// The window property that holds a top-level window's layout DPI.
constexpr wchar_t kLayoutDpiProperty[] = L"qelmo.layout-dpi";

// Windows 10 1607 and later. Looked up at run time: imported, they would
// stop the program starting on Windows 7.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

GetDpiForWindowFunction DpiForWindowQuery() {
  static const auto query = SystemFunctionAs<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  return query;
}

// A DPI outside what any system offers (25% to 1600%) is no DPI.
bool Plausible(int dpi) { return dpi >= 24 && dpi <= 1536; }

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int answer = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return Plausible(answer) ? answer : kTemplateDpi;
  }();
  return dpi;
}

int SystemWindowDpi(HWND window) {
  GetDpiForWindowFunction query = DpiForWindowQuery();
  int dpi = query && window ? static_cast<int>(query(window)) : 0;
  return Plausible(dpi) ? dpi : SystemDpi();
}

int WindowDpi(HWND window) {
  HWND top_level = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!top_level) return SystemDpi();
  auto stored = static_cast<int>(reinterpret_cast<intptr_t>(GetPropW(top_level, kLayoutDpiProperty)));
  return Plausible(stored) ? stored : SystemWindowDpi(top_level);
}

bool SetLayoutDpi(HWND top_level, int dpi) {
  return Plausible(dpi) && SetPropW(top_level, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(dpi)));
}

void ForgetLayoutDpi(HWND top_level) { RemovePropW(top_level, kLayoutDpiProperty); }

int SystemMetricAt(int index, int dpi) {
  static const auto query =
      SystemFunctionAs<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
  if (query) return query(index, static_cast<UINT>(dpi));
  // Before it the metrics are the system DPI's, which is then every window's.
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace display
