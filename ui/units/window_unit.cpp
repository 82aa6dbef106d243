#include "window_unit.h"

#include <cstring>

#include "../events.h"
#include "../property_writer.h"
#include "../window_manager.h"
#include "../window_records.h"
#include "notify.h"
#include "runtime_app.h"
#include "wide_text.h"

namespace {

constexpr char kDefaultClassName[] = "KVWindow";
constexpr uint32_t kFirstMenuCommand = 20000;
constexpr uint32_t kLastMenuCommand = 57600;

std::string Text(ByteRun run) { return std::string(reinterpret_cast<const char*>(run.data()), run.size()); }
std::vector<uint8_t> Bytes(ByteRun run) { return std::vector<uint8_t>(run.begin(), run.end()); }

bool IsFalseAnswer(bool ran, bool has_result, uint32_t result) { return ran && has_result && result == 0; }

// The component of a child window that a notification concerns.
Component* ChildComponent(HWND child) { return child ? Component::FromWindow(child) : nullptr; }

}  // namespace

bool WindowProperties::Read(ByteReader& reader) {
  uint32_t version = reader.Word();
  if (reader.failed() || version > kVersion) return false;
  border = reader.Word();
  picture_mode = reader.Word();
  background_colour = reader.Word();
  maximise_button = reader.Word();
  minimise_button = reader.Word();
  control_button = reader.Word();
  start_position = reader.Word();
  movable = reader.Word();
  sound_repeat = reader.Word();
  enter_moves_focus = reader.Word();
  esc_closes = reader.Word();
  f1_opens_help = reader.Word();
  help_context = reader.Word();
  if (version >= 2) show_in_taskbar = reader.Word();
  if (version >= 3) {
    free_dragging = reader.Word();
    shape = reader.Word();
  }
  if (version >= 4) always_on_top = reader.Word();
  if (version >= 5) keep_title_active = reader.Word();
  if (version >= 6) class_name = Text(reader.CountedText());
  background_picture = Bytes(reader.Buffer());
  icon = Bytes(reader.Buffer());
  background_sound = Bytes(reader.Buffer());
  title = Text(reader.CountedText());
  help_file = Text(reader.CountedText());
  return !reader.failed();
}

HGLOBAL WindowProperties::Save() const {
  PropertyWriter writer;
  writer.Word(kVersion);
  for (uint32_t word : {border, picture_mode, background_colour, maximise_button, minimise_button, control_button,
                        start_position, movable, sound_repeat, enter_moves_focus, esc_closes, f1_opens_help,
                        help_context, show_in_taskbar, free_dragging, shape, always_on_top, keep_title_active})
    writer.Word(word);
  writer.CountedText(class_name);
  writer.Buffer(background_picture);
  writer.Buffer(icon);
  writer.Buffer(background_sound);
  writer.CountedText(title);
  writer.CountedText(help_file);
  return writer.ToGlobal();
}

WindowForm* WindowForm::FromWindow(HWND window) {
  Component* component = Component::FromWindow(window);
  if (!component || component->element_id() == 0) return nullptr;
  // Window elements carry kind 6, class 0.
  return (component->element_id() & 0xFF000000u) == 0x06000000u ? static_cast<WindowForm*>(component) : nullptr;
}

namespace {

// The styles that the border, the title and the caption buttons decide.
constexpr DWORD kFrameStyles = WS_DLGFRAME | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyles = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

void FrameStyles(const WindowProperties& p, DWORD* style, DWORD* ex_style) {
  *style = 0;
  *ex_style = 0;
  if (p.border != 0) {
    *style |= WS_DLGFRAME;
    if (!p.title.empty() || p.control_button) *style |= WS_CAPTION;
    if (p.control_button) *style |= WS_SYSMENU;
    if (p.Resizable()) *style |= WS_THICKFRAME;
    if (p.border == 3 || p.border == 4) *ex_style |= WS_EX_TOOLWINDOW;
    if (p.border == 5 || p.border == 6) *ex_style |= WS_EX_CLIENTEDGE;
  }
  if (p.maximise_button) *style |= WS_MAXIMIZEBOX;
  if (p.minimise_button) *style |= WS_MINIMIZEBOX;
}

}  // namespace

