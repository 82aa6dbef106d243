// StatusBar: the status bar control with its part list, docked against the
// top or bottom edge of its parent's client area, or free.
//
// Part list (byte data): word count, then per part: word width (-1 reaches
// the right edge and ends the laid-out parts), word flags (0x100 no border,
// 0x200 raised), word icon index (-1 none), text and tool-tip text (both
// zero-terminated). Icon list (byte data): an icon file whose images are
// the icons by index.
#include <windows.h>

#include <commctrl.h>

#include "platform/gdi_handle.h"
#include "platform/wide_text.h"
#include "runtime/notify.h"
#include "ui/component.h"
#include "ui/display_scale.h"
#include "ui/property_writer.h"
#include "ui/units/property_values.h"
#include "ui/units/standard_controls.h"
#include "ui/units/status_bar_properties.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_font.h"
#include "ui/units/unit_pictures.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

enum Position : uint32_t { kDockBottom = 0, kDockTop = 1, kFree = 2 };
constexpr int32_t kMostParts = 256;  // the control's own limit
constexpr size_t kSmallestPart = 14;  // three words and two terminators

struct Part {
  int32_t width = -1;
  uint32_t flags = 0;
  int32_t icon = -1;
  std::string text;
  std::string tooltip;
};

// False when the list is damaged; an empty buffer is no parts.
bool ReadParts(ByteRun data, std::vector<Part>* parts) {
  parts->clear();
  if (data.empty()) return true;
  ByteReader reader(data);
  uint32_t count = reader.Word();
  if (count > reader.remaining() / kSmallestPart) return false;
  for (uint32_t i = 0; i < count; ++i) {
    Part part;
    part.width = static_cast<int32_t>(reader.Word());
    part.flags = reader.Word();
    part.icon = static_cast<int32_t>(reader.Word());
    ByteRun text = reader.TerminatedText();
    ByteRun tooltip = reader.TerminatedText();
    if (reader.failed()) return false;
    part.text = TextOf(text.first(text.size() - 1));
    part.tooltip = TextOf(tooltip.first(tooltip.size() - 1));
    parts->push_back(std::move(part));
  }
  return true;
}

std::vector<uint8_t> WriteParts(const std::vector<Part>& parts) {
  if (parts.empty()) return {};
  PropertyWriter writer;
  writer.Word(static_cast<uint32_t>(parts.size()));
  for (const Part& part : parts) {
    writer.Word(static_cast<uint32_t>(part.width));
    writer.Word(part.flags);
    writer.Word(static_cast<uint32_t>(part.icon));
    writer.Raw(part.text.c_str(), part.text.size() + 1);
    writer.Raw(part.tooltip.c_str(), part.tooltip.size() + 1);
  }
  return writer.bytes();
}

struct StatusBarProperties : StatusBarStored {
  std::vector<Part> decoded_parts;  // what the bar works from

  // The stored word as it came, brought into range.
  uint32_t Position() const { return ClampChoice(position, kFree); }
  DWORD PositionStyle() const {
    if (Position() == kDockTop) return CCS_TOP;
    if (Position() == kFree) return CCS_NORESIZE | CCS_NOPARENTALIGN;
    return CCS_BOTTOM;
  }
};

constexpr auto kStatusBarTable = StatusBarTable<StatusBarProperties>();

