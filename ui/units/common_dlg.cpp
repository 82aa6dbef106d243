// CommonDlg: the file, colour, font and print dialogs' settings. It is never
// shown: its window is a hidden holder, and its 30 properties are kept and
// handed back as written.
//
// Stored form (version 0 and 1 alike): the version word, the type, the
// twelve truth values, the colour and the ten integers (words), then the
// six texts (counted texts), each group in property order. Properties 8-37
// are numbered: type, the six texts, the twelve truths, the colour, the ten
// integers.
#include "../component.h"
#include "control_support.h"
#include "standard_controls.h"
#include "table_unit.h"

using namespace controls;
using namespace units;

namespace {

constexpr wchar_t kClassName[] = L"_ZU_CommonDlg";

struct CommonDlgProperties {
  uint32_t type = 0;  // 0 open, 1 save, 2 colour, 3 font, 4 print
  uint32_t file_must_exist = 0;
  uint32_t path_must_exist = 1;
  uint32_t overwrite_prompt = 1;
  uint32_t hide_read_only = 1;
  uint32_t keep_current_folder = 0;
  uint32_t multiple_selection = 0;
  uint32_t no_link_resolution = 0;
  uint32_t full_colour_dialog = 0;
  uint32_t bold = 0;
  uint32_t italic = 0;
  uint32_t underline = 0;
  uint32_t strike_out = 0;
  uint32_t colour = 0;
  uint32_t filter_index = 1;
  uint32_t font_size = 9;
  uint32_t smallest_font_size = 0;
  uint32_t largest_font_size = 0;
  uint32_t copies = 1;
  uint32_t from_page = 0;
  uint32_t to_page = 0;
  uint32_t first_page = 0;
  uint32_t last_page = 0;
  uint32_t extra_flags = 0;
  std::string title;
  std::string filter;
  std::string file_name;
  std::string initial_folder;
  std::string default_extension;
  std::string font_name;
};

// Kept as written: a truth here is any word, as stored.
using P = CommonDlgProperties;
constexpr auto kCommonDlgTable = units::Table<P>(1, {
    Word(0, PT_CHOICE, &P::type, Change::kNothing),
    Word(7, PT_TRUTH, &P::file_must_exist, Change::kNothing),
    Word(8, PT_TRUTH, &P::path_must_exist, Change::kNothing),
    Word(9, PT_TRUTH, &P::overwrite_prompt, Change::kNothing),
    Word(10, PT_TRUTH, &P::hide_read_only, Change::kNothing),
    Word(11, PT_TRUTH, &P::keep_current_folder, Change::kNothing),
    Word(12, PT_TRUTH, &P::multiple_selection, Change::kNothing),
    Word(13, PT_TRUTH, &P::no_link_resolution, Change::kNothing),
    Word(14, PT_TRUTH, &P::full_colour_dialog, Change::kNothing),
    Word(15, PT_TRUTH, &P::bold, Change::kNothing),
    Word(16, PT_TRUTH, &P::italic, Change::kNothing),
    Word(17, PT_TRUTH, &P::underline, Change::kNothing),
    Word(18, PT_TRUTH, &P::strike_out, Change::kNothing),
    Word(19, PT_COLOUR, &P::colour, Change::kNothing),
    Word(20, PT_INTEGER, &P::filter_index, Change::kNothing),
    Word(21, PT_INTEGER, &P::font_size, Change::kNothing),
    Word(22, PT_INTEGER, &P::smallest_font_size, Change::kNothing),
    Word(23, PT_INTEGER, &P::largest_font_size, Change::kNothing),
    Word(24, PT_INTEGER, &P::copies, Change::kNothing),
    Word(25, PT_INTEGER, &P::from_page, Change::kNothing),
    Word(26, PT_INTEGER, &P::to_page, Change::kNothing),
    Word(27, PT_INTEGER, &P::first_page, Change::kNothing),
    Word(28, PT_INTEGER, &P::last_page, Change::kNothing),
    Word(29, PT_INTEGER, &P::extra_flags, Change::kNothing),
    Text(1, &P::title, Change::kNothing),
    Text(2, &P::filter, Change::kNothing),
    Text(3, &P::file_name, Change::kNothing),
    Text(4, &P::initial_folder, Change::kNothing),
    Text(5, &P::default_extension, Change::kNothing),
    Text(6, &P::font_name, Change::kNothing),
});

class CommonDlg : public Component {
 public:
  using Component::Component;
  static constexpr const auto& kTable = kCommonDlgTable;
  CommonDlgProperties p;

  bool Create(const Placement& at) {
    if (!RegisterUnitClass(kClassName)) return false;
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
