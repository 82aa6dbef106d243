// ProcessBar: the progress bar control. The position is kept as stored, and
// a write clamps it to 0-32,767; the control shows it clamped into the range.
#include <windows.h>

#include <commctrl.h>

#include "../component.h"
#include "control_support.h"
#include "standard_controls.h"
#include "table_unit.h"

using namespace controls;
using namespace units;

namespace {

constexpr int32_t kMaxPosition = 32767;

struct ProcessBarProperties {
  uint32_t border = 0;
  uint32_t orientation = 0;  // 0 horizontal, 1 vertical
  uint32_t smooth = 0;
  int32_t minimum = 0;
  int32_t maximum = 100;
  uint32_t position = 0;  // as stored; a write brings it into 0..kMaxPosition

  int32_t Low() const { return minimum < maximum ? minimum : maximum; }
  int32_t High() const { return minimum < maximum ? maximum : minimum; }
  uint32_t Border() const { return ClampChoice(border, 5); }
  int32_t Shown() const { return Clamp(static_cast<int32_t>(position), Low(), High()); }
};

enum : int32_t { PB_BORDER, PB_ORIENTATION, PB_STYLE, PB_MINIMUM, PB_MAXIMUM, PB_POSITION };

using P = ProcessBarProperties;
constexpr auto kProcessBarTable = units::Table<P>(1, {
    Choice(PB_BORDER, 5, &P::border, Change::kRestyle),
    Word(PB_ORIENTATION, PT_CHOICE, &P::orientation, Change::kRebuild),  // creation styles
    Word(PB_STYLE, PT_CHOICE, &P::smooth, Change::kRebuild),
    Word(PB_MINIMUM, PT_INTEGER, &P::minimum, Change::kOwn),
    Word(PB_MAXIMUM, PT_INTEGER, &P::maximum, Change::kOwn),
    Limited(PB_POSITION, PT_INTEGER, kMaxPosition, &P::position, Change::kOwn),
});

class ProcessBar : public Component {
 public:
  using Component::Component;
  static constexpr const auto& kTable = kProcessBarTable;
  ProcessBarProperties p;

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
