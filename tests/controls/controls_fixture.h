// The controls' test window, loaded in-process, and its elements.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "commands/libraries.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/heap.h"
#include "tests/controls/control_routines.h"
#include "tests/harness/form_window.h"
#include "tests/harness/window_pixels.h"
#include "ui/window_manager.h"

extern "C" const unsigned char test_controls_template[];
extern "C" const uint32_t test_controls_template_size;
extern "C" void test_controls_code_base();

namespace controls_test {

constexpr uint32_t kWindow = 0x52000030;
constexpr uint32_t kTransparentLabel = 0x16000040, kOpaqueLabel = 0x16000041, kTextLabel = 0x16000042,
                   kOldLabel = 0x16000043, kBarText = 0x16000044,
                   kWrapFiveLabel = 0x16000045;
constexpr uint32_t kReadOnlyBox = 0x16000050, kPlainBox = 0x16000051, kOldBox = 0x16000052;
constexpr uint32_t kBar = 0x16000060, kSwappedBar = 0x16000061, kNegativeBar = 0x16000062;
constexpr uint32_t kButton = 0x16000070, kDefaultButton = 0x16000071;
constexpr uint32_t kDialog = 0x16000080;
constexpr uint32_t kBottomStatus = 0x16000090, kTopStatus = 0x16000091;

inline const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, &system_interface_library,
                                                      &ui_extension2_library};
inline const TestForm kControlsForm = QELMO_TEST_FORM(test_controls, kLibraries);

// The test window loaded and painted once; from there on nothing pumps
// messages.
class ControlsTest : public FormWindowTest {
 protected:
  ControlsTest() : FormWindowTest(kControlsForm, kWindow) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(FormWindowTest::SetUp());
    g_control_counts = ControlCounts();
    window_ = Load();
    ASSERT_NE(window_, nullptr);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }

  HWND window_ = nullptr;
};

}  // namespace controls_test
