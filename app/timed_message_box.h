// A message box that closes by itself, owned by a window of this process,
// and the walk over the top-level windows that finds that owner.
#pragma once
#include <cstdint>
#include <string>

// An optional argument and whether it was given, so an omitted argument can
// be told from one equal to 0.
template <typename T>
struct Optional {
  T value{};
  bool given = false;
  Optional() = default;
  Optional(T v) : value(v), given(true) {}  // NOLINT: given arguments convert
};

// Answers the box's result minus 1: 0 for OK, 31999 when the time ran out.
int32_t timed_message_box(const char* text, Optional<int32_t> style = {}, Optional<const char*> title = {},
                          Optional<uint32_t> owner = {}, Optional<int32_t> timeout_ms = {});
// The first top-level window of the process that passes the filters, or 0.
uint32_t find_process_window(uint32_t process_id, Optional<const char*> title_filter = {},
                             Optional<const char*> class_filter = {}, Optional<int32_t> time_limit_ms = {},
                             Optional<bool> visible_only = {});
std::string window_class_name(uint32_t window);
std::string window_title_text(uint32_t window);
// UTF-16 bytes (a byte array) as multi-byte text in a code page (0: ANSI).
std::string wide_to_multibyte(void* utf16_bytes, Optional<int32_t> code_page = {});

constexpr int32_t kTimedOut = 32000;
