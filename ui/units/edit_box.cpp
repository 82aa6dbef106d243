// EditBox: the edit control. Texts and positions are GBK bytes on our side
// and UTF-16 units in the control; both are converted at this boundary.
// Event 0 is raised when the content changed.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "platform/gdi_handle.h"
#include "platform/wide_text.h"
#include "ui/component.h"
#include "ui/display_scale.h"
#include "ui/units/borders.h"
#include "ui/units/edit_box_properties.h"
#include "ui/units/property_values.h"
#include "ui/units/standard_controls.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_colour.h"
#include "ui/units/unit_font.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

constexpr uint32_t kSpinIdOffset = 4;
constexpr int32_t kChanged = 0;  // the edit box's event: its content changed

struct EditBoxProperties : EditBoxStored {
  bool Spins() const { return spin_mode != 0 && !multiline; }
  std::string PasswordText() const {
    std::string text;
    if (password_char & 0xFF) text += static_cast<char>(password_char & 0xFF);
    if (password_char >> 8) text += static_cast<char>(password_char >> 8);
    return text;
  }
};

constexpr auto kEditBoxTable = EditBoxTable<EditBoxProperties>();

// The first character of a GBK text as the stored 16-bit word.
uint16_t FirstCharacter(const std::string& text) {
  if (text.empty()) return 0;
  auto first = static_cast<uint8_t>(text[0]);
  if (first >= 0x81 && first <= 0xFE && text.size() >= 2)
    return static_cast<uint16_t>(first | static_cast<uint8_t>(text[1]) << 8);
  return first;
}

// Byte positions of GBK text and UTF-16 positions of the control.
int32_t WideToBytePosition(const std::wstring& text, int32_t position) {
  position = Clamp(position, 0, static_cast<int32_t>(text.size()));
  return position == 0 ? 0 : WideCharToMultiByte(kGbkCodePage, 0, text.data(), position, nullptr, 0, nullptr, nullptr);
}
int32_t ByteToWidePosition(const std::string& text, uint32_t position) {
  int32_t bytes = position > text.size() ? static_cast<int32_t>(text.size()) : static_cast<int32_t>(position);
  return bytes == 0 ? 0 : MultiByteToWideChar(kGbkCodePage, 0, text.data(), bytes, nullptr, 0);
}

class EditBox : public TableComponent<EditBoxProperties, kEditBoxTable> {
 public:
  using TableComponent::TableComponent;
  std::string scratch;  // a text handed out by get, alive until the next one

