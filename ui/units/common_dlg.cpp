// CommonDlg: the file, colour, font and print dialogs' settings. It is never
// shown: its window is a hidden holder, and its 30 properties are kept and
// handed back as written.
//
// Stored form (version 0 and 1 alike): the version word, the type, the
// twelve truth values, the colour and the ten integers (words), then the
// six texts (counted texts), each group in property order.
#include <array>

#include "../component.h"
#include "../property_writer.h"
#include "control_support.h"
#include "standard_controls.h"

using namespace controls;

namespace {

constexpr wchar_t kClassName[] = L"_ZU_CommonDlg";

// Properties 8-37 by their offset from 8.
enum : int32_t {
  CD_TYPE = 0,          // 0 open, 1 save, 2 colour, 3 font, 4 print
  CD_FIRST_TEXT = 1,    // title, filter, file name, initial folder, default extension, font name
  CD_FIRST_TRUTH = 7,   // file must exist, path must exist, overwrite prompt, hide read-only, keep current
                        // folder, multiple selection, no link resolution, full colour dialog, bold, italic,
                        // underline, strike-out
  CD_COLOUR = 19,
  CD_FIRST_INTEGER = 20,  // filter index, font size, smallest and largest font size, copies, from page,
                          // to page, first and last page, extra flags
  CD_COUNT = 30
};
constexpr int kTexts = CD_FIRST_TRUTH - CD_FIRST_TEXT;
constexpr int kTruths = CD_COLOUR - CD_FIRST_TRUTH;
constexpr int kIntegers = CD_COUNT - CD_FIRST_INTEGER;

struct CommonDlgProperties {
  uint32_t type = 0;
  std::array<std::string, kTexts> texts;
  std::array<uint32_t, kTruths> truths = {0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  uint32_t colour = 0;
  std::array<uint32_t, kIntegers> integers = {1, 9, 0, 0, 1, 0, 0, 0, 0, 0};

  static constexpr uint32_t kVersion = 1;
  bool Read(ByteReader& reader) {
    uint32_t version;
    if (!ReadVersion(reader, kVersion, &version)) return false;
    type = reader.Word();
    for (uint32_t& truth : truths) truth = reader.Word();
    colour = reader.Word();
    for (uint32_t& integer : integers) integer = reader.Word();
    for (std::string& text : texts) text = TextOf(reader.CountedText());
    return !reader.failed();
  }
  HGLOBAL Save() const {
    PropertyWriter writer;
    writer.Word(kVersion);
    writer.Word(type);
    for (uint32_t truth : truths) writer.Word(truth);
    writer.Word(colour);
    for (uint32_t integer : integers) writer.Word(integer);
    for (const std::string& text : texts) writer.CountedText(text);
    return writer.ToGlobal();
  }
};

class CommonDlg : public Component {
 public:
  using Component::Component;
  CommonDlgProperties p;

  bool Create(uint32_t extra_style, HWND parent, uint32_t control_id, RECT rect) {
    if (!RegisterUnitClass(kClassName)) return false;
    // Never WS_VISIBLE; the window manager also ignores its visible flag.
    HWND window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS | (extra_style & WS_DISABLED),
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)), nullptr, nullptr);
    if (!window) return false;
    Attach(window);
    return true;
  }
};

constexpr PropertyInfo kText = {PT_TEXT, 0}, kTruth = {PT_TRUTH, 0}, kInteger = {PT_INTEGER, 0};
const PropertyInfo kProperties[8 + CD_COUNT] = {
    QELMO_STANDARD_PROPERTIES,
    {PT_CHOICE, 0},
    kText, kText, kText, kText, kText, kText,
    kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth, kTruth,
    {PT_COLOUR, 0},
    kInteger, kInteger, kInteger, kInteger, kInteger, kInteger, kInteger, kInteger, kInteger, kInteger,
};

uint32_t* WordField(CommonDlgProperties& p, int32_t property) {
  if (property == CD_TYPE) return &p.type;
  if (property == CD_COLOUR) return &p.colour;
  if (property >= CD_FIRST_TRUTH && property < CD_COLOUR) return &p.truths[property - CD_FIRST_TRUTH];
  if (property >= CD_FIRST_INTEGER && property < CD_COUNT) return &p.integers[property - CD_FIRST_INTEGER];
  return nullptr;
}

std::string* TextField(CommonDlgProperties& p, int32_t property) {
  if (property >= CD_FIRST_TEXT && property < CD_FIRST_TRUTH) return &p.texts[property - CD_FIRST_TEXT];
  return nullptr;
}

int32_t Get(Component* object, int32_t property, PropertyValue* value) {
  CommonDlgProperties& p = static_cast<CommonDlg*>(object)->p;
  if (uint32_t* word = WordField(p, property)) {
    *value = WordValue(*word);
    return 1;
  }
  if (std::string* text = TextField(p, property)) {
    *value = TextValue(*text);
    return 1;
  }
  return 0;
}

int32_t Set(Component* object, int32_t property, PropertyValue* value, int32_t) {
  CommonDlgProperties& p = static_cast<CommonDlg*>(object)->p;
  if (uint32_t* word = WordField(p, property))
    *word = value->low;
  else if (std::string* text = TextField(p, property))
    *text = TextFrom(*value);
  return 0;
}

HGLOBAL Save(Component* object) { return static_cast<CommonDlg*>(object)->p.Save(); }

void* Interface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateControl<CommonDlg>);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&Set);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&Save);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&Get);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kCommonDlgUnit = {"CommonDlg", "通用对话框", kUnitWindowless, kProperties, 8 + CD_COUNT,
                                       Interface};
