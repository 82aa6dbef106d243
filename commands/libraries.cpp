#include "commands/libraries.h"

#include "commands/command_tables.h"
#include "commands/library_link.h"
#include "ui/units/standard_controls.h"
#include "ui/units/unit_tables.h"

namespace {

// Each library keeps its own link to the runtime; the tag tells them apart.
template <int Library>
struct Linked {
  static inline LibraryLink link;
  static int32_t __stdcall Notify(int32_t code, int32_t arg1, int32_t) { return link.Receive(code, arg1); }
};

// The first UI extension's used commands: the status bar's method.
const CommandEntry kUiExtensionCommands[] = {StatusBarSetPartText};

}  // namespace

// The core commands reach the runtime through their library's link.
LibraryLink& core_link = Linked<1>::link;

const LibraryDescriptor core_library = {"core", Linked<1>::Notify, kCoreCommands, CMD_CORE_COUNT, kCoreUnits,
                                        kCoreUnitCount};
const LibraryDescriptor ui_extension_library = {"ui-extension-1",
                                                Linked<2>::Notify,
                                                kUiExtensionCommands,
                                                sizeof kUiExtensionCommands / sizeof kUiExtensionCommands[0],
                                                kUiExtensionUnits,
                                                kUiExtensionUnitCount};
const LibraryDescriptor system_interface_library = {"system-interface", Linked<3>::Notify, kSystemInterfaceCommands,
                                                    SYSCMD_COUNT,       nullptr,           0};
const LibraryDescriptor ui_extension2_library = {"ui-extension-2", Linked<4>::Notify,     nullptr, 0,
                                                 kUiExtension2Units, kUiExtension2UnitCount};