  bool Create(const Placement& at) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | at.extra_style;
    if (!p.multiline) {
      style |= ES_AUTOHSCROLL;
    } else {
      style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      if (p.scroll_bars & 1) style |= ES_AUTOHSCROLL | WS_HSCROLL;
      if (p.scroll_bars & 2) style |= WS_VSCROLL;
    }
    if (p.alignment == 1) style |= ES_CENTER;
    if (p.alignment == 2) style |= ES_RIGHT;
    if (p.input_mode == 1) style |= ES_READONLY;
    if (p.input_mode == 2) style |= ES_PASSWORD;
    if (p.case_conversion == 1) style |= ES_LOWERCASE;
    if (p.case_conversion == 2) style |= ES_UPPERCASE;
    if (!p.hide_selection) style |= ES_NOHIDESEL;
    HWND window = CreateChildWindow(0, L"EDIT", p.content, style, at);
    if (!window) return false;
    Attach(window);
    MakeBrush();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle(hwnd())), FALSE);
    FitLineHeight();
    SendMessageW(window, EM_LIMITTEXT, p.max_length, 0);
    if (p.input_mode == 2) ApplyPasswordChar();
    if (p.Spins()) CreateSpin(at.parent, at.control_id + kSpinIdOffset);
    ApplySelection();
    SendMessageW(window, EM_SCROLLCARET, 0, 0);
    ApplyBorderStyle(window, p.border);
    return true;
  }

  std::wstring LiveText() const {
    int length = GetWindowTextLengthW(hwnd());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd(), text.data(), length + 1)));
    return text;
  }
  // The holder takes the live content and selection (before a save or read).
  void SyncFromControl() {
    std::wstring text = LiveText();
    p.content = WideToGbk(text.c_str());
    DWORD start = 0, end = 0;
    SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int32_t byte_start = WideToBytePosition(text, static_cast<int32_t>(start));
    p.selection_start = static_cast<uint32_t>(byte_start);
    p.selection_length = static_cast<uint32_t>(WideToBytePosition(text, static_cast<int32_t>(end)) - byte_start);
  }

  // Content writes raise the content-changed handling exactly once: the
  // control's own notification during the write is held off.
  void WriteContent(const std::string& content) {
    if (WideToGbk(LiveText().c_str()) != content) {
      holding_change_ = true;
      SetWindowTextW(hwnd(), GbkToWide(content.c_str()).c_str());
      holding_change_ = false;
      ShowNow(hwnd());
    }
    p.content = content;
    LRESULT ignored;
    OnReflected(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), EN_CHANGE), reinterpret_cast<LPARAM>(hwnd()), &ignored);
  }

  void ApplySelection() {
    int32_t start = ByteToWidePosition(p.content, p.selection_start);
    int32_t end = ByteToWidePosition(p.content, p.selection_start + p.selection_length);
    SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }
  void ApplyPasswordChar() {
    wchar_t wide[2] = {};
    std::string text = p.PasswordText();
    if (!text.empty()) MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), wide, 2);
    SendMessageW(hwnd(), EM_SETPASSWORDCHAR, wide[0], 0);
  }
  void ApplySpinRange() {
    if (!spin_) return;
    int32_t low = p.spin_min < p.spin_max ? p.spin_min : p.spin_max;
    int32_t high = p.spin_min < p.spin_max ? p.spin_max : p.spin_min;
    SendMessageW(spin_, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
  }
  void MakeBrush() { brush_.Reset(CreateSolidBrush(ResolveColour(p.background_color))); }

  bool GetOwn(int32_t number, PropertyValue* value) {
    switch (number) {
      case EB_CONTENT:
        SyncFromControl();
        *value = TextValue(p.content);
        return true;
      case EB_SELECTION_START:
      case EB_SELECTION_LENGTH:
        SyncFromControl();
        *value = WordValue(number == EB_SELECTION_START ? p.selection_start : p.selection_length);
        return true;
      case EB_SELECTED_TEXT:
        SyncFromControl();
        scratch = p.content.substr(std::min<size_t>(p.selection_start, p.content.size()), p.selection_length);
        *value = TextValue(scratch);
        return true;
      case EB_PASSWORD_CHAR:
        scratch = p.PasswordText();
        *value = TextValue(scratch);
        return true;
      default:
        return false;
    }
  }

  void OnDpiChanged() override {
    ShowFont(hwnd(), p.font);
    FitLineHeight();
  }

  int32_t Apply(Change, int32_t number, const PropertyValue& value) {
    HWND window = hwnd();
    switch (number) {
      case EB_CONTENT:
        WriteContent(TextFrom(value));
        break;
      case EB_BORDER:
        ApplyBorderStyle(window, p.border);
        RepaintNow(window);
        break;
      case EB_TEXT_COLOR:
      case EB_BACKGROUND_COLOR:
        MakeBrush();
        RepaintNow(window);
        break;
      case EB_FONT:
        ShowFont(window, p.font);
        break;
      case EB_MAX_LENGTH:
        SendMessageW(window, EM_LIMITTEXT, p.max_length, 0);
        break;
      case EB_PASSWORD_CHAR:
        p.password_char = FirstCharacter(TextFrom(value));
        if (p.input_mode == 2) {
          ApplyPasswordChar();
          RepaintNow(window);
        }
        break;
      case EB_SPIN_MIN:
      case EB_SPIN_MAX:
        ApplySpinRange();
        break;
      case EB_SELECTION_START:
      case EB_SELECTION_LENGTH:
        SyncFromControl();
        (number == EB_SELECTION_START ? p.selection_start : p.selection_length) = value.low;
        ApplySelection();
        ShowNow(window);
        break;
      case EB_SELECTED_TEXT:
        SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(GbkToWide(TextFrom(value).c_str()).c_str()));
        ShowNow(window);
        break;
      default:
        break;
    }
    return 0;
  }

  void BeforeSave() { SyncFromControl(); }

  bool OnReflected(UINT message, WPARAM wparam, LPARAM, LRESULT* result) override {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(wparam) != EN_CHANGE) return false;
        if (!holding_change_) RaiseEvent(kChanged);
        *result = 0;
        return true;
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC: {  // read-only and disabled boxes ask with the latter
        auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, ResolveColour(p.text_color));
        SetBkColor(dc, ResolveColour(p.background_color));
        *result = reinterpret_cast<LRESULT>(brush_.get());
        return true;
      }
      default:
        return false;
    }
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_SHOWWINDOW:
        if (spin_) ShowWindow(spin_, wparam ? SW_SHOWNA : SW_HIDE);
        break;
      case WM_WINDOWPOSCHANGED:
        if (spin_ && (~reinterpret_cast<const WINDOWPOS*>(lparam)->flags & (SWP_NOMOVE | SWP_NOSIZE))) PlaceSpin();
        break;
      case WM_DESTROY:
        if (spin_) DestroyWindow(spin_);
        spin_ = nullptr;
        break;
      default:
        break;
    }
    return Default(message, wparam, lparam);
  }

 private:
  // A one-line box is at least as high as its font's line.
  void FitLineHeight() {
    RECT rect;
    if (p.multiline || !GetWindowRect(hwnd(), &rect)) return;
    int lowest = TextHeight() + 2 * display::SystemMetricAt(SM_CYEDGE, display::WindowDpi(hwnd()));
    if (rect.bottom - rect.top < lowest)
      SetWindowPos(hwnd(), nullptr, 0, 0, rect.right - rect.left, lowest, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  int TextHeight() {
    HDC dc = GetDC(hwnd());
    TEXTMETRICW metrics = {};
    {
      DcSelection font(dc, p.font.Handle(hwnd()));
      GetTextMetricsW(dc, &metrics);
    }
    ReleaseDC(hwnd(), dc);
    return metrics.tmHeight;
  }

  void CreateSpin(HWND parent, uint32_t id) {
    EnsureCommonControls();
    spin_ = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                            WS_CHILD | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
                            0, parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    if (!spin_) return;
    ApplySpinRange();
    SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()), 0);
  }

  // The up-down control follows the box when it moves.
  void PlaceSpin() {
    HWND parent = GetParent(hwnd());
    RECT box, spin;
    GetWindowRect(hwnd(), &box);
    GetWindowRect(spin_, &spin);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
    SetWindowPos(spin_, nullptr, box.right, box.top, spin.right - spin.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  OwnedBrush brush_;
  HWND spin_ = nullptr;
  bool holding_change_ = false;
};

constexpr auto kProperties = PropertyTypes<kEditBoxTable>();

}  // namespace

const UnitDescriptor kEditBoxUnit = {"EditBox", "编辑框", kUnitRaisesEvents, kProperties.data(), kProperties.size(),
                                     TableUnit<EditBox>::Interface};
