// The window unit: the window element of a template window as a top-level
// window, with its keyboard handling and its events.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi_handle.h"
#include "ui/component.h"
#include "ui/unit.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_font.h"
#include "ui/units/unit_window.h"
#include "ui/units/window_properties.h"

// Border: 0 none, 1 resizable, 2 fixed, 3/4 tool window, 5/6 client edge.
// Start position: 0 as stored, 1 centred, 2 minimised, 3 maximised.
struct WindowProperties : WindowStored {
  bool Resizable() const { return border == 1 || border == 3 || border == 5; }
};

inline constexpr auto kWindowTable = WindowTable<WindowProperties>();

// The class name is used at the next load: a window is never made again.
class WindowForm : public units::TableComponent<WindowProperties, kWindowTable> {
 public:
  using TableComponent::TableComponent;

  static WindowForm* FromWindow(HWND window);
  bool Create(const controls::Placement& at);
  bool GetOwn(int32_t number, PropertyValue* value);
  int32_t Apply(units::Change change, int32_t number, const PropertyValue& value);

  // Keyboard handling before dispatch; true when the key was used.
  bool HandleKey(MSG* message);
  void RunDockingLayout();
  // Live writes of the frame, movable, icon and task-bar properties.
  void ApplyFrame();
  void ApplyMovable();
  void ApplyIcons();
  void ApplyTaskbar();
  // Moved to a screen of another scale: laid out again for `dpi` in the
  // rectangle the system suggests.
  void MoveToDpi(int dpi, const RECT* suggested);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnFinalDestroy() override;

 private:
  bool RaiseEventAndLive(int32_t event, uint32_t* result = nullptr, bool* has_result = nullptr, bool* ran = nullptr);
  bool QueryClose(bool with_first_query, bool* gone);
  bool PressDefaultButton(HWND focused);
  void OpenHelp();
  bool SetElementCursor(HWND target);
  COLORREF BackgroundColour() const;

  bool docking_enabled_ = false;
  OwnedIcon own_icons_[2];
  controls::UnitFont default_font_;  // the default GUI font at the window's DPI
};

extern const UnitDescriptor kWindowUnit;
