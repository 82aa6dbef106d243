#include "tests/harness/form_window.h"

#include <cstring>

#include "platform/pointer_word.h"
#include "runtime/abi/kernel_services.h"
#include "runtime/heap.h"
#include "runtime/runtime_state_for_tests.h"
#include "runtime/window_link.h"
#include "ui/window_manager.h"

bool StartTestForm(const TestForm& form) {
  test_runtime::StartWith(form.libraries.data(), static_cast<uint32_t>(form.libraries.size()));
  window_link::DeleteAllWindowRecords();
  return window_link::LoadTemplate(form.bytes, *form.size, form.code_base);
}

void DropTestWindows() {
  window_link::DeleteAllWindowRecords();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

HWND FormWindow::Load() const { return LoadWindow(record(), false, nullptr) ? handle() : nullptr; }

HWND FormWindow::handle() const {
  WindowRecord* window = record();
  return window ? window->WindowHandle() : nullptr;
}

Component* FormWindow::ObjectOf(uint32_t element) const {
  WindowRecord* window = record();
  return window ? window->ObjectAt(window->elements().PositionOf(element)) : nullptr;
}

HWND FormWindow::HandleOf(uint32_t element) const {
  Component* object = ObjectOf(element);
  return object ? object->hwnd() : nullptr;
}

uint32_t FormWindow::Read(uint32_t element, int32_t property, int32_t sub) const {
  return static_cast<uint32_t>(kernel_services.ReadProperty(id_, element, property, sub));
}

std::string FormWindow::ReadText(uint32_t element, int32_t property, int32_t sub) const {
  auto* text = reinterpret_cast<char*>(Read(element, property, sub));
  std::string result = text ? text : "";
  Free(text);
  return result;
}

std::vector<uint8_t> FormWindow::ReadBytes(uint32_t element, int32_t property) const {
  auto* block = reinterpret_cast<int32_t*>(Read(element, property));
  if (!block) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(block + 2);
  std::vector<uint8_t> result(bytes, bytes + block[1]);
  Free(block);
  return result;
}

void FormWindow::Write(uint32_t element, int32_t property, uint32_t value, int32_t sub) const {
  kernel_services.WriteProperty(id_, element, property, sub, value, 0);
}

void FormWindow::WriteText(uint32_t element, int32_t property, const char* text) const {
  Write(element, property, PointerWord(text));
}

void FormWindow::WriteBytes(uint32_t element, int32_t property, const std::vector<uint8_t>& bytes) const {
  std::vector<uint8_t> array = ByteArray(bytes);
  Write(element, property, bytes.empty() ? 0 : PointerWord(array.data()));
}

std::vector<uint8_t> ByteArray(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> block(8 + bytes.size());
  const int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
  std::memcpy(block.data(), header, 8);
  if (!bytes.empty()) std::memcpy(block.data() + 8, bytes.data(), bytes.size());
  return block;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
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
