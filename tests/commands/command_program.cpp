// The command tests' program: its application header (the libraries), and
// its scenarios, each a run as an application would make it (runtime
// initialised, the commands reached through the library table, errors shown
// by the runtime), watched from outside by command_process_test.cpp.
#include <objbase.h>

#include <cstdio>
#include <string>

#include "commands/command_index.h"
#include "commands/libraries.h"
#include "runtime/abi/app_header.h"
#include "runtime/abi/kernel_services.h"
#include "tests/commands/target_host.h"
#include "tests/harness/test_program.h"

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

int RunScenario(const std::string& name, int arg_count, char** args) {
  const char* report_path = arg_count >= 1 ? args[0] : "";
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

void PrepareTests() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // as the runtime's OleInitialize does, for the shell
  UseTestRuntime();
}

}  // namespace

extern "C" const ApplicationHeader application_header = {
    0, 0, 0, nullptr, &kConstants, sizeof kConstants, nullptr, 0, 4, kLibraries, 0, nullptr, nullptr,
};
extern "C" int32_t __stdcall ApplicationEntry() { return 0; }

const TestProgram kTestProgram = {PrepareTests, RunScenario};
