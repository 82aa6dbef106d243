// What the super button and transparent label tests share: the test window,
// loaded shown and active, and bitmaps built in memory for its pictures.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "tests/harness/form_window.h"
#include "tests/harness/window_pixels.h"

constexpr uint32_t kTestWindow = 0x52000100;
constexpr uint32_t kPictureButton = 0x16000102, kCheckButton = 0x16000103, kRaisedButton = 0x16000104;
constexpr uint32_t kHelpButton = 0x16000105, kFlatButton = 0x16000108;
constexpr uint32_t kPercentLabel = 0x16000106, kPlainLabel = 0x16000107;

inline const FormWindow kSuperWindow{kTestWindow};

// Reads the test form and loads the test window, shown and made the active
// window, with the mouse pointer away from every button; null on failure.
HWND OpenSuperWindow();

class SuperWindowTest : public FormWindowTest {
 protected:
  SuperWindowTest();
  void SetUp() override {
    window_ = OpenSuperWindow();
    ASSERT_NE(window_, nullptr);
  }
  HWND window_ = nullptr;
};

// A progress bar like the application's, under the percentage label.
HWND AddProgressBarUnderLabel(HWND window);

// The tests' picture decoder: the BMP files MakeBmp makes as bitmaps, 0 for
// anything else.
int32_t BmpPictureToBitmap(const void* data, int32_t size);

// A 24-bit BMP file of `width` x `height` pixels coloured by `colour`.
std::vector<uint8_t> MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour);
