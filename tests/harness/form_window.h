// A test form's windows loaded in this process as the runtime loads them,
// and what the in-process tests do with them: properties read and written
// by number as compiled code does it, the component behind an element, and
// messages handled while the test waits.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "runtime/abi/library.h"
#include "ui/component.h"
#include "ui/window_records.h"

// A form compiled into the test program (qelmo_compile_form) and the
// libraries its units come from, by library number.
struct TestForm {
  const unsigned char* bytes;
  const uint32_t* size;
  const void* code_base;
  std::span<const LibraryDescriptor* const> libraries;
};
#define QELMO_TEST_FORM(prefix, libraries) \
  TestForm { prefix##_template, &prefix##_template_size, reinterpret_cast<const void*>(&prefix##_code_base), libraries }

// Starts the runtime with the form's libraries and reads the form, dropping
// whatever an earlier test left.
bool StartTestForm(const TestForm& form);
// Deletes every window record (their windows with them) and drops the
// messages left waiting.
void DropTestWindows();

// One window of the form, by its id.
class FormWindow {
 public:
  explicit FormWindow(uint32_t id) : id_(id) {}
  uint32_t id() const { return id_; }
  WindowRecord* record() const { return FindWindowRecord(id_); }
  // Loads the window as the runtime does; its handle, or null.
  HWND Load() const;
  HWND handle() const;
  Component* ObjectOf(uint32_t element) const;
  HWND HandleOf(uint32_t element) const;

  uint32_t Read(uint32_t element, int32_t property, int32_t sub = -1) const;
  std::string ReadText(uint32_t element, int32_t property, int32_t sub = -1) const;
  std::vector<uint8_t> ReadBytes(uint32_t element, int32_t property) const;
  void Write(uint32_t element, int32_t property, uint32_t value, int32_t sub = -1) const;
  void WriteText(uint32_t element, int32_t property, const char* text) const;
  // The bytes as a byte array block (ByteArray); none for no bytes.
  void WriteBytes(uint32_t element, int32_t property, const std::vector<uint8_t>& bytes) const;

 private:
  uint32_t id_;
};

// A test on one window of a form: the form read before each test, every
// window gone after it; the window's property access and components are
// the test's own.
class FormWindowTest : public ::testing::Test, public FormWindow {
 protected:
  FormWindowTest(const TestForm& form, uint32_t window) : FormWindow(window), form_(form) {}
  void SetUp() override { ASSERT_TRUE(StartTestForm(form_)); }
  void TearDown() override { DropTestWindows(); }

 private:
  TestForm form_;
};

// A byte array block as compiled code holds one: {1, length, bytes}.
std::vector<uint8_t> ByteArray(const std::vector<uint8_t>& bytes);

std::wstring WindowText(HWND window);
// The rectangle of a window in its parent's client coordinates.
RECT RectInParent(HWND child);

// Handles waiting messages for `ms` milliseconds (timers, tooltips).
void PumpFor(DWORD ms);
// Pumps until `done` holds or `ms` pass; answers `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Moves the system's mouse to a screen point, as a user would.
void MoveMouseTo(POINT screen);