bool WindowForm::Create(const WindowProperties& properties, uint32_t extra_style, HWND owner, HMENU menu, RECT rect) {
  properties_ = properties;
  const WindowProperties& p = properties_;
  DWORD style = 0, ex_style = 0;
  FrameStyles(p, &style, &ex_style);
  style |= WS_CLIPCHILDREN | (extra_style & WS_DISABLED);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (p.start_position == 1) {
    rect.left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    rect.top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  } else if (p.start_position == 2) {
    style |= WS_MINIMIZE;
  } else if (p.start_position == 3 && p.Resizable()) {
    style |= WS_MAXIMIZE;
  }
  // Out of the task bar: owned by the hidden owner window.
  if (!owner && !p.show_in_taskbar) owner = g_app.hidden_owner;
  if (owner) style |= WS_POPUP;

  std::wstring class_name = GbkToWide(p.class_name.empty() ? kDefaultClassName : p.class_name.c_str());
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW existing;
  if (!GetClassInfoW(instance, class_name.c_str(), &existing)) {
    WNDCLASSW window_class = {};
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    window_class.lpszClassName = class_name.c_str();
    if (!RegisterClassW(&window_class)) return false;
  }
  HWND window = CreateWindowExW(ex_style, class_name.c_str(), GbkToWide(p.title.c_str()).c_str(), style, rect.left,
                                rect.top, width, height, owner, menu, instance, nullptr);
  if (!window) return false;
  Attach(window);

  RECT real;
  GetWindowRect(window, &real);
  if (real.right - real.left != width || real.bottom - real.top != height)
    MoveWindow(window, rect.left, rect.top, width, height, FALSE);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (p.always_on_top) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyMovable();
  ApplyIcons();
  return true;
}

// A border, title or caption-button write on the live window: its frame
// styles again, as creation sets them, and the frame redrawn.
void WindowForm::ApplyFrame() {
  HWND window = hwnd();
  DWORD style = 0, ex_style = 0;
  FrameStyles(properties_, &style, &ex_style);
  SetWindowLongW(window, GWL_STYLE, static_cast<LONG>((GetWindowLongW(window, GWL_STYLE) & ~kFrameStyles) | style));
  SetWindowLongW(window, GWL_EXSTYLE,
                 static_cast<LONG>((GetWindowLongW(window, GWL_EXSTYLE) & ~kFrameExStyles) | ex_style));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ApplyMovable();
}

// Not movable: no Move item in the system menu. The menu is first reset to
// the system's, so that a window made movable again gets the item back.
void WindowForm::ApplyMovable() {
  GetSystemMenu(hwnd(), TRUE);
  if (!properties_.movable)
    if (HMENU system_menu = GetSystemMenu(hwnd(), FALSE)) DeleteMenu(system_menu, SC_MOVE, MF_BYCOMMAND);
}

// Out of the task bar means owned by the hidden owner window; a window of
// another owner keeps it.
void WindowForm::ApplyTaskbar() {
  HWND window = hwnd();
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner && owner != g_app.hidden_owner) return;
  HWND wanted = properties_.show_in_taskbar ? nullptr : g_app.hidden_owner;
  if (owner == wanted) return;
  // The task bar notices a new owner when the window is shown again.
  bool visible = IsWindowVisible(window);
  if (visible) ShowWindow(window, SW_HIDE);
  SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(wanted));
  if (visible) ShowWindow(window, SW_SHOWNA);
}

