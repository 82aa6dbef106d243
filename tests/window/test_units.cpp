#include "tests/window/test_units.h"

#include <cstring>
#include <string>

#include "platform/wide_text.h"
#include "ui/component.h"
#include "ui/property_writer.h"
#include "ui/unit.h"

int g_static_objects_made = 0;

namespace {

// ------------------------------------------------------------ font holder
class FontHolder : public Component {
 public:
  using Component::Component;
  bool has_font = false;
  LOGFONTA font = {};
  uint32_t number = 0;
};

const PropertyInfo kFontProperties[] = {QELMO_STANDARD_PROPERTIES, {PT_FONT, 0}, {PT_INTEGER, 0}};

Component* CreateFontHolder(const uint8_t*, uint32_t, uint32_t, HWND, uint32_t, HMENU, int32_t, int32_t, int32_t,
                            int32_t, uint32_t window_id, uint32_t element_id, int32_t, int32_t) {
  return new FontHolder(window_id, element_id);
}

int32_t GetFontHolder(Component* object, int32_t property, PropertyValue* value) {
  auto* holder = static_cast<FontHolder*>(object);
  if (property == 0) {
    *value = {holder->has_font ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&holder->font)) : 0u, 60};
    return 1;
  }
  if (property == 1) {
    *value = {holder->number, 0};
    return 1;
  }
  return 0;
}

int32_t SetFontHolder(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* holder = static_cast<FontHolder*>(object);
  if (property == 0 && value->low) {
    std::memcpy(&holder->font, reinterpret_cast<const void*>(static_cast<uintptr_t>(value->low)), sizeof holder->font);
    holder->has_font = true;
  } else if (property == 1) {
    holder->number = value->low;
  }
  return 0;
}

void* FontHolderInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateFontHolder);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetFontHolder);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetFontHolder);
    default: return nullptr;
  }
}

const UnitDescriptor kFontUnit = {"FontHolder", "字体", kUnitWindowless, kFontProperties, 10, FontHolderInterface};

// ------------------------------------------------------------ static text
class StaticText : public Component {
 public:
  StaticText(uint32_t window_id, uint32_t element_id, std::string caption)
      : Component(window_id, element_id), caption(std::move(caption)) {}
  bool Create(uint32_t extra_style, HWND parent, uint32_t control_id, RECT rect) {
    HWND window = CreateWindowExW(0, L"STATIC", GbkToWide(caption.c_str()).c_str(),
                                  WS_CHILD | WS_CLIPSIBLINGS | extra_style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)), nullptr, nullptr);
    if (!window) return false;
    Attach(window);
    return true;
  }
  std::string caption;
};

const PropertyInfo kStaticProperties[] = {QELMO_STANDARD_PROPERTIES, {PT_TEXT, 0}, {PT_INTEGER, 0}};

Component* CreateStatic(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND parent, uint32_t control_id,
                        HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t window_id,
                        uint32_t element_id, int32_t, int32_t) {
  auto* text = new StaticText(window_id, element_id, std::string(reinterpret_cast<const char*>(data), size));
  if (!text->Create(extra_style, parent, control_id, RECT{left, top, left + width, top + height})) {
    delete text;
    return nullptr;
  }
  ++g_static_objects_made;
  // An event from inside the load or a rebuild: no routine may run for it.
  text->RaiseEvent(0);
  return text;
}

int32_t GetStatic(Component* object, int32_t property, PropertyValue* value) {
  if (property != 0) return 0;
  *value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(static_cast<StaticText*>(object)->caption.c_str())), 0};
  return 1;
}

// Property 9 (style) asks for a rebuild.
int32_t SetStatic(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* text = static_cast<StaticText*>(object);
  if (property == 0) {
    text->caption = reinterpret_cast<const char*>(static_cast<uintptr_t>(value->low));
    SetWindowTextW(text->hwnd(), GbkToWide(text->caption.c_str()).c_str());
    return 0;
  }
  return property == 1 ? 1 : 0;
}

// The stored form is the caption's bytes alone.
HGLOBAL SaveStatic(Component* object) {
  PropertyWriter writer;
  const std::string& caption = static_cast<StaticText*>(object)->caption;
  writer.Raw(caption.data(), caption.size());
  return writer.ToGlobal();
}

void* StaticInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateStatic);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetStatic);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetStatic);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&SaveStatic);
    default: return nullptr;
  }
}

const UnitDescriptor kStaticUnit = {"StaticText", "静态", kUnitRaisesEvents, kStaticProperties, 10, StaticInterface};

const UnitDescriptor* const kTestUnits[] = {&kFontUnit, &kStaticUnit};

}  // namespace

const LibraryDescriptor kTestUnitLibrary = {"test-units", nullptr, nullptr, 0, kTestUnits, 2};
