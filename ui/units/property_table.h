// A unit's stored properties as one table: a row per property, in stored
// order, naming its number, type, kind, the holder's field, the version it
// first appeared in and what a change of it does. Reading, saving, get and
// set are the table's; a unit keeps only what is truly its own (creation,
// painting, the effect of a change on its window, and live properties).
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "ui/property_writer.h"
#include "ui/units/property_values.h"
#include "ui/units/unit_font.h"

namespace units {

// What storing a new value asks of the live component.
enum class Change : uint8_t {
  kNothing,  // stored only (also: the value did not change)
  kRepaint,
  kRestyle,  // window styles follow the holder
  kRebuild,  // a creation style: the window manager makes the component again
  kOwn,      // the unit's own handling of this property
};

// Every word is kept as it was stored, so that saving gives back what was
// read; where a unit uses a value it brings it into range itself. Only a
// write brings a choice, a truth or a limited integer into range.
enum class Kind : uint8_t {
  kWord,       // an integer or colour
  kChoice,     // written as 0..max; negative values become 0
  kTruth,      // written as 0 or 1
  kText,       // a counted GBK text
  kBytes,      // a counted byte buffer (pictures, icons, sounds, part lists)
  kFont,       // a 60-byte LOGFONTA, or nothing for the default GUI font
  kCharacter,  // one GBK character in a half word
  kUnstored,   // not stored: get and set are the unit's
};

template <typename Holder>
struct Row {
  using Field = std::variant<std::monostate, uint32_t Holder::*, int32_t Holder::*, uint16_t Holder::*,
                             std::string Holder::*, std::vector<uint8_t> Holder::*, controls::UnitFont Holder::*>;
  int32_t number;  // counted after the eight standard properties; -1: stored only
  uint16_t type;   // PT_*
  Kind kind;
  uint32_t max = 0;    // a choice's largest value
  uint32_t since = 0;  // the holder version that first stored it
  Change change = Change::kNothing;
  Field field = {};
  bool live = false;  // stored, but get and set are the unit's: the window holds the value
  bool always = false;  // a write answers its change even when the value stays

  constexpr Row Since(uint32_t version) const {
    Row row = *this;
    row.since = version;
    return row;
  }
  constexpr Row Always() const {
    Row row = *this;
    row.always = true;
    return row;
  }
  constexpr Row Live() const {
    Row row = *this;
    row.live = true;
    row.change = Change::kOwn;
    return row;
  }
};

// Row makers, one per kind.
template <typename H>
constexpr Row<H> Word(int32_t number, uint16_t type, uint32_t H::*field, Change change) {
  return {number, type, Kind::kWord, 0, 0, change, field};
}
template <typename H>
constexpr Row<H> Word(int32_t number, uint16_t type, int32_t H::*field, Change change) {
  return {number, type, Kind::kWord, 0, 0, change, field};
}
template <typename H>
constexpr Row<H> Choice(int32_t number, uint32_t max, uint32_t H::*field, Change change) {
  return {number, PT_CHOICE, Kind::kChoice, max, 0, change, field};
}
// An integer that a write brings into 0..max, kept as stored otherwise.
template <typename H>
constexpr Row<H> Limited(int32_t number, uint16_t type, uint32_t max, uint32_t H::*field, Change change) {
  return {number, type, Kind::kChoice, max, 0, change, field};
}
template <typename H>
constexpr Row<H> Truth(int32_t number, uint32_t H::*field, Change change) {
  return {number, PT_TRUTH, Kind::kTruth, 1, 0, change, field};
}
template <typename H>
constexpr Row<H> Text(int32_t number, std::string H::*field, Change change, uint16_t type = PT_TEXT) {
  return {number, type, Kind::kText, 0, 0, change, field};
}
template <typename H>
constexpr Row<H> Bytes(int32_t number, uint16_t type, std::vector<uint8_t> H::*field, Change change) {
  return {number, type, Kind::kBytes, 0, 0, change, field};
}
template <typename H>
constexpr Row<H> Font(int32_t number, controls::UnitFont H::*field, Change change) {
  return {number, PT_FONT, Kind::kFont, 0, 0, change, field};
}
template <typename H>
constexpr Row<H> Character(int32_t number, uint16_t H::*field) {
  return Row<H>{number, PT_TEXT, Kind::kCharacter, 0, 0, Change::kOwn, field}.Live();
}
template <typename H>
constexpr Row<H> Unstored(int32_t number, uint16_t type) {
  return Row<H>{number, type, Kind::kUnstored, 0, 0, Change::kOwn, {}}.Live();
}

template <typename Holder, size_t N>
struct PropertyTable {
  uint32_t version;  // the newest holder version, written by save
  std::array<Row<Holder>, N> rows;