// The icon property, or the program's own icon in both sizes.
void WindowForm::ApplyIcons() {
  HICON old_icons[2] = {own_icons_[0], own_icons_[1]};
  own_icons_[0] = own_icons_[1] = nullptr;
  HICON icons[2] = {};
  if (!properties_.icon.empty()) {
    for (int i = 0; i < 2; ++i) {
      int size = i == 0 ? 32 : 16;
      int id = LookupIconIdFromDirectoryEx(properties_.icon.data(), TRUE, size, size, LR_DEFAULTCOLOR);
      if (id > 0 && static_cast<size_t>(id) < properties_.icon.size())
        own_icons_[i] = CreateIconFromResourceEx(properties_.icon.data() + id,
                                                 static_cast<DWORD>(properties_.icon.size() - id), TRUE, 0x00030000,
                                                 size, size, LR_DEFAULTCOLOR);
      icons[i] = own_icons_[i];
    }
  }
  if (!icons[0] || !icons[1]) NotifyRuntime(NR_DEFAULT_ICONS, static_cast<int32_t>(reinterpret_cast<uintptr_t>(icons)), 0);
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
  for (HICON icon : old_icons)
    if (icon) DestroyIcon(icon);
}

COLORREF WindowForm::BackgroundColour() const {
  return properties_.background_colour == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : properties_.background_colour;
}

// Raises a window event; false when its routine destroyed this window, and
// with it this object, which must then not be touched again.
bool WindowForm::RaiseEventAndLive(int32_t event, uint32_t* result, bool* has_result, bool* ran) {
  HWND window = hwnd();
  bool raised = RaiseEvent(event, nullptr, 0, result, has_result);
  if (ran) *ran = raised;
  return IsWindow(window) && Component::FromWindow(window) == this;
}

// Event 12 (first close query) then 1; a routine answering false cancels.
// A routine that destroyed the window ends the query: `*gone` is then set.
bool WindowForm::QueryClose(bool with_first_query, bool* gone) {
  uint32_t result = 0;
  bool has_result = false, ran = false;
  *gone = false;
  if (with_first_query) {
    *gone = !RaiseEventAndLive(12, &result, &has_result, &ran);
    if (*gone || IsFalseAnswer(ran, has_result, result)) return false;
  }
  *gone = !RaiseEventAndLive(1, &result, &has_result, &ran);
  return !*gone && !IsFalseAnswer(ran, has_result, result);
}

void WindowForm::RunDockingLayout() {
  if (!docking_enabled_) return;
  WindowRecord* record = FindWindowRecord(window_id());
  if (!record) return;
  // Docking units (the status bar) place themselves against their edge when
  // told that the parent changed size.
  for (int32_t i = 1; i < record->elements().count(); ++i) {
    Component* object = record->ObjectAt(i);
    if (!object || !object->hwnd()) continue;
    const UnitDescriptor* unit = FindUnit(record->elements().Layout(i).component_type);
    if (unit && (unit->flags & kUnitDocks)) SendMessageW(object->hwnd(), WM_SIZE, 0, 0);
  }
}

bool WindowForm::SetElementCursor(HWND target) {
  WindowRecord* record = FindWindowRecord(window_id());
  if (!record) return false;
  for (int32_t i = 0; i < record->elements().count(); ++i) {
    Component* object = record->ObjectAt(i);
    if (!object || object->hwnd() != target) continue;
    if (HCURSOR cursor = record->CursorAt(i)) {
      SetCursor(cursor);
      return true;
    }
    return false;
  }
  return false;
}

bool WindowForm::PressDefaultButton(HWND focused) {
  WindowRecord* record = FindWindowRecord(window_id());
  if (!record) return false;
  auto is_default = [](Component* object, const UnitDescriptor* unit) {
    auto query = unit ? reinterpret_cast<UnitIsDefaultButton>(unit->interface_function(UNIT_IS_DEFAULT_BUTTON)) : nullptr;
    return query && object->hwnd() && IsWindowEnabled(object->hwnd()) && query(object) != 0;
  };
  Component* focused_object = Component::FromWindow(focused);
  for (int pass = 0; pass < 2; ++pass) {
    for (int32_t i = 1; i < record->elements().count(); ++i) {
      Component* object = record->ObjectAt(i);
      if (!object || (pass == 0 && object != focused_object)) continue;
      if (is_default(object, FindUnit(record->elements().Layout(i).component_type))) {
        SendMessageW(object->hwnd(), BM_CLICK, 0, 0);
        return true;
      }
    }
  }
  return false;
}

