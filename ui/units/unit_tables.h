// The unit tables of the libraries, by unit number (from 1), as their
// library descriptors hand them to the runtime.
#pragma once
#include <cstdint>

#include "ui/unit.h"

extern const UnitDescriptor* const* const kCoreUnits;
extern const int32_t kCoreUnitCount;
extern const UnitDescriptor* const* const kUiExtensionUnits;
extern const int32_t kUiExtensionUnitCount;
extern const UnitDescriptor* const* const kUiExtension2Units;
extern const int32_t kUiExtension2UnitCount;
