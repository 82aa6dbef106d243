#include "ui/common_controls.h"

#include "runtime/system_library.h"

namespace common_controls {
namespace {

struct Functions {
  decltype(&::InitCommonControlsEx) init_common_controls_ex;
  decltype(&::SetWindowSubclass) set_window_subclass;
  decltype(&::GetWindowSubclass) get_window_subclass;
  decltype(&::RemoveWindowSubclass) remove_window_subclass;
  decltype(&::DefSubclassProc) def_subclass_proc;
};

const Functions& Resolved() {
  static const Functions functions = [] {
    constexpr wchar_t kLibrary[] = L"comctl32.dll";
    return Functions{
        SystemFunctionAs<decltype(&::InitCommonControlsEx)>(kLibrary, "InitCommonControlsEx"),
        SystemFunctionAs<decltype(&::SetWindowSubclass)>(kLibrary, "SetWindowSubclass"),
        SystemFunctionAs<decltype(&::GetWindowSubclass)>(kLibrary, "GetWindowSubclass"),
        SystemFunctionAs<decltype(&::RemoveWindowSubclass)>(kLibrary, "RemoveWindowSubclass"),
        SystemFunctionAs<decltype(&::DefSubclassProc)>(kLibrary, "DefSubclassProc"),
    };
  }();
  return functions;
}

}  // namespace

// A missing library or function answers as a failed call would: no classes,
// no subclass (so nothing ever reaches DefSubclassProc).
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
  auto call = Resolved().init_common_controls_ex;
  return call ? call(classes) : FALSE;
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
  auto call = Resolved().set_window_subclass;
  return call ? call(window, procedure, id, data) : FALSE;
}

BOOL GetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* data) {
  auto call = Resolved().get_window_subclass;
  return call ? call(window, procedure, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  auto call = Resolved().remove_window_subclass;
  return call ? call(window, procedure, id) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto call = Resolved().def_subclass_proc;
  return call ? call(window, message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace common_controls
