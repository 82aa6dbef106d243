// The four libraries the application is built against, in the order of its
// library table: core, first UI extension, system interface, second UI
// extension. Component types number them from 1.
#pragma once
#include "runtime/abi/library.h"

extern const LibraryDescriptor core_library;
extern const LibraryDescriptor ui_extension_library;
extern const LibraryDescriptor system_interface_library;
extern const LibraryDescriptor ui_extension2_library;
