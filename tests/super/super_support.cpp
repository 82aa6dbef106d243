#include "tests/super/super_support.h"

#include <commctrl.h>

#include <cstring>

#include "commands/libraries.h"
#include "runtime/picture_decoder.h"

extern "C" const unsigned char super_windows_template[];
extern "C" const uint32_t super_windows_template_size;
extern "C" void super_windows_code_base();

namespace {

// TransLabel is unit 5 of library 2, SuperBtn unit 1 of library 4.
const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, nullptr,
                                               &ui_extension2_library};
const TestForm kSuperForm = QELMO_TEST_FORM(super_windows, kLibraries);

}  // namespace

SuperWindowTest::SuperWindowTest() : FormWindowTest(kSuperForm, kTestWindow) {}

HWND OpenSuperWindow() {
  SetPictureDecoder(BmpPictureToBitmap);
  // Away from every button: a pointer left over a button hovers it.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  if (!StartTestForm(kSuperForm)) return nullptr;
  HWND window = kSuperWindow.Load();
  if (!window) return nullptr;
  SetForegroundWindow(window);
  SetActiveWindow(window);
  PumpFor(50);
  return window;
}

HWND AddProgressBarUnderLabel(HWND window) {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  HWND label = kSuperWindow.HandleOf(kPercentLabel);
  RECT rect = RectInParent(label);
  HWND bar = CreateWindowExW(WS_EX_STATICEDGE, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | PBS_SMOOTH,
                             rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, window,
                             reinterpret_cast<HMENU>(999), nullptr, nullptr);
  SetWindowPos(bar, label, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return bar;
}

std::vector<uint8_t> MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
  int stride = (width * 3 + 3) & ~3;
  uint32_t image_size = static_cast<uint32_t>(stride * height);
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + image_size;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = image_size;
  std::vector<uint8_t> bmp(file.bfSize);
  std::memcpy(bmp.data(), &file, sizeof file);
  std::memcpy(bmp.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bmp.data() + file.bfOffBits + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      COLORREF c = colour(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return bmp;
}