  // The stored data: the version word, then each row the version has.
  // False when the data is damaged or newer than the table.
  bool Read(ByteReader& reader, Holder& holder) const {
    uint32_t stored = reader.Word();
    if (reader.failed() || stored > version) return false;
    for (const Row<Holder>& row : rows) {
      if (row.kind == Kind::kUnstored || row.since > stored) continue;
      switch (row.kind) {
        case Kind::kText: holder.*std::get<std::string Holder::*>(row.field) = controls::TextOf(reader.CountedText()); break;
        case Kind::kBytes:
          holder.*std::get<std::vector<uint8_t> Holder::*>(row.field) = controls::BytesOf(reader.Buffer());
          break;
        case Kind::kFont: (holder.*std::get<controls::UnitFont Holder::*>(row.field)).SetStored(reader.Buffer()); break;
        case Kind::kCharacter: holder.*std::get<uint16_t Holder::*>(row.field) = reader.Half(); break;
        default: StoreWord(holder, row, reader.Word()); break;
      }
    }
    return !reader.failed();
  }

  HGLOBAL Save(const Holder& holder) const {
    PropertyWriter writer;
    writer.Word(version);
    for (const Row<Holder>& row : rows) {
      switch (row.kind) {
        case Kind::kUnstored: break;
        case Kind::kText: writer.CountedText(holder.*std::get<std::string Holder::*>(row.field)); break;
        case Kind::kBytes: writer.Buffer(holder.*std::get<std::vector<uint8_t> Holder::*>(row.field)); break;
        case Kind::kFont: (holder.*std::get<controls::UnitFont Holder::*>(row.field)).Write(writer); break;
        case Kind::kCharacter: writer.Half(holder.*std::get<uint16_t Holder::*>(row.field)); break;
        default: writer.Word(LoadWord(holder, row)); break;
      }
    }
    return writer.ToGlobal();
  }

  // Get of a stored property; false for numbers the table does not hand out.
  bool Get(const Holder& holder, int32_t number, PropertyValue* value) const {
    const Row<Holder>* row = Find(number);
    if (!row || row->live) return false;
    switch (row->kind) {
      case Kind::kText: *value = controls::TextValue(holder.*std::get<std::string Holder::*>(row->field)); return true;
      case Kind::kBytes:
        *value = controls::BytesValue(holder.*std::get<std::vector<uint8_t> Holder::*>(row->field));
        return true;
      case Kind::kFont: *value = (holder.*std::get<controls::UnitFont Holder::*>(row->field)).Value(); return true;
      case Kind::kCharacter:
      case Kind::kUnstored: return false;
      default: *value = controls::WordValue(LoadWord(holder, *row)); return true;
    }
  }

