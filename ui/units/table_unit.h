// The operations every unit answers the same way: creation from stored
// data, get, set and save through the unit's property table. A unit class
// derives from TableComponent, which gives it
//   static constexpr const auto& kTable;   its property table
//   Holder p;                                the stored properties
// and provides
//   bool Create(const Placement&);           makes the window from p
//   int32_t Apply(Change, int32_t number, const PropertyValue&);
//                                            a change's effect; 1 asks for a rebuild
// and may provide
//   bool GetOwn(int32_t number, PropertyValue*);   live and own properties
//   void BeforeSave();                             take live state into p
//   bool IsDefaultButton() const;
#pragma once
#include <windows.h>

#include "ui/component.h"
#include "ui/unit.h"
#include "ui/units/property_table.h"
#include "ui/units/unit_window.h"

namespace units {

// An operation of this program's own, beyond the window manager's: the
// unit's stored rows as a RowInfoList.
constexpr int32_t UNIT_DESCRIBE_ROWS = 0x7100;

using controls::Placement;

// A unit's component: its stored properties `p`, read, saved, got and set
// through `kStoredTable` (made from the unit's description over a holder of
// the unit's own file). One base, not a second one beside Component: a
// second base would bring the run-time type support of multiple
// inheritance into the program.
template <typename Holder, const auto& kStoredTable>
class TableComponent : public Component {
 public:
  using Component::Component;
  static constexpr const auto& kTable = kStoredTable;
  Holder p;
};

template <typename Unit>
struct TableUnit {
  // Operation 1: read the stored data (empty data keeps the defaults), then
  // make the window; null when either fails.
  static Component* Create(const uint8_t* data, uint32_t size, uint32_t extra_style, HWND parent,
                           uint32_t control_id, HMENU menu, int32_t left, int32_t top, int32_t width,
                           int32_t height, uint32_t window_id, uint32_t element_id, int32_t, int32_t) {
    auto* unit = new Unit(window_id, element_id);
    ByteReader reader(data, size);
    if ((size > 0 && !Unit::kTable.Read(reader, unit->p)) ||
        !unit->Create(Placement{extra_style, parent, control_id, menu, RECT{left, top, left + width, top + height}})) {
      delete unit;
      return nullptr;
    }
    return unit;
  }

  static int32_t Get(Component* object, int32_t number, PropertyValue* value) {
    auto* unit = static_cast<Unit*>(object);
    if constexpr (requires { unit->GetOwn(number, value); }) {
      if (unit->GetOwn(number, value)) return 1;
    }
    return Unit::kTable.Get(unit->p, number, value) ? 1 : 0;
  }

  // Operation 4: 1 when the component must be made again.
  static int32_t Set(Component* object, int32_t number, PropertyValue* value, int32_t) {
    auto* unit = static_cast<Unit*>(object);
    switch (Change change = Unit::kTable.Set(unit->p, number, *value)) {
      case Change::kNothing: return 0;
      case Change::kRebuild: return 1;
      default: return unit->Apply(change, number, *value);
    }
  }

  static HGLOBAL Save(Component* object) {
    auto* unit = static_cast<Unit*>(object);
    if constexpr (requires { unit->BeforeSave(); }) unit->BeforeSave();
    return Unit::kTable.Save(unit->p);
  }

  static int32_t IsDefaultButton(Component* object) { return static_cast<Unit*>(object)->IsDefaultButton() ? 1 : 0; }

  static constexpr auto kRowInfos = RowInfos<Unit::kTable>();
  static constexpr RowInfoList kRowInfoList = {kRowInfos.data(), kRowInfos.size(), Unit::kTable.version};

  static void* Interface(int32_t operation) {
    switch (operation) {
      case UNIT_DESCRIBE_ROWS: return const_cast<RowInfoList*>(&kRowInfoList);
      case UNIT_CREATE: return reinterpret_cast<void*>(&Create);
      case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&Set);
      case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&Save);
      case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&Get);
      case UNIT_IS_DEFAULT_BUTTON:
        if constexpr (requires(const Unit& unit) { unit.IsDefaultButton(); })
          return reinterpret_cast<void*>(&IsDefaultButton);
        return nullptr;
      default: return nullptr;
    }
  }
};

}  // namespace units
