// The window unit: the window element of a template window as a top-level
// window, with its keyboard handling and its events.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../component.h"
#include "../unit.h"
#include "value/byte_reader.h"

struct WindowProperties {
  // Border: 0 none, 1 resizable, 2 fixed, 3/4 tool window, 5/6 client edge.
  uint32_t border = 2;
  uint32_t picture_mode = 1;
  uint32_t background_colour = 0xFF000000;
  uint32_t maximise_button = 0;
  uint32_t minimise_button = 1;
  uint32_t control_button = 1;
  uint32_t start_position = 1;  // 0 as stored, 1 centred, 2 minimised, 3 maximised
  uint32_t movable = 1;
  uint32_t sound_repeat = 0;
  uint32_t enter_moves_focus = 0;
  uint32_t esc_closes = 0;
  uint32_t f1_opens_help = 0;
  uint32_t help_context = 0;
  uint32_t show_in_taskbar = 1;
  uint32_t free_dragging = 0;
  uint32_t shape = 0;
  uint32_t always_on_top = 0;
  uint32_t keep_title_active = 0;
  std::string class_name;
  std::vector<uint8_t> background_picture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> background_sound;
  std::string title;
  std::string help_file;

  static constexpr uint32_t kVersion = 6;
  // False when the data is damaged or newer than this unit knows.
  bool Read(ByteReader& reader);
  HGLOBAL Save() const;
  bool Resizable() const { return border == 1 || border == 3 || border == 5; }
};

class WindowForm : public Component {
 public:
  WindowForm(uint32_t window_id, uint32_t element_id) : Component(window_id, element_id) {}

  static WindowForm* FromWindow(HWND window);
  bool Create(const WindowProperties& properties, uint32_t extra_style, HWND owner, HMENU menu, RECT rect);

  WindowProperties& properties() { return properties_; }
  // Keyboard handling before dispatch; true when the key was used.
  bool HandleKey(MSG* message);
  void RunDockingLayout();
  // Live writes of the frame, movable, icon and task-bar properties.
  void ApplyFrame();
  void ApplyMovable();
  void ApplyIcons();
  void ApplyTaskbar();

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

  WindowProperties properties_;
  bool docking_enabled_ = false;
  HICON own_icons_[2] = {};
};

extern const UnitDescriptor kWindowUnit;
