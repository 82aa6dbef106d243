// The window unit: the window element of a template window as a top-level
// window, with its keyboard handling and its events.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../component.h"
#include "../unit.h"
#include "control_support.h"
#include "gdi_handle.h"
#include "property_table.h"

struct WindowProperties {
  // Border: 0 none, 1 resizable, 2 fixed, 3/4 tool window, 5/6 client edge.
  uint32_t border = 2;
  uint32_t picture_mode = 1;
  uint32_t background_colour = controls::kDefaultColour;
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

  bool Resizable() const { return border == 1 || border == 3 || border == 5; }
};

// Properties 8-31 by number - 8.
enum WindowProperty : int32_t {
  WP_TITLE = 0,
  WP_BORDER,
  WP_BACKGROUND_COLOUR,
  WP_BACKGROUND_PICTURE,
  WP_PICTURE_MODE,
  WP_BACKGROUND_SOUND,
  WP_SOUND_REPEAT,
  WP_CONTROL_BUTTON,
  WP_MAXIMISE_BUTTON,
  WP_MINIMISE_BUTTON,
  WP_POSITION,
  WP_MOVABLE,
  WP_ICON,
  WP_ENTER_MOVES_FOCUS,
  WP_ESC_CLOSES,
  WP_F1_OPENS_HELP,
  WP_HELP_FILE,
  WP_HELP_CONTEXT,
  WP_SHOW_IN_TASKBAR,
  WP_FREE_DRAGGING,
  WP_SHAPE,
  WP_ALWAYS_ON_TOP,
  WP_KEEP_TITLE_ACTIVE,
  WP_CLASS_NAME,
};

// Words are kept as written. The class name is used at the next load: a
// window is never made again.
namespace window_table {
using P = WindowProperties;
using units::Change;
using units::Text;
using units::Word;
constexpr auto kTable = units::Table<P>(6, {
    Word(WP_BORDER, PT_CHOICE, &P::border, Change::kRestyle),
    Word(WP_PICTURE_MODE, PT_CHOICE, &P::picture_mode, Change::kNothing),
    Word(WP_BACKGROUND_COLOUR, PT_COLOUR, &P::background_colour, Change::kRepaint),
    Word(WP_MAXIMISE_BUTTON, PT_TRUTH, &P::maximise_button, Change::kRestyle),
    Word(WP_MINIMISE_BUTTON, PT_TRUTH, &P::minimise_button, Change::kRestyle),
    Word(WP_CONTROL_BUTTON, PT_TRUTH, &P::control_button, Change::kRestyle),
    Word(WP_POSITION, PT_CHOICE, &P::start_position, Change::kOwn).Live(),  // the window's state once it exists
    Word(WP_MOVABLE, PT_TRUTH, &P::movable, Change::kOwn),
    Word(WP_SOUND_REPEAT, PT_CHOICE, &P::sound_repeat, Change::kNothing),
    Word(WP_ENTER_MOVES_FOCUS, PT_TRUTH, &P::enter_moves_focus, Change::kNothing),
    Word(WP_ESC_CLOSES, PT_TRUTH, &P::esc_closes, Change::kNothing),
    Word(WP_F1_OPENS_HELP, PT_TRUTH, &P::f1_opens_help, Change::kNothing),
    Word(WP_HELP_CONTEXT, PT_INTEGER, &P::help_context, Change::kNothing),
    Word(WP_SHOW_IN_TASKBAR, PT_TRUTH, &P::show_in_taskbar, Change::kOwn).Since(2),
    Word(WP_FREE_DRAGGING, PT_TRUTH, &P::free_dragging, Change::kNothing).Since(3),
    Word(WP_SHAPE, PT_CHOICE, &P::shape, Change::kNothing).Since(3),
    Word(WP_ALWAYS_ON_TOP, PT_TRUTH, &P::always_on_top, Change::kOwn).Since(4),
    Word(WP_KEEP_TITLE_ACTIVE, PT_TRUTH, &P::keep_title_active, Change::kNothing).Since(5),
    Text(WP_CLASS_NAME, &P::class_name, Change::kNothing).Since(6),
    units::Bytes(WP_BACKGROUND_PICTURE, PT_PICTURE, &P::background_picture, Change::kNothing),
    units::Bytes(WP_ICON, PT_ICON, &P::icon, Change::kOwn),
    units::Bytes(WP_BACKGROUND_SOUND, PT_SOUND, &P::background_sound, Change::kNothing),
    Text(WP_TITLE, &P::title, Change::kOwn),
    Text(WP_HELP_FILE, &P::help_file, Change::kNothing, PT_FILE_NAME),
});
}  // namespace window_table

class WindowForm : public Component {
 public:
  WindowForm(uint32_t window_id, uint32_t element_id) : Component(window_id, element_id) {}

  static constexpr const auto& kTable = window_table::kTable;
  WindowProperties p;

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
};

extern const UnitDescriptor kWindowUnit;