void WindowForm::OpenHelp() {
  std::string file = properties_.help_file;
  if (file.empty()) {
    file = g_app.program_dir_slash + g_app.program_file;
    size_t dot = file.find_last_of('.');
    if (dot != std::string::npos && dot > file.find_last_of('\\') + 0) file.erase(dot);
    file += ".hlp";
  }
  std::wstring wide = GbkToWide(file.c_str());
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (properties_.help_context)
    WinHelpW(hwnd(), wide.c_str(), HELP_CONTEXT, properties_.help_context);
  else
    WinHelpW(hwnd(), wide.c_str(), HELP_FINDER, 0);
}

bool WindowForm::HandleKey(MSG* message) {
  if (message->message != WM_KEYDOWN) return false;
  WPARAM key = message->wParam;
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_F1 && key != VK_LEFT && key != VK_RIGHT &&
      key != VK_UP && key != VK_DOWN)
    return false;
  // The focused component may take the key itself.
  HWND focused = message->hwnd;
  if (focused != hwnd()) {
    auto code = static_cast<UINT>(SendMessageW(focused, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(message)));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
    if (key >= VK_LEFT && key <= VK_DOWN && (code & DLGC_WANTARROWS)) return false;
  }
  bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_RETURN:
      if (!properties_.enter_moves_focus) return PressDefaultButton(focused);
      [[fallthrough]];
    case VK_TAB:
      if (HWND next = GetNextDlgTabItem(hwnd(), focused == hwnd() ? nullptr : focused, shift)) SetFocus(next);
      return true;
    case VK_ESCAPE:
      if (!properties_.esc_closes) return false;
      SendMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case VK_F1:
      if (!properties_.f1_opens_help) return false;
      OpenHelp();
      return true;
    default: {
      // Arrow keys move between option components of one group.
      if (focused == hwnd()) return false;
      LONG style = GetWindowLongW(focused, GWL_STYLE) & BS_TYPEMASK;
      if (style != BS_RADIOBUTTON && style != BS_AUTORADIOBUTTON) return false;
      if (HWND next = GetNextDlgGroupItem(hwnd(), focused, key == VK_LEFT || key == VK_UP)) SetFocus(next);
      return true;
    }
  }
}

