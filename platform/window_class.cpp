#include "platform/window_class.h"

bool RegisterWindowClass(const wchar_t* name, UINT style, WNDPROC procedure, HBRUSH background) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW existing;
  if (GetClassInfoW(instance, name, &existing)) return true;
  WNDCLASSW window_class = {};
  window_class.style = style;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  return RegisterClassW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
