#include "tests/super/super_support.h"

#include <cstring>
#include <sstream>

#include "commands/libraries.h"
#include "platform/pointer_word.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/heap.h"
#include "runtime/picture_decoder.h"
#include "runtime/runtime_state_for_tests.h"
#include "runtime/window_link.h"
#include "ui/window_manager.h"

extern "C" const unsigned char super_windows_template[];
extern "C" const uint32_t super_windows_template_size;
extern "C" void super_windows_code_base();

namespace {

// TransLabel is unit 5 of library 2, SuperBtn unit 1 of library 4.
const LibraryDescriptor* const kLibraries[] = {&core_library, &ui_extension_library, nullptr,
                                               &ui_extension2_library};


}  // namespace

void PrepareTestWindows() {
  SetPictureDecoder(BmpPictureToBitmap);
  // Away from every button: a pointer left over a button hovers it.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  test_runtime::StartWith(kLibraries, 4);
  window_link::DeleteAllWindowRecords();
  window_link::LoadTemplate(super_windows_template, super_windows_template_size,
                            reinterpret_cast<const void*>(&super_windows_code_base));
}

WindowRecord* TestRecord() { return FindWindowRecord(kTestWindow); }

HWND LoadTestWindow() {
  if (!LoadWindow(TestRecord(), false, nullptr)) return nullptr;
  HWND window = TestRecord()->WindowHandle();
  SetForegroundWindow(window);
  SetActiveWindow(window);
  PumpFor(50);
  return window;
}

void UnloadTestWindows() {
  window_link::DeleteAllWindowRecords();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

Component* ObjectOf(uint32_t element) {
  WindowRecord* record = TestRecord();
  return record ? record->ObjectAt(record->elements().PositionOf(element)) : nullptr;
}

HWND WindowOf(uint32_t element) {
  Component* object = ObjectOf(element);
  return object ? object->hwnd() : nullptr;
}

uint32_t ReadWord(uint32_t element, int32_t property) {
  return static_cast<uint32_t>(kernel_services.ReadProperty(kTestWindow, element, property, -1));
}

std::string ReadTextProperty(uint32_t element, int32_t property) {
  auto* text = reinterpret_cast<char*>(ReadWord(element, property));
  std::string result = text ? text : "";
  Free(text);
  return result;
}

void WriteWord(uint32_t element, int32_t property, uint32_t value) {
  kernel_services.WriteProperty(kTestWindow, element, property, -1, value, 0);
}

void WriteText(uint32_t element, int32_t property, const char* text) { WriteWord(element, property, PointerWord(text)); }

void WriteBytes(uint32_t element, int32_t property, const std::vector<uint8_t>& bytes) {
  // A byte array as compiled code holds it: dimension count 1, length, bytes.
  std::vector<uint8_t> array(8 + bytes.size());
  const int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
  std::memcpy(array.data(), header, 8);
  if (!bytes.empty()) std::memcpy(array.data() + 8, bytes.data(), bytes.size());
  WriteWord(element, property, bytes.empty() ? 0 : PointerWord(array.data()));
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

Pixels::Pixels(HWND window, RECT rect) : width_(rect.right - rect.left), height_(rect.bottom - rect.top) {
  data_.resize(static_cast<size_t>(width_) * height_);
  // Not clipped to the children: they draw on the same surface.
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  HDC memory = CreateCompatibleDC(dc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
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

Pixels Pixels::Of(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  return Pixels(window, rect);
}

int Pixels::CountOf(COLORREF colour) const {
  int count = 0;
  for (COLORREF c : data_) count += c == colour;
  return count;
}

std::string Pixels::Differences(const Pixels& other, int limit) const {
  std::ostringstream out;
  if (width_ != other.width_ || height_ != other.height_) return "sizes differ";
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

RECT RectInParent(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void MoveMouseTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}
