// The common controls library, taken from the system folder at run time.
// It is not among the libraries Windows always loads from there: imported
// by the program file, it would be looked for first in the program's
// folder, which is usually Downloads. (Not delay-loaded either: the
// delay-load helper loads by bare name, and Windows 7 without its update
// then searches the program's folder first.) Its functions are resolved
// once, on first use.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace common_controls {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL GetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace common_controls
