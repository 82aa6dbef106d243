// The command tests' program: the tests, or with --scenario NAME one run as
// an application would make it (runtime initialised, the commands reached
// through the library table, errors shown by the runtime), watched from
// outside by command_process_test.cpp.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "commands/command_index.h"
#include "commands/libraries.h"
#include "runtime/abi/app_header.h"
#include "runtime/abi/kernel_services.h"
#include "tests/commands/target_host.h"

namespace {

const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, &system_interface_library,
                                               &ui_extension2_library};
const struct {
  char empty_text[4];
  int32_t empty_bytes[2];
} kConstants = {{0}, {1, 0}};

ArgRecord CoreCall(CoreCommandIndex index, std::vector<ArgRecord> args) {
  return kernel_services.CallCoreCommand(core_library.commands[index], static_cast<int32_t>(args.size()),
                                         args.data());
}

int RunScenario(const std::string& name, const char* report_path) {
  kernel_services.AuxService(AUX_INIT_RUNTIME);
  if (name == "divide_by_zero") {
    CoreCall(CMD_INTEGER_DIVIDE, {ArgRecord::Double(7), ArgRecord::Double(0)});
  } else if (name == "bad_bin_type") {
    int32_t bytes[3] = {1, 4, 0x01020304};
    CoreCall(CMD_GET_BIN_DATA, {ArgRecord::Bytes(bytes), ArgRecord::Int(11)});
  } else if (name == "program_folder") {
    ArgRecord folder = CoreCall(CMD_RUN_DIRECTORY, {});
    if (FILE* report = std::fopen(report_path, "wb")) {
      std::fputs(static_cast<const char*>(folder.as_pointer()), report);
      std::fclose(report);
    }
    kernel_services.Free(folder.as_pointer());
    kernel_services.EndProgram(3);
  }
  return 1;  // the scenarios end the program themselves
}

}  // namespace

extern "C" const ApplicationHeader application_header = {
    0, 0, 0, nullptr, &kConstants, sizeof kConstants, nullptr, 0, 4, kLibraries, 0, nullptr, nullptr,
};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--scenario") return RunScenario(argv[2], argc >= 4 ? argv[3] : "");
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the runtime's OleInitialize, for the shell
  UseTestRuntime();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