LRESULT WindowForm::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd(), &client);
      HBRUSH brush = CreateSolidBrush(BackgroundColour());
      FillRect(reinterpret_cast<HDC>(wparam), &client, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_CLOSE: {
      bool gone = false;
      if (!QueryClose(true, &gone)) return 0;
      if (WindowRecord* record = FindWindowRecord(window_id())) {
        for (auto& [window, was_enabled] : record->disabled_windows)
          if (IsWindow(window)) EnableWindow(window, was_enabled);
        record->disabled_windows.clear();
      }
      DestroyWindow(hwnd());
      return 0;
    }
    case WM_QUERYENDSESSION: {
      bool gone = false;
      return QueryClose(false, &gone) || gone ? TRUE : FALSE;
    }
    case WM_DESTROY:
      RaiseEvent(2);
      break;
    case WM_MOVE:
      if (!RaiseEventAndLive(3)) return 0;
      break;
    case WM_SIZE: {
      LRESULT result = Default(message, wparam, lparam);
      RunDockingLayout();
      RaiseEvent(4);
      return result;
    }
    case WM_SHOWWINDOW:
      if (!RaiseEventAndLive(wparam ? 10 : 11)) return 0;
      break;
    case WM_UNIT_DOCKING_LAYOUT:
      docking_enabled_ = true;
      RunDockingLayout();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && SetElementCursor(reinterpret_cast<HWND>(wparam))) return TRUE;
      break;
    case WM_COMMAND:
      if (lparam == 0 && wparam >= kFirstMenuCommand && LOWORD(wparam) < kLastMenuCommand) {
        if (WindowRecord* record = FindWindowRecord(window_id())) {
          int32_t position = LOWORD(wparam) - kFirstMenuCommand;
          if (position < record->elements().count() && record->elements().Layout(position).menu_item) {
            EventRequest request = {window_id(), record->elements().IdAt(position), 0, 0, {}, 0, 0};
            RaiseElementEvent(&request);
          }
        }
        return 0;
      }
      if (Component* child = ChildComponent(reinterpret_cast<HWND>(lparam))) {
        LRESULT result = 0;
        if (child->OnReflected(message, wparam, lparam, &result)) return result;
      }
      break;
    case WM_NOTIFY:
      if (Component* child = ChildComponent(reinterpret_cast<NMHDR*>(lparam)->hwndFrom)) {
        LRESULT result = 0;
        if (child->OnReflected(message, wparam, lparam, &result)) return result;
      }
      break;
    case WM_DRAWITEM:
      if (Component* child = ChildComponent(reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem)) {
        LRESULT result = TRUE;
        if (child->OnReflected(message, wparam, lparam, &result)) return result;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (Component* child = ChildComponent(reinterpret_cast<HWND>(lparam))) {
        LRESULT result = 0;
        if (child->OnReflected(message, wparam, lparam, &result)) return result;
      }
      break;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

void WindowForm::OnFinalDestroy() {
  for (HICON& icon : own_icons_) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  if (WindowRecord* record = FindWindowRecord(window_id())) OnWindowDestroyed(record);
  delete this;
}

// The unit's interface: creation and properties 8-31 by number.
namespace {

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
  WP_COUNT
};

const PropertyInfo kWindowProperties[8 + WP_COUNT] = {
    QELMO_STANDARD_PROPERTIES,
    {PT_TEXT, 0},   {PT_CHOICE, 0}, {PT_COLOUR, 0}, {PT_PICTURE, 0},   {PT_CHOICE, 0}, {PT_SOUND, 0},
    {PT_CHOICE, 0}, {PT_TRUTH, 0},  {PT_TRUTH, 0},  {PT_TRUTH, 0},     {PT_CHOICE, 0}, {PT_TRUTH, 0},
    {PT_ICON, 0},   {PT_TRUTH, 0},  {PT_TRUTH, 0},  {PT_TRUTH, 0},     {PT_FILE_NAME, 0}, {PT_INTEGER, 0},
    {PT_TRUTH, 0},  {PT_TRUTH, 0},  {PT_CHOICE, 0}, {PT_TRUTH, 0},     {PT_TRUTH, 0},  {PT_TEXT, 0},
};

uint32_t* WordProperty(WindowProperties& p, int32_t property) {
  switch (property) {
    case WP_BORDER: return &p.border;
    case WP_BACKGROUND_COLOUR: return &p.background_colour;
    case WP_PICTURE_MODE: return &p.picture_mode;
    case WP_SOUND_REPEAT: return &p.sound_repeat;
    case WP_CONTROL_BUTTON: return &p.control_button;
    case WP_MAXIMISE_BUTTON: return &p.maximise_button;
    case WP_MINIMISE_BUTTON: return &p.minimise_button;
    case WP_POSITION: return &p.start_position;
    case WP_MOVABLE: return &p.movable;
    case WP_ENTER_MOVES_FOCUS: return &p.enter_moves_focus;
    case WP_ESC_CLOSES: return &p.esc_closes;
    case WP_F1_OPENS_HELP: return &p.f1_opens_help;
    case WP_HELP_CONTEXT: return &p.help_context;
    case WP_SHOW_IN_TASKBAR: return &p.show_in_taskbar;
    case WP_FREE_DRAGGING: return &p.free_dragging;
    case WP_SHAPE: return &p.shape;
    case WP_ALWAYS_ON_TOP: return &p.always_on_top;
    case WP_KEEP_TITLE_ACTIVE: return &p.keep_title_active;
    default: return nullptr;
  }
}

std::string* TextProperty(WindowProperties& p, int32_t property) {
  switch (property) {
    case WP_TITLE: return &p.title;
    case WP_HELP_FILE: return &p.help_file;
    case WP_CLASS_NAME: return &p.class_name;
    default: return nullptr;
  }
}

std::vector<uint8_t>* ByteProperty(WindowProperties& p, int32_t property) {
  switch (property) {
    case WP_BACKGROUND_PICTURE: return &p.background_picture;
    case WP_BACKGROUND_SOUND: return &p.background_sound;
    case WP_ICON: return &p.icon;
    default: return nullptr;
  }
}

Component* CreateWindowUnit(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND owner, uint32_t,
                            HMENU menu, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t window_id,
                            uint32_t element_id, int32_t, int32_t) {
  WindowProperties properties;
  if (size > 0) {
    ByteReader reader(data, size);
    if (!properties.Read(reader)) return nullptr;
  }
  auto* form = new WindowForm(window_id, element_id);
  if (!form->Create(properties, extra_style, owner, menu, RECT{left, top, left + width, top + height})) {
    delete form;
    return nullptr;
  }
  return form;
}

int32_t GetWindowUnitProperty(Component* object, int32_t property, PropertyValue* value) {
  auto* form = static_cast<WindowForm*>(object);
  WindowProperties& p = form->properties();
  if (property == WP_POSITION && form->hwnd()) {
    *value = {IsIconic(form->hwnd()) ? 2u : (IsZoomed(form->hwnd()) ? 3u : 0u), 0};
    return 1;
  }
  if (uint32_t* word = WordProperty(p, property)) {
    *value = {*word, 0};
    return 1;
  }
  if (std::string* text = TextProperty(p, property)) {
    *value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(text->c_str())), 0};
    return 1;
  }
  if (std::vector<uint8_t>* bytes = ByteProperty(p, property)) {
    *value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bytes->data())), static_cast<uint32_t>(bytes->size())};
    return 1;
  }
  return 0;
}