class StatusBar : public TableComponent<StatusBarProperties, kStatusBarTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at) {
    // A damaged part list fails the creation, as damaged data does.
    if (!ReadParts(ByteRun(p.parts.data(), p.parts.size()), &p.decoded_parts)) return false;
    EnsureCommonControls();
    // No WS_CLIPSIBLINGS: the bar lies over the bottom of whatever it docks against.
    DWORD style = WS_CHILD | at.extra_style | SBARS_TOOLTIPS | p.PositionStyle() | (p.size_grip ? SBARS_SIZEGRIP : 0);
    HWND window = CreateChildWindow(0, STATUSCLASSNAMEW, "", style, at);
    if (!window) return false;
    Attach(window);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(p.font.Handle(hwnd())), FALSE);
    BuildIcons();
    SendMessageW(window, SB_SIMPLE, FALSE, 0);
    SendMessageW(window, SB_SETBKCOLOR, 0, static_cast<LPARAM>(p.background_color));  // 0xFF000000 is CLR_DEFAULT
    LayOutParts();
    return true;
  }

  bool GetOwn(int32_t number, PropertyValue* value) {
    if (number != BAR_PARTS) return false;
    p.parts = WriteParts(p.decoded_parts);
    *value = BytesValue(p.parts);
    return true;
  }

  int32_t Apply(Change, int32_t number, const PropertyValue& value) {
    HWND window = hwnd();
    switch (number) {
      case BAR_BACKGROUND_COLOR:
        SendMessageW(window, SB_SETBKCOLOR, 0, static_cast<LPARAM>(p.background_color));
        RepaintNow(window);
        break;
      case BAR_FONT:
        ShowFont(window, p.font);
        break;
      case BAR_ICON_LIST:
        BuildIcons();
        LayOutParts();
        RepaintNow(window);
        break;
      case BAR_PARTS: {
        std::vector<uint8_t> bytes = BytesFrom(value);
        std::vector<Part> parts;
        if (!ReadParts(ByteRun(bytes.data(), bytes.size()), &parts)) break;  // a damaged list changes nothing
        p.decoded_parts = std::move(parts);
        LayOutParts();
        RepaintNow(window);
        break;
      }
      default:
        break;
    }
    return 0;
  }

  void BeforeSave() { p.parts = WriteParts(p.decoded_parts); }

  void OnDpiChanged() override {
    ShowFont(hwnd(), p.font);
    LayOutParts();
  }

  void LayOutParts() {
    std::vector<int> edges;
    int right = 0;
    int dpi = display::WindowDpi(hwnd());  // part widths are template units
    for (const Part& part : p.decoded_parts) {
      if (static_cast<int32_t>(edges.size()) == kMostParts) break;
      if (part.width == -1) {
        edges.push_back(-1);
        break;
      }
      right += display::ToPixels(part.width, dpi);
      edges.push_back(right);
    }
    if (edges.empty()) edges.push_back(-1);  // the control always has one part
    SendMessageW(hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < p.decoded_parts.size() && i < edges.size(); ++i) {
      const Part& part = p.decoded_parts[i];
      SendMessageW(hwnd(), SB_SETTEXTW, i | part.flags, reinterpret_cast<LPARAM>(GbkToWide(part.text.c_str()).c_str()));
      HICON icon = part.icon >= 0 && static_cast<size_t>(part.icon) < icons_.size() ? icons_[part.icon].get() : nullptr;
      SendMessageW(hwnd(), SB_SETICON, i, reinterpret_cast<LPARAM>(icon));
      SendMessageW(hwnd(), SB_SETTIPTEXTW, i, reinterpret_cast<LPARAM>(GbkToWide(part.tooltip.c_str()).c_str()));
    }
  }

  void SetPartText(int32_t index, const char* text) {
    if (index < 0 || static_cast<size_t>(index) >= p.decoded_parts.size()) return;
    Part& part = p.decoded_parts[static_cast<size_t>(index)];
    // The download loop writes every part after every block: an unchanged
    // text costs nothing.
    if (part.text == text) return;
    part.text = text;
    SendMessageW(hwnd(), SB_SETTEXTW, static_cast<WPARAM>(index) | part.flags,
                 reinterpret_cast<LPARAM>(GbkToWide(text).c_str()));
    ShowNow(hwnd());
  }

  void BuildIcons() {
    icons_.clear();
    const uint8_t* data = p.icon_list.data();
    size_t size = p.icon_list.size();
    if (!IsIconFile(data, size)) return;
    uint16_t count = static_cast<uint16_t>(data[4] | data[5] << 8);
    for (uint16_t i = 0; i < count && 6u + 16u * (i + 1u) <= size; ++i) {
      // Each image on its own: a one-entry icon file.
      const uint8_t* entry = data + 6 + 16 * i;
      uint32_t image_size = entry[8] | entry[9] << 8 | entry[10] << 16 | static_cast<uint32_t>(entry[11]) << 24;
      uint32_t offset = entry[12] | entry[13] << 8 | entry[14] << 16 | static_cast<uint32_t>(entry[15]) << 24;
      OwnedIcon icon;
      if (offset <= size && image_size <= size - offset) {
        std::vector<uint8_t> single(22 + image_size);
        single[2] = 1;
        single[4] = 1;
        std::copy(entry, entry + 12, single.begin() + 6);
        single[18] = 22;
        std::copy(data + offset, data + offset + image_size, single.begin() + 22);
        icon.Reset(IconFromFile(single.data(), single.size()));
      }
      icons_.push_back(std::move(icon));
    }
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_SIZE && !docking_) {
      LRESULT result = Default(message, wparam, lparam);
      Dock();
      return result;
    }
    return Default(message, wparam, lparam);
  }

 private:
  // The control docks at the bottom by itself; top docking is placed here
  // too, since not every status bar implementation honours CCS_TOP.
  void Dock() {
    if (p.Position() == kFree) return;
    HWND parent = GetParent(hwnd());
    RECT client, own;
    if (!parent || !GetClientRect(parent, &client) || !GetWindowRect(hwnd(), &own)) return;
    int height = own.bottom - own.top;
    int top = p.Position() == kDockTop ? 0 : client.bottom - height;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    if (own.left == 0 && own.top == top && own.right == client.right) return;
    docking_ = true;
    SetWindowPos(hwnd(), nullptr, 0, top, client.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
    docking_ = false;
  }

  std::vector<OwnedIcon> icons_;
  bool docking_ = false;
};

constexpr auto kProperties = PropertyTypes<kStatusBarTable>();

}  // namespace

const UnitDescriptor kStatusBarUnit = {"StatusBar", "状态条", kUnitDocks, kProperties.data(), kProperties.size(),
                                       TableUnit<StatusBar>::Interface};

extern "C" void __cdecl StatusBarSetPartText(ArgRecord*, int32_t arg_count, ArgRecord* args) {
  if (arg_count < 2 || !args) return;
  // A missing window or element ends in the runtime error of code 2007.
  auto object = static_cast<uint32_t>(NotifyRuntime(NR_WINDOW_OBJECT_OR_FAIL, static_cast<int32_t>(args[0].value),
                                                    static_cast<int32_t>(args[0].aux)));
  auto* bar = dynamic_cast<StatusBar*>(reinterpret_cast<Component*>(static_cast<uintptr_t>(object)));
  if (!bar || !bar->hwnd()) return;
  const char* text = arg_count >= 3 && !args[2].omitted() ? args[2].as_text() : nullptr;
  bar->SetPartText(args[1].as_int(), text ? text : "");
}