  // Stores a value brought into the row's range; answers what the change
  // asks of the component, or kNothing when the value did not change and
  // the row does not answer always.
  // Live properties are the unit's to store: kOwn, always.
  Change Set(Holder& holder, int32_t number, const PropertyValue& value) const {
    const Row<Holder>* row = Find(number);
    if (!row) return Change::kNothing;
    if (row->live) return Change::kOwn;
    switch (row->kind) {
      case Kind::kText: return Replace(holder.*std::get<std::string Holder::*>(row->field), controls::TextFrom(value), *row);
      case Kind::kBytes:
        return Replace(holder.*std::get<std::vector<uint8_t> Holder::*>(row->field), controls::BytesFrom(value), *row);
      case Kind::kFont: {
        controls::UnitFont& font = holder.*std::get<controls::UnitFont Holder::*>(row->field);
        if (font.Holds(value)) return Change::kNothing;
        font.SetValue(value);
        return row->change;
      }
      case Kind::kCharacter:
      case Kind::kUnstored: return Change::kOwn;
      default: {
        uint32_t word = InRange(*row, value.low);
        if (LoadWord(holder, *row) == word && !row->always) return Change::kNothing;
        StoreWord(holder, *row, word);
        return row->change;
      }
    }
  }

  const Row<Holder>* Find(int32_t number) const {
    if (number < 0) return nullptr;
    for (const Row<Holder>& row : rows)
      if (row.number == number) return &row;
    return nullptr;
  }

  // The number of properties after the eight standard ones.
  constexpr int32_t count() const {
    int32_t highest = -1;
    for (const Row<Holder>& row : rows) highest = row.number > highest ? row.number : highest;
    return highest + 1;
  }

 private:
  static uint32_t InRange(const Row<Holder>& row, uint32_t word) {
    if (row.kind == Kind::kTruth) return word != 0 ? 1 : 0;
    if (row.kind == Kind::kChoice) return controls::ClampChoice(word, static_cast<int32_t>(row.max));
    return word;
  }
  static uint32_t LoadWord(const Holder& holder, const Row<Holder>& row) {
    if (auto* field = std::get_if<int32_t Holder::*>(&row.field)) return static_cast<uint32_t>(holder.**field);
    return holder.*std::get<uint32_t Holder::*>(row.field);
  }
  static void StoreWord(Holder& holder, const Row<Holder>& row, uint32_t word) {
    if (auto* field = std::get_if<int32_t Holder::*>(&row.field))
      holder.**field = static_cast<int32_t>(word);
    else
      holder.*std::get<uint32_t Holder::*>(row.field) = word;
  }
  template <typename T>
  static Change Replace(T& stored, T fresh, const Row<Holder>& row) {
    if (stored == fresh) return Change::kNothing;
    stored = std::move(fresh);
    return row.change;
  }
};

template <typename H, size_t N>
constexpr PropertyTable<H, N> Table(uint32_t version, const Row<H> (&rows)[N]) {
  PropertyTable<H, N> table{version, {}};
  for (size_t i = 0; i < N; ++i) table.rows[i] = rows[i];
  return table;
}

// What a table says of each row, without the holder's type: how the tests
// hold the form compiler's table against the units'.
struct RowInfo {
  int32_t number;
  uint16_t type;
  Kind kind;
  uint32_t since;
  bool live;
};
struct RowInfoList {
  const RowInfo* rows;
  size_t count;
  uint32_t version;
};
template <const auto& kTable>
constexpr auto RowInfos() {
  std::array<RowInfo, kTable.rows.size()> infos = {};
  for (size_t i = 0; i < infos.size(); ++i) {
    const auto& row = kTable.rows[i];
    infos[i] = {row.number, row.type, row.kind, row.since, row.live};
  }
  return infos;
}

// The property types by number, the eight standard properties first, for
// the unit descriptor.
template <const auto& kTable>
constexpr auto PropertyTypes() {
  std::array<PropertyInfo, 8 + kTable.count()> types = {{QELMO_STANDARD_PROPERTIES}};
  for (const auto& row : kTable.rows)
    if (row.number >= 0) types[8 + row.number] = {row.type, 0};
  return types;
}

}  // namespace units
