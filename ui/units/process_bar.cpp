// ProcessBar: the progress bar control. The position is kept as written
// (clamped to 0-32,767); the control shows it clamped into the range.
#include <windows.h>

#include <commctrl.h>

#include "../component.h"
#include "../property_writer.h"
#include "control_support.h"
#include "standard_controls.h"

using namespace controls;

namespace {

constexpr int32_t kMaxPosition = 32767;

struct ProcessBarProperties {
  uint32_t border = 0;
  uint32_t orientation = 0;  // 0 horizontal, 1 vertical
  uint32_t smooth = 0;
  int32_t minimum = 0;
  int32_t maximum = 100;
  int32_t position = 0;

  static constexpr uint32_t kVersion = 1;
  bool Read(ByteReader& reader) {
    uint32_t version;
    if (!ReadVersion(reader, kVersion, &version)) return false;
    border = ClampChoice(reader.Word(), 5);
    orientation = reader.Word();
    smooth = reader.Word();
    minimum = static_cast<int32_t>(reader.Word());
    maximum = static_cast<int32_t>(reader.Word());
    position = static_cast<int32_t>(reader.Word());
    return !reader.failed();
  }
  HGLOBAL Save() const {
    PropertyWriter writer;
    writer.Word(kVersion);
    for (uint32_t word : {border, orientation, smooth, static_cast<uint32_t>(minimum), static_cast<uint32_t>(maximum),
                          static_cast<uint32_t>(position)})
      writer.Word(word);
    return writer.ToGlobal();
  }
  int32_t Low() const { return minimum < maximum ? minimum : maximum; }
  int32_t High() const { return minimum < maximum ? maximum : minimum; }
  int32_t Shown() const { return Clamp(position, Low(), High()); }
};

class ProcessBar : public Component {
 public:
  using Component::Component;
  ProcessBarProperties p;

  bool Create(uint32_t extra_style, HWND parent, uint32_t control_id, RECT rect) {
    EnsureCommonControls();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | extra_style | (p.orientation == 1 ? PBS_VERTICAL : 0) |
                  (p.smooth ? PBS_SMOOTH : 0);
    HWND window = CreateWindowExW(BorderExStyle(p.border), PROGRESS_CLASSW, L"", style | BorderStyle(p.border),
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)), nullptr, nullptr);
    if (!window) return false;
    Attach(window);
    SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(p.Low()), static_cast<LPARAM>(p.High()));
    SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(p.Shown()), 0);
    return true;
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

enum : int32_t { PB_BORDER, PB_ORIENTATION, PB_STYLE, PB_MINIMUM, PB_MAXIMUM, PB_POSITION, PB_COUNT };

const PropertyInfo kProperties[8 + PB_COUNT] = {
    QELMO_STANDARD_PROPERTIES, {PT_CHOICE, 0},  {PT_CHOICE, 0},  {PT_CHOICE, 0},
    {PT_INTEGER, 0},           {PT_INTEGER, 0}, {PT_INTEGER, 0},
};

int32_t Get(Component* object, int32_t property, PropertyValue* value) {
  const ProcessBarProperties& p = static_cast<ProcessBar*>(object)->p;
  switch (property) {
    case PB_BORDER: *value = WordValue(p.border); return 1;
    case PB_ORIENTATION: *value = WordValue(p.orientation); return 1;
    case PB_STYLE: *value = WordValue(p.smooth); return 1;
    case PB_MINIMUM: *value = WordValue(static_cast<uint32_t>(p.minimum)); return 1;
    case PB_MAXIMUM: *value = WordValue(static_cast<uint32_t>(p.maximum)); return 1;
    case PB_POSITION: *value = WordValue(static_cast<uint32_t>(p.position)); return 1;
    default: return 0;
  }
}

int32_t Set(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* bar = static_cast<ProcessBar*>(object);
  ProcessBarProperties& p = bar->p;
  auto v = static_cast<int32_t>(value->low);
  switch (property) {
    case PB_BORDER:
      p.border = ClampChoice(value->low, 5);
      ApplyBorderStyle(bar->hwnd(), p.border);
      RepaintNow(bar->hwnd());
      return 0;
    case PB_ORIENTATION:
    case PB_STYLE: {
      // Both are creation styles: a change rebuilds the control.
      uint32_t& field = property == PB_ORIENTATION ? p.orientation : p.smooth;
      if (field == value->low) return 0;
      field = value->low;
      return 1;
    }
    case PB_MINIMUM:
    case PB_MAXIMUM:
      (property == PB_MINIMUM ? p.minimum : p.maximum) = v;
      bar->ShowRange();
      return 0;
    case PB_POSITION:
      p.position = Clamp(v, 0, kMaxPosition);
      bar->ShowPosition();
      return 0;
    default:
      return 0;
  }
}

HGLOBAL Save(Component* object) { return static_cast<ProcessBar*>(object)->p.Save(); }

void* Interface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateControl<ProcessBar>);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&Set);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&Save);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&Get);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kProcessBarUnit = {"ProcessBar", "进度条", 0, kProperties, 8 + PB_COUNT, Interface};
