// What the super button and transparent label tests share: the test
// window, property access by number, bitmaps built in memory, pixels read
// back from a window, and a mouse driven through the system.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/window_records.h"

constexpr uint32_t kTestWindow = 0x52000100;
constexpr uint32_t kPictureButton = 0x16000102, kCheckButton = 0x16000103, kRaisedButton = 0x16000104;
constexpr uint32_t kHelpButton = 0x16000105, kFlatButton = 0x16000108;
constexpr uint32_t kPercentLabel = 0x16000106, kPlainLabel = 0x16000107;

// Installs the libraries and reads the test form (once per test).
void PrepareTestWindows();
WindowRecord* TestRecord();
// Loads the test window, shows it and makes it the active window.
HWND LoadTestWindow();
void UnloadTestWindows();
Component* ObjectOf(uint32_t element);
HWND WindowOf(uint32_t element);

uint32_t ReadWord(uint32_t element, int32_t property);
std::string ReadTextProperty(uint32_t element, int32_t property);
void WriteWord(uint32_t element, int32_t property, uint32_t value);
void WriteText(uint32_t element, int32_t property, const char* text);
void WriteBytes(uint32_t element, int32_t property, const std::vector<uint8_t>& bytes);

// The tests' picture decoder: the BMP files MakeBmp makes as bitmaps, 0 for
// anything else.
int32_t BmpPictureToBitmap(const void* data, int32_t size);

// A 24-bit BMP file of `width` x `height` pixels coloured by `colour`.
std::vector<uint8_t> MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour);

// Pixels of a window's client area as COLORREFs, read from the window's
// own surface (children included): what the screen shows of it.
class Pixels {
 public:
  Pixels() = default;
  Pixels(HWND window, RECT rect);
  static Pixels Of(HWND window);  // the whole client area
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const { return data_[static_cast<size_t>(y) * width_ + x]; }
  bool operator==(const Pixels& other) const = default;
  int CountOf(COLORREF colour) const;
  // Positions that differ from `other`, for failure messages.
  std::string Differences(const Pixels& other, int limit = 5) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> data_;
};

// The client rectangle of `child` in the coordinates of its parent.
RECT RectInParent(HWND child);

// Handles waiting messages for `ms` milliseconds (timers, tooltips).
void PumpFor(DWORD ms);
// Pumps until `done` holds or `ms` pass; answers `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Moves the system's mouse to a screen point, as a user would.
void MoveMouseTo(POINT screen);
