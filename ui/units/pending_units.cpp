#include "pending_units.h"

#include "../component.h"

namespace {

const PropertyInfo kStandardOnly[8] = {QELMO_STANDARD_PROPERTIES};

Component* CreatePending(const uint8_t*, uint32_t, uint32_t, HWND, uint32_t, HMENU, int32_t, int32_t, int32_t,
                         int32_t, uint32_t window_id, uint32_t element_id, int32_t, int32_t) {
  return new Component(window_id, element_id);
}

int32_t GetNothing(Component*, int32_t, PropertyValue*) { return 0; }
int32_t SetNothing(Component*, int32_t, PropertyValue*, int32_t) { return 0; }

void* PendingInterface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreatePending);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&GetNothing);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&SetNothing);
    default: return nullptr;
  }
}

void* NoInterface(int32_t) { return nullptr; }

constexpr uint32_t kPendingFlags = kUnitWindowless | kUnitNeverRebuilt;

}  // namespace

const UnitDescriptor kPendingTransLabel = {"TransLabel", "透明标签", kPendingFlags, kStandardOnly, 8,
                                           PendingInterface};
const UnitDescriptor kPendingSuperBtn = {"SuperBtn", "超级按钮", kPendingFlags | kUnitRaisesEvents, kStandardOnly, 8,
                                         PendingInterface};
// Menu items are built into their window's menu, never created as objects.
const UnitDescriptor kMenuItemUnit = {"menu", "菜单", kUnitRaisesEvents, kStandardOnly, 4, NoInterface};
