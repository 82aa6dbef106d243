#include "tests/harness/window_pixels.h"

#include <sstream>

#include "ui/common_controls.h"

Pixels::Pixels(HWND window) : Pixels(window, [window] {
  RECT client;
  GetClientRect(window, &client);
  return client;
}()) {}

Pixels::Pixels(HWND window, RECT rect) : width_(rect.right - rect.left), height_(rect.bottom - rect.top) {
  data_.resize(static_cast<size_t>(width_) * height_);
  // Not clipped to the children: they draw on the same surface.
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  HDC memory = CreateCompatibleDC(dc);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width_, height_, dc, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < data_.size(); ++i) {
    uint32_t p = pixels[i];  // 0x00RRGGBB
    data_[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, dc);
}

int Pixels::CountOf(COLORREF colour) const {
  int count = 0;
  for (COLORREF c : data_) count += c == colour;
  return count;
}

std::string Pixels::Differences(const Pixels& other, int limit) const {
  if (width_ != other.width_ || height_ != other.height_) return "sizes differ";
  std::ostringstream out;
  int shown = 0, total = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) != other.At(x, y)) {
        ++total;
        if (shown++ < limit) out << "(" << x << "," << y << ") " << std::hex << At(x, y) << " vs " << other.At(x, y)
                                 << std::dec << "; ";
      }
  out << total << " pixels differ";
  return out.str();
}

namespace {

constexpr UINT_PTR kPaintCounterId = 0x50414E54;

LRESULT CALLBACK CountPaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR counter) {
  if (message == WM_PAINT) ++reinterpret_cast<PaintCounter*>(counter)->count;
  return common_controls::DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

PaintCounter::PaintCounter(HWND window) : window_(window) {
  common_controls::SetWindowSubclass(window, CountPaint, kPaintCounterId, reinterpret_cast<DWORD_PTR>(this));
}

PaintCounter::~PaintCounter() { common_controls::RemoveWindowSubclass(window_, CountPaint, kPaintCounterId); }
