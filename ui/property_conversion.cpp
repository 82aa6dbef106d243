#include "ui/property_conversion.h"

#include <windows.h>

#include <cstring>

#include "platform/pointer_word.h"
#include "runtime/abi/arg_record.h"
#include "runtime/heap.h"
#include "runtime/value/text.h"
#include "ui/component.h"
#include "ui/cursors.h"
#include "ui/font_record.h"
#include "ui/template/window_template.h"
#include "ui/unit.h"

void* RuntimeAlloc(int32_t size) { return Alloc(size); }

void* NewByteArray(const void* data, uint32_t size) {
  if (size == 0 || !data) return nullptr;
  auto* block = static_cast<int32_t*>(Alloc(static_cast<int32_t>(size + 8)));
  block[0] = 1;
  block[1] = static_cast<int32_t>(size);
  std::memcpy(block + 2, data, size);
  return block;
}

void* MousePointerArray(const uint8_t* data, uint32_t size) {
  void* array = NewByteArray(data, size);
  if (array && size >= 4) {
    uint8_t* bytes = ByteArrayData(array);
    StoreWord(bytes, CursorIdentifierToIndex(LoadWord(bytes)));
  }
  return array;
}

PropertyType TypeOf(const UnitDescriptor* unit, int32_t table_index) {
  if (!unit || table_index < 0 || table_index >= unit->property_count) return PT_INTEGER;
  return static_cast<PropertyType>(unit->properties[table_index].type);
}

uint64_t ConvertForReader(PropertyType type, const PropertyValue& value, int32_t sub_field) {
  switch (type) {
    case PT_DECIMAL:
    case PT_DATETIME:
      return Pair(value.low, value.high);
    case PT_TRUTH:
      return value.low == 1 ? 1 : 0;
    case PT_TEXT:
    case PT_FILE_NAME:
      return PointerWord(TextCopy(AsPointer<const char>(value.low), RuntimeAlloc));
    case PT_PICTURE:
    case PT_ICON:
    case PT_SOUND:
    case PT_BYTES:
    case PT_BYTES_ALT:
      return PointerWord(NewByteArray(AsPointer<const void>(value.low), value.high));
    case PT_MOUSE_POINTER:
      return PointerWord(MousePointerArray(AsPointer<const uint8_t>(value.low), value.high));
    case PT_FONT: {
      LOGFONTA font = FontOrDefault(AsPointer<const void>(value.low));
      char face[LF_FACESIZE + 1] = {};
      std::memcpy(face, font.lfFaceName, LF_FACESIZE);
      if (sub_field == FONT_FACE_NAME) return PointerWord(TextCopy(face, RuntimeAlloc));
      if (sub_field != FONT_WHOLE_RECORD) return static_cast<uint32_t>(FontFieldValue(font, sub_field));
      auto* record = static_cast<FontRecord*>(Alloc(sizeof(FontRecord)));
      record->escapement = FontFieldValue(font, FONT_ESCAPEMENT);
      record->bold = FontFieldValue(font, FONT_BOLD);
      record->italic = FontFieldValue(font, FONT_ITALIC);
      record->strike_out = FontFieldValue(font, FONT_STRIKE_OUT);
      record->underline = FontFieldValue(font, FONT_UNDERLINE);
      record->point_size = FontFieldValue(font, FONT_POINT_SIZE);
      record->face_name = TextCopy(face, RuntimeAlloc);
      return PointerWord(record);
    }
    default:
      return value.low;
  }
}

uint64_t ReadUnitProperty(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                          int32_t sub_field) {
  auto get = unit ? reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY)) : nullptr;
  PropertyValue value = {0, 0};
  if (!get || !get(object, unit_property, &value)) return 0;
  return ConvertForReader(TypeOf(unit, table_index), value, sub_field);
}

void ConvertForUnit(const UnitDescriptor* unit, Component* object, int32_t table_index, int32_t unit_property,
                    int32_t sub_field, uint32_t low, uint32_t high, WriteValue* out) {
  static const char kEmpty[] = "";
  switch (TypeOf(unit, table_index)) {
    case PT_DECIMAL:
    case PT_DATETIME:
      out->value = {low, high};
      break;
    case PT_TRUTH:
      out->value = {low != 0 ? 1u : 0u, 0};
      break;
    case PT_CHOICE:
      out->value = {static_cast<int32_t>(low) < 0 ? 0u : low, 0};
      break;
    case PT_TEXT:
    case PT_FILE_NAME:
      out->value = {low ? low : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(kEmpty)), 0};
      break;
    case PT_PICTURE:
    case PT_ICON:
    case PT_SOUND:
    case PT_BYTES:
    case PT_BYTES_ALT:
    case PT_MOUSE_POINTER: {
      void* array = AsPointer<void>(low);
      out->value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(ByteArrayData(array))),
                    static_cast<uint32_t>(ByteArrayLength(array))};
      break;
    }
    case PT_FONT: {
      PropertyValue current = {0, 0};
      auto get = reinterpret_cast<UnitGetProperty>(unit->interface_function(UNIT_GET_PROPERTY));
      if (get) get(object, unit_property, &current);
      out->font = FontOrDefault(AsPointer<const void>(current.low));
      if (sub_field == FONT_WHOLE_RECORD) {
        if (const FontRecord* record = AsPointer<const FontRecord>(low)) ApplyFontRecord(&out->font, *record);
      } else {
        ApplyFontField(&out->font, sub_field, low);
      }
      out->value = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&out->font)), sizeof(LOGFONTA)};
      break;
    }
    default:
      out->value = {low, high};
      break;
  }
}

