// ProcessBar: the progress bar control. The position is kept as stored, and
// a write clamps it to 0-32,767; the control shows it clamped into the range.
#include <windows.h>

#include <commctrl.h>

#include "ui/component.h"
#include "ui/units/borders.h"
#include "ui/units/process_bar_properties.h"
#include "ui/units/property_values.h"
#include "ui/units/standard_controls.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

struct ProcessBarProperties : ProcessBarStored {
  int32_t Low() const { return minimum < maximum ? minimum : maximum; }
  int32_t High() const { return minimum < maximum ? maximum : minimum; }
  uint32_t Border() const { return ClampChoice(border, 5); }
  int32_t Shown() const { return Clamp(static_cast<int32_t>(position), Low(), High()); }
};

constexpr auto kProcessBarTable = ProcessBarTable<ProcessBarProperties>();

class ProcessBar : public TableComponent<ProcessBarProperties, kProcessBarTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at) {
    EnsureCommonControls();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | at.extra_style | (p.orientation == 1 ? PBS_VERTICAL : 0) |
                  (p.smooth ? PBS_SMOOTH : 0);
    HWND window = CreateChildWindow(BorderExStyle(p.Border()), PROGRESS_CLASSW, "", style | BorderStyle(p.Border()), at);
    if (!window) return false;
    Attach(window);
    SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(p.Low()), static_cast<LPARAM>(p.High()));
    SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(p.Shown()), 0);
    return true;
  }

  int32_t Apply(Change change, int32_t number, const PropertyValue&) {
    if (change == Change::kRestyle) {
      ApplyBorderStyle(hwnd(), p.Border());
      RepaintNow(hwnd());
    } else if (number == PB_POSITION) {
      ShowPosition();
    } else {
      ShowRange();
    }
    return 0;
  }

  // Sends the position only when the bar would show something new: the
  // download loop writes it after every block.
  void ShowPosition() {
    if (SendMessageW(hwnd(), PBM_GETPOS, 0, 0) == p.Shown()) return;
    SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(p.Shown()), 0);
    ShowNow(hwnd());
  }
  void ShowRange() {
    SendMessageW(hwnd(), PBM_SETRANGE32, static_cast<WPARAM>(p.Low()), static_cast<LPARAM>(p.High()));
    SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(p.Shown()), 0);
    RepaintNow(hwnd());
  }
};

constexpr auto kProperties = PropertyTypes<kProcessBarTable>();

}  // namespace

const UnitDescriptor kProcessBarUnit = {"ProcessBar", "进度条", 0, kProperties.data(), kProperties.size(),
                                        TableUnit<ProcessBar>::Interface};
