// Two small units of a test library (library 2): a windowless one holding
// a font, and a static text that asks to be rebuilt when its style changes.
#pragma once
#include "runtime/abi/library.h"

extern const LibraryDescriptor kTestUnitLibrary;
constexpr uint32_t kFontUnitType = 0x00020001;
constexpr uint32_t kStaticUnitType = 0x00020002;
// How many static objects were made so far (a rebuild makes one more).
extern int g_static_objects_made;
