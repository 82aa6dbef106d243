// CommonDlg: the file, colour, font and print dialogs' settings. It is never
// shown: its window is a hidden holder, and its 30 properties are kept and
// handed back as written.
//
// Stored form (version 0 and 1 alike): the version word, the type, the
// twelve truth values, the colour and the ten integers (words), then the
// six texts (counted texts), each group in property order. Properties 8-37
// are numbered: type, the six texts, the twelve truths, the colour, the ten
// integers.
#include "platform/window_class.h"
#include "ui/component.h"
#include "ui/units/common_dlg_properties.h"
#include "ui/units/standard_controls.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

constexpr wchar_t kClassName[] = L"_ZU_CommonDlg";

struct CommonDlgProperties : CommonDlgStored {};
constexpr auto kCommonDlgTable = CommonDlgTable<CommonDlgProperties>();

class CommonDlg : public TableComponent<CommonDlgProperties, kCommonDlgTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at) {
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS)) return false;
    HWND window = CreateChildWindow(0, kClassName, "", WS_CHILD | WS_CLIPSIBLINGS | (at.extra_style & WS_DISABLED), at);
    if (!window) return false;
    Attach(window);
    return true;
  }
  int32_t Apply(Change, int32_t, const PropertyValue&) { return 0; }
};

constexpr auto kProperties = PropertyTypes<kCommonDlgTable>();

}  // namespace

const UnitDescriptor kCommonDlgUnit = {"CommonDlg", "通用对话框", kUnitWindowless, kProperties.data(),
                                       kProperties.size(), TableUnit<CommonDlg>::Interface};
