#include "ui/units/window_unit.h"

#include <cstring>

#include "platform/wide_text.h"
#include "platform/window_class.h"
#include "runtime/notify.h"
#include "runtime/runtime_services.h"
#include "ui/display_scale.h"
#include "ui/events.h"
#include "ui/keyboard.h"
#include "ui/menu_commands.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_colour.h"
#include "ui/window_manager.h"
#include "ui/window_records.h"

namespace {

constexpr char kDefaultClassName[] = "KVWindow";

bool IsFalseAnswer(bool ran, bool has_result, uint32_t result) { return ran && has_result && result == 0; }

// The component of a child window that a notification concerns.
Component* ChildComponent(HWND child) { return child ? Component::FromWindow(child) : nullptr; }

// The control a message to its parent is about (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_CTLCOLOR*, scroll messages); null for other messages.
HWND NotifyingChild(UINT message, LPARAM lparam) {
  switch (message) {
    case WM_NOTIFY: return reinterpret_cast<NMHDR*>(lparam)->hwndFrom;
    case WM_DRAWITEM: return reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL: return reinterpret_cast<HWND>(lparam);
    default: return nullptr;
  }
}

}  // namespace

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
  if (p.maximize_button) *style |= WS_MAXIMIZEBOX;
  if (p.minimize_button) *style |= WS_MINIMIZEBOX;
}

}  // namespace

namespace {
// A key pressed in any of a template window's windows, before dispatch.
bool HandleWindowKey(MSG* message) {
  WindowForm* form = WindowForm::FromWindow(GetAncestor(message->hwnd, GA_ROOT));
  return form && form->HandleKey(message);
}
}  // namespace

bool WindowForm::Create(const controls::Placement& at) {
  SetWindowKeyHandler(HandleWindowKey);
  HWND owner = at.parent;
  RECT rect = at.rect;
  DWORD style = 0, ex_style = 0;
  FrameStyles(p, &style, &ex_style);
  style |= WS_CLIPCHILDREN | (at.extra_style & WS_DISABLED);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  auto centre = [&] {
    if (p.start_position != 1) return;
    rect.left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    rect.top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  };
  centre();
  if (p.start_position == 2) {
    style |= WS_MINIMIZE;
  } else if (p.start_position == 3 && p.Resizable()) {
    style |= WS_MAXIMIZE;
  }
  // Out of the task bar: owned by the hidden owner window.
  if (!owner && !p.show_in_taskbar) owner = HiddenOwner();
  if (owner) style |= WS_POPUP;

  std::wstring class_name = GbkToWide(p.class_name.empty() ? kDefaultClassName : p.class_name.c_str());
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(class_name.c_str(), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, DefWindowProcW,
                           static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))))
    return false;
  HWND window = CreateWindowExW(ex_style, class_name.c_str(), GbkToWide(p.title.c_str()).c_str(), style, rect.left,
                                rect.top, width, height, owner, at.menu, instance, nullptr);
  if (!window) return false;
  Attach(window);
  // The window manager sized it for its owner's DPI, or the system's. Made
  // on a screen of another scale, it is sized again for that one: the
  // system tells a new window nothing of its screen's scale.
  int laid_out_dpi = display::WindowDpi(at.parent), dpi = display::SystemWindowDpi(window);
  if (dpi != laid_out_dpi) {
    width = MulDiv(width, dpi, laid_out_dpi);
    height = MulDiv(height, dpi, laid_out_dpi);
    centre();
  }
  display::SetLayoutDpi(window, dpi);

  RECT real;
  GetWindowRect(window, &real);
  if (real.right - real.left != width || real.bottom - real.top != height)
    MoveWindow(window, rect.left, rect.top, width, height, FALSE);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(default_font_.Handle(window)), FALSE);
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
  FrameStyles(p, &style, &ex_style);
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
  if (!p.movable)
    if (HMENU system_menu = GetSystemMenu(hwnd(), FALSE)) DeleteMenu(system_menu, SC_MOVE, MF_BYCOMMAND);
}

// Out of the task bar means owned by the hidden owner window; a window of
// another owner keeps it.
void WindowForm::ApplyTaskbar() {
  HWND window = hwnd();
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner && owner != HiddenOwner()) return;
  HWND wanted = p.show_in_taskbar ? nullptr : HiddenOwner();
  if (owner == wanted) return;
  // The task bar notices a new owner when the window is shown again.
  bool visible = IsWindowVisible(window);
  if (visible) ShowWindow(window, SW_HIDE);
  SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(wanted));
  if (visible) ShowWindow(window, SW_SHOWNA);
}

// The icon property, or the program's own icon in both sizes, each the
// image nearest to its size at the window's DPI.
void WindowForm::ApplyIcons() {
  OwnedIcon fresh[2];
  HICON icons[2] = {};
  int dpi = display::WindowDpi(hwnd());
  int sizes[2] = {display::SystemMetricAt(SM_CXICON, dpi), display::SystemMetricAt(SM_CXSMICON, dpi)};
  if (!p.icon.empty()) {
    for (int i = 0; i < 2; ++i) {
      int id = LookupIconIdFromDirectoryEx(p.icon.data(), TRUE, sizes[i], sizes[i], LR_DEFAULTCOLOR);
      if (id > 0 && static_cast<size_t>(id) < p.icon.size())
        fresh[i].Reset(CreateIconFromResourceEx(p.icon.data() + id, static_cast<DWORD>(p.icon.size() - id), TRUE,
                                                0x00030000, sizes[i], sizes[i], LR_DEFAULTCOLOR));
      icons[i] = fresh[i].get();
    }
  }
  if (!icons[0] || !icons[1]) {
    // The runtime keeps the program's icons at the system's sizes; at
    // another DPI the window loads its own.
    NotifyRuntime(NR_DEFAULT_ICONS, static_cast<int32_t>(reinterpret_cast<uintptr_t>(icons)), 0);
    if (dpi != display::SystemDpi())
      for (int i = 0; i < 2; ++i) {
        fresh[i].Reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), kDefaultIconName, IMAGE_ICON, sizes[i], sizes[i], 0)));
        if (fresh[i]) icons[i] = fresh[i].get();
      }
  }
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
  // The window has let go of the old icons: they go now.
  own_icons_[0] = std::move(fresh[0]);
  own_icons_[1] = std::move(fresh[1]);
}

