// The eight standard properties every element has (position, size, tag,
// visibility, disabling, mouse pointer), read from the live window or from
// the element.
#pragma once
#include <cstdint>

#include "ui/element_location.h"

// Standard property numbers.
enum StandardProperty : int32_t {
  PROP_LEFT = 0,
  PROP_TOP,
  PROP_WIDTH,
  PROP_HEIGHT,
  PROP_TAG,
  PROP_VISIBLE,
  PROP_DISABLE,
  PROP_MOUSE_POINTER,
  PROP_FIRST_UNIT_PROPERTY = 8,
};

// Positions and sizes are kept within these bounds.
constexpr int32_t kMaxCoordinate = 32627;

uint64_t ReadStandardProperty(const Located& at, int32_t property);
void WriteStandardProperty(const Located& at, int32_t property, uint32_t low);
