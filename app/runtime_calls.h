// How the application's routines reach the runtime: core commands by their
// place in the core library's used-command table, library commands, DLL
// commands and component properties — all through the kernel services.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "app/dll_commands.h"
#include "commands/command_index.h"
#include "commands/libraries.h"
#include "platform/gbk_code_page.h"
#include "runtime/abi/compiled_code.h"

// The first UI-extension library's commands.
enum UiExtensionCommand : int { UI_STATUS_BAR_SET_PART_TEXT = 0 };
constexpr int32_t kUiExtensionLibraryIndex = 1;

template <typename... Args>
ArgRecord Core(CoreCommandIndex command, Args... args) {
  ArgRecord list[] = {args..., ArgRecord::Omitted()};
  return kernel_services.CallCoreCommand(core_library.commands[command], sizeof...(Args), list);
}

template <typename... Args>
ArgRecord Library(const LibraryDescriptor& library, int32_t library_index, int command, Args... args) {
  ArgRecord list[] = {args..., ArgRecord::Omitted()};
  return kernel_services.CallLibraryCommand(library_index, library.commands[command], sizeof...(Args), list);
}

// A text or byte array that a command handed over: freed when it goes.
class Owned {
 public:
  explicit Owned(ArgRecord result) : block_(result.as_pointer()) {}
  explicit Owned(void* block = nullptr) : block_(block) {}
  ~Owned() { kernel_services.Free(block_); }
  Owned(Owned&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  Owned& operator=(Owned&& other) noexcept {
    std::swap(block_, other.block_);
    return *this;
  }
  const char* text() const { return block_ ? static_cast<const char*>(block_) : ""; }
  void* block() const { return block_; }

 private:
  void* block_;
};

// Compiled code never passes a null text; the constant segment's empty
// text stands in.
inline ArgRecord Text(const char* text) { return ArgRecord::Text(text ? text : ""); }
inline ArgRecord Text(const Owned& text) { return ArgRecord::Text(text.text()); }

// Component properties (sub-field -1).
inline void WriteTextProperty(uint32_t window, uint32_t element, int32_t property, const char* text) {
  kernel_services.WriteProperty(window, element, property, -1, Word(text), 0);
}
inline void WriteIntProperty(uint32_t window, uint32_t element, int32_t property, int32_t value) {
  kernel_services.WriteProperty(window, element, property, -1, static_cast<uint32_t>(value), 0);
}
inline Owned ReadTextProperty(uint32_t window, uint32_t element, int32_t property) {
  return Owned(reinterpret_cast<void*>(
      static_cast<uintptr_t>(static_cast<uint32_t>(kernel_services.ReadProperty(window, element, property, -1)))));
}

// GBK text as UTF-16 for the wide system functions, so it reads right under
// any system locale.
inline std::wstring WideText(const char* gbk) {
  constexpr int32_t kRoutine = 0x04010105;
  auto n = static_cast<int32_t>(dll::MultiByteToWideChar(kRoutine, kGbkCodePage, 0, gbk, -1, 0, 0));
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  if (n > 0) dll::MultiByteToWideChar(kRoutine, kGbkCodePage, 0, gbk, -1, wide.data(), n);
  wide.pop_back();  // the count includes the terminating zero, which c_str() adds anyway
  return wide;
}
