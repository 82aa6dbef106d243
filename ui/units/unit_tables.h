// The unit tables of the libraries, by unit number (from 1).
#pragma once
#include "ui/unit.h"

extern const UnitDescriptor* const kCoreUnits[];
extern const int32_t kCoreUnitCount;
extern const UnitDescriptor* const kUiExtensionUnits[];
extern const int32_t kUiExtensionUnitCount;
extern const UnitDescriptor* const kUiExtension2Units[];
extern const int32_t kUiExtension2UnitCount;
