// What a window shows, read back as pixels, and how often it paints.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Pixels of a window's client area as COLORREFs (0x00BBGGRR), read from the
// window's own surface, children included: what the screen shows of it.
// Nothing is painted first.
class Pixels {
 public:
  Pixels() = default;
  explicit Pixels(HWND window);  // the whole client area
  Pixels(HWND window, RECT rect);
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const { return data_[static_cast<size_t>(y) * width_ + x]; }
  bool operator==(const Pixels& other) const = default;
  int CountOf(COLORREF colour) const;
  int CountNot(COLORREF colour) const { return width_ * height_ - CountOf(colour); }
  // Positions that differ from `other`, for failure messages.
  std::string Differences(const Pixels& other, int limit = 5) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> data_;
};

// Counts the WM_PAINT messages of one window while it lives.
class PaintCounter {
 public:
  explicit PaintCounter(HWND window);
  ~PaintCounter();
  PaintCounter(const PaintCounter&) = delete;
  PaintCounter& operator=(const PaintCounter&) = delete;
  int count = 0;

 private:
  HWND window_;
};
