// The controls' test window, loaded in-process, and what the tests use on
// it: property access as compiled code does it, objects, pixels.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/libraries.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/heap.h"
#include "runtime/runtime_state_for_tests.h"
#include "runtime/window_link.h"
#include "tests/controls/control_routines.h"
#include "ui/common_controls.h"
#include "ui/component.h"
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

inline uint32_t Word(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

inline uint32_t Read(uint32_t element, int32_t property, int32_t sub = -1) {
  return static_cast<uint32_t>(kernel_services.ReadProperty(kWindow, element, property, sub));
}
inline void Write(uint32_t element, int32_t property, uint32_t value, int32_t sub = -1) {
  kernel_services.WriteProperty(kWindow, element, property, sub, value, 0);
}
inline void WriteText(uint32_t element, int32_t property, const char* text) { Write(element, property, Word(text)); }
inline std::string ReadText(uint32_t element, int32_t property) {
  auto* text = reinterpret_cast<char*>(Read(element, property));
  std::string result = text ? text : "";
  Free(text);
  return result;
}

// A byte array block as compiled code holds one: {1, length, bytes}.
inline std::vector<uint8_t> ByteArray(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> block(8 + bytes.size());
  int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
  std::memcpy(block.data(), header, 8);
  if (!bytes.empty()) std::memcpy(block.data() + 8, bytes.data(), bytes.size());
  return block;
}

inline std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The client area of a window as it is on screen now (no painting asked).
class Pixels {
 public:
  explicit Pixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
    GdiFlush();
    pixels_.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width_ * height_);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
  }
  // As a COLORREF (0x00BBGGRR).
  COLORREF At(int x, int y) const {
    uint32_t p = pixels_[static_cast<size_t>(y * width_ + x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int CountNot(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) count += At(x, y) != colour;
    return count;
  }
  bool operator==(const Pixels& other) const { return pixels_ == other.pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_runtime::StartWith(kLibraries, 4);
    window_link::DeleteAllWindowRecords();
    ASSERT_TRUE(window_link::LoadTemplate(test_controls_template, test_controls_template_size,
                                          reinterpret_cast<const void*>(&test_controls_code_base)));
    g_control_counts = ControlCounts();
    ASSERT_TRUE(LoadWindow(Record(), false, nullptr));
    window_ = Record()->WindowHandle();
    // Everything painted once; from here on nothing pumps messages.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  void TearDown() override {
    window_link::DeleteAllWindowRecords();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  static WindowRecord* Record() { return FindWindowRecord(kWindow); }
  static Component* ObjectOf(uint32_t element) {
    return Record()->ObjectAt(Record()->elements().PositionOf(element));
  }
  static HWND Handle(uint32_t element) {
    Component* object = ObjectOf(element);
    return object ? object->hwnd() : nullptr;
  }
  // The rectangle of a component in its parent's client coordinates.
  static RECT RectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  HWND window_ = nullptr;
};

// Counts WM_PAINT of one window while it lives.
class PaintCounter {
 public:
  explicit PaintCounter(HWND window) : window_(window) {
    common_controls::SetWindowSubclass(window, Proc, kId, Word(this));
  }
  ~PaintCounter() { common_controls::RemoveWindowSubclass(window_, Proc, kId); }
  int count = 0;

 private:
  static constexpr UINT_PTR kId = 0x50414E54;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_PAINT) ++reinterpret_cast<PaintCounter*>(data)->count;
    return common_controls::DefSubclassProc(window, message, wparam, lparam);
  }
  HWND window_;
};

}  // namespace controls_test
