#include "ui/units/unit_colour.h"

namespace controls {

COLORREF ResolveColour(uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour & 0x00FFFFFF);
}

}  // namespace controls