// Sent only to windows aware of each screen's DPI (Windows 8.1 on), and
// while it runs the system's query still answers the old DPI: the new one
// comes from the message, and the window keeps it as its layout DPI.
void WindowForm::MoveToDpi(int dpi, const RECT* suggested) {
  HWND window = hwnd();
  if (!suggested || !display::SetLayoutDpi(window, dpi)) return;
  controls::ShowFont(window, default_font_);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The resized event's routine may have closed the window.
  if (!IsWindow(window) || Component::FromWindow(window) != this) return;
  if (WindowRecord* record = FindWindowRecord(window_id())) LayOutForDpi(record);
  RunDockingLayout();
  ApplyIcons();
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

COLORREF WindowForm::BackgroundColour() const {
  return p.background_color == controls::kDefaultColour ? GetSysColor(COLOR_BTNFACE) : p.background_color;
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
    *gone = !RaiseEventAndLive(kWindowFirstCloseQuery, &result, &has_result, &ran);
    if (*gone || IsFalseAnswer(ran, has_result, result)) return false;
  }
  *gone = !RaiseEventAndLive(kWindowCloseQuery, &result, &has_result, &ran);
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
  std::string file = p.help_file;
  if (file.empty()) {
    file = ProgramFolderWithBackslash() + ProgramFileName();
    size_t dot = file.find_last_of('.');
    if (dot != std::string::npos && dot > file.find_last_of('\\') + 0) file.erase(dot);
    file += ".hlp";
  }
  std::wstring wide = GbkToWide(file.c_str());
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (p.help_context)
    WinHelpW(hwnd(), wide.c_str(), HELP_CONTEXT, p.help_context);
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
      if (!p.enter_moves_focus) return PressDefaultButton(focused);
      [[fallthrough]];
    case VK_TAB:
      if (HWND next = GetNextDlgTabItem(hwnd(), focused == hwnd() ? nullptr : focused, shift)) SetFocus(next);
      return true;
    case VK_ESCAPE:
      if (!p.esc_closes) return false;
      SendMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case VK_F1:
      if (!p.f1_opens_help) return false;
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
      FillSolid(reinterpret_cast<HDC>(wparam), client, BackgroundColour());
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
      RaiseEvent(kWindowDestroyed);
      display::ForgetLayoutDpi(hwnd());
      break;
    case WM_DPICHANGED:
      MoveToDpi(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_MOVE:
      if (!RaiseEventAndLive(kWindowMoved)) return 0;
      break;
    case WM_SIZE: {
      LRESULT result = Default(message, wparam, lparam);
      RunDockingLayout();
      RaiseEvent(kWindowResized);
      return result;
    }
    case WM_SHOWWINDOW:
      if (!RaiseEventAndLive(wparam ? kWindowShown : kWindowHidden)) return 0;
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
      break;
    default:
      break;
  }
  // What a control tells its parent goes to the control's component.
  if (Component* child = ChildComponent(NotifyingChild(message, lparam))) {
    LRESULT result = message == WM_DRAWITEM ? TRUE : 0;
    if (child->OnReflected(message, wparam, lparam, &result)) return result;
  }
  return Default(message, wparam, lparam);
}

void WindowForm::OnFinalDestroy() {
  if (WindowRecord* record = FindWindowRecord(window_id())) OnWindowDestroyed(record);
  delete this;
}

bool WindowForm::GetOwn(int32_t number, PropertyValue* value) {
  if (number != WP_START_POSITION) return false;
  HWND window = hwnd();
  *value = {!window ? p.start_position : (IsIconic(window) ? 2u : (IsZoomed(window) ? 3u : 0u)), 0};
  return true;
}

int32_t WindowForm::Apply(units::Change change, int32_t number, const PropertyValue& value) {
  HWND window = hwnd();
  if (number == WP_START_POSITION) p.start_position = value.low;
  if (!window) return 0;
  if (change == units::Change::kRestyle) {
    ApplyFrame();
    return 0;
  }
  switch (number) {
    case WP_TITLE:
      SetWindowTextW(window, GbkToWide(p.title.c_str()).c_str());
      ApplyFrame();  // an empty title without a control button has no caption
      break;
    case WP_MOVABLE: ApplyMovable(); break;
    case WP_ICON: ApplyIcons(); break;
    case WP_SHOW_IN_TASKBAR: ApplyTaskbar(); break;
    case WP_BACKGROUND_COLOR: InvalidateRect(window, nullptr, TRUE); break;
    case WP_ALWAYS_ON_TOP:
      SetWindowPos(window, p.always_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case WP_START_POSITION:
      ShowWindow(window, value.low == 2 ? SW_MINIMIZE : (value.low == 3 ? SW_MAXIMIZE : SW_RESTORE));
      break;
    default: break;
  }
  return 0;
}

namespace {

constexpr auto kProperties = units::PropertyTypes<kWindowTable>();

}  // namespace

const UnitDescriptor kWindowUnit = {"window", "窗口", kUnitRaisesEvents | kUnitNeverRebuilt, kProperties.data(),
                                    kProperties.size(), units::TableUnit<WindowForm>::Interface};
