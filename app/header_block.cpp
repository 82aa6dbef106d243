// The application's constant data read by the runtime at start-up: the
// header block, the library table and the DLL-command declarations.
#include "app/dll_commands.h"
#include "app/forms.h"
#include "commands/libraries.h"
#include "runtime/abi/app_header.h"

namespace {

// The header block takes the DLL commands' names as two lists, in index order.
#define QELMO_DLL_LIBRARY(command, library, function, signature) library,
#define QELMO_DLL_NAME(command, library, function, signature) function,
constexpr const char* kDllLibraries[] = {QELMO_DLL_COMMANDS(QELMO_DLL_LIBRARY)};
constexpr const char* kDllFunctions[] = {QELMO_DLL_COMMANDS(QELMO_DLL_NAME)};
#undef QELMO_DLL_LIBRARY
#undef QELMO_DLL_NAME

const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, &system_interface_library,
                                               &ui_extension2_library};

// The constant segment: shared empty text and empty byte array first.
struct ConstantSegment {
  char empty_text[4];
  int32_t empty_bytes[2];
};
const ConstantSegment kConstants = {{0, 0, 0, 0}, {1, 0}};

}  // namespace

extern "C" const ApplicationHeader application_header = {
    3,
    0,
    0x1A19A,
    reinterpret_cast<const void*>(&main_window_code_base),
    &kConstants,
    sizeof kConstants,
    main_window_template,
    main_window_template_size,
    sizeof kLibraries / sizeof kLibraries[0],
    kLibraries,
    DLL_COMMAND_COUNT,
    kDllLibraries,
    kDllFunctions,
};