int32_t SetWindowUnitProperty(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* form = static_cast<WindowForm*>(object);
  WindowProperties& p = form->properties();
  HWND window = form->hwnd();
  if (uint32_t* word = WordProperty(p, property)) {
    *word = value->low;
  } else if (std::string* text = TextProperty(p, property)) {
    *text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value->low));
  } else if (std::vector<uint8_t>* bytes = ByteProperty(p, property)) {
    const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value->low));
    bytes->assign(data, data ? data + value->high : data);
  } else {
    return 0;
  }
  if (!window) return 0;
  switch (property) {
    case WP_TITLE:
      SetWindowTextW(window, GbkToWide(p.title.c_str()).c_str());
      form->ApplyFrame();  // an empty title without a control button has no caption
      break;
    case WP_BORDER:
    case WP_CONTROL_BUTTON:
    case WP_MAXIMISE_BUTTON:
    case WP_MINIMISE_BUTTON:
      form->ApplyFrame();
      break;
    case WP_MOVABLE:
      form->ApplyMovable();
      break;
    case WP_ICON:
      form->ApplyIcons();
      break;
    case WP_SHOW_IN_TASKBAR:
      form->ApplyTaskbar();
      break;
    case WP_BACKGROUND_COLOUR:
      InvalidateRect(window, nullptr, TRUE);
      break;
    case WP_ALWAYS_ON_TOP:
      SetWindowPos(window, p.always_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case WP_POSITION:
      ShowWindow(window, value->low == 2 ? SW_MINIMIZE : (value->low == 3 ? SW_MAXIMIZE : SW_RESTORE));
      break;
    default:
      break;
  }
  return 0;
}

HGLOBAL SaveWindowUnit(Component* object) { return static_cast<WindowForm*>(object)->properties().Save(); }

void* WindowUnitInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateWindowUnit);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetWindowUnitProperty);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&SaveWindowUnit);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetWindowUnitProperty);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kWindowUnit = {"window", "窗口", kUnitRaisesEvents | kUnitNeverRebuilt, kWindowProperties,
                                    8 + WP_COUNT, WindowUnitInterface};
