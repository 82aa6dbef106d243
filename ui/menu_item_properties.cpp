#include "ui/menu_item_properties.h"

#include <windows.h>

#include "platform/pointer_word.h"
#include "runtime/value/text.h"
#include "ui/component.h"
#include "ui/property_conversion.h"
#include "ui/unit.h"
#include "ui/window_manager.h"

uint64_t ReadMenuItemProperty(const Located& at, int32_t property) {
  ElementList& elements = at.record->elements();
  uint32_t flags = ElementStateFlags(elements, at.position);
  switch (property) {
    case 0:
      return PointerWord(TextCopy(
          reinterpret_cast<const char*>(elements.EntryData(at.position) + elements.Layout(at.position).menu_caption),
          RuntimeAlloc));
    case 1: return (flags & kMenuChecked) ? 1 : 0;
    case 2: return (flags & kMenuDisabled) ? 1 : 0;
    case 3: return (flags & kMenuHidden) ? 0 : 1;
    default: return 0;
  }
}

void WriteMenuItemProperty(const Located& at, int32_t property, uint32_t low) {
  ElementList& elements = at.record->elements();
  uint32_t flags = ElementStateFlags(elements, at.position);
  auto set = [&](uint32_t bit, bool on) { SetElementStateFlags(elements, at.position, on ? flags | bit : flags & ~bit); };
  switch (property) {
    case 0:
      ReplaceTerminatedText(elements, at.position, elements.Layout(at.position).menu_caption,
                            AsPointer<const char>(low));
      break;
    case 1: set(kMenuChecked, low != 0); break;
    case 2: set(kMenuDisabled, low != 0); break;
    case 3: set(kMenuHidden, low == 0); break;
    default: return;
  }
  RebuildWindowMenu(at.record);
}

