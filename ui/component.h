// The live object of a window element: the unit's own class over the Win32
// window it created. It keeps the window id and element id it was made for,
// raises its events under them and tells the runtime when it is destroyed.
#pragma once
#include <windows.h>

#include <cstdint>

// Event numbers as the template's bindings give them: the window
// element's, raised by the window manager and the window unit, and the
// focus events every unit raises. A unit's own event 0 (a button's click,
// an edit box's change) is named in its file.
enum WindowEvent : int32_t {
  kWindowCreated = 0,
  kWindowCloseQuery = 1,
  kWindowDestroyed = 2,
  kWindowMoved = 3,
  kWindowResized = 4,
  kWindowShown = 10,
  kWindowHidden = 11,
  kWindowFirstCloseQuery = 12,  // on WM_CLOSE, before the close query
};
enum FocusEvent : int32_t { kFocusGained = -7, kFocusLost = -8 };

class Component {
 public:
  Component(uint32_t window_id, uint32_t element_id) : window_id_(window_id), element_id_(element_id) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  HWND hwnd() const { return hwnd_; }
  uint32_t window_id() const { return window_id_; }
  uint32_t element_id() const { return element_id_; }

  // The component of a window made by a unit, or null.
  static Component* FromWindow(HWND window);

  // Notifications the parent window passes on to the child they concern
  // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, scroll messages).
  virtual bool OnReflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

  // Raises one of this component's events with up to five word arguments;
  // true when a routine ran. `result` receives its value when it gave one.
  bool RaiseEvent(int32_t event, const uint32_t* args = nullptr, int32_t count = 0, uint32_t* result = nullptr,
                  bool* has_result = nullptr);

  // Ends a windowless component (a window-backed one ends with its window).
  void DestroyWindowless();

  // Its window's DPI changed, and the window manager has placed it for the
  // new one: what the component made for the old DPI (fonts, pictures,
  // widths) is made again. Its top-level window repaints it afterwards.
  virtual void OnDpiChanged() {}

 protected:
  // Ties the object to its window: from now on the object sees the window's
  // messages through WindowProc and ends with it.
  void Attach(HWND window);
  // The window's messages; the default passes them on.
  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);
  // Called once the window is gone: tells the runtime, then deletes the object.
  virtual void OnFinalDestroy();

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR data);
  HWND hwnd_ = nullptr;
  uint32_t window_id_;
  uint32_t element_id_;
};
