#include "app/timed_message_box.h"

#include "app/app_state.h"
#include "app/runtime_calls.h"

namespace {

constexpr int32_t kRoutine = 0x04010104;
constexpr char kDefaultTitle[] = "友情提醒";
constexpr int32_t kDefaultTimeoutMs = 5000;
constexpr int32_t kOwnerSearchMs = 1000;
constexpr int32_t kNoLimitMs = 31536000;
constexpr double kTolerance = 1e-7;

// The box being shown, for the watchdog timer that closes it.
std::string g_box_title;

uint32_t CurrentProcess() { return dll::GetCurrentProcessId(kRoutine); }

// Closes our box when its time is up. The system's own time-out is not
// honoured everywhere (one platform ignores it), so the box does not rely
// on it; where it is honoured both end the box with the same answer.
void __stdcall CloseTimedBox(uint32_t, uint32_t, uint32_t timer, uint32_t) {
  dll::KillTimer(kRoutine, 0, timer);
  uint32_t process = CurrentProcess();
  for (uint32_t window = 0;;) {
    window = dll::FindWindowExA(kRoutine, 0, window, 0, 0);
    if (!window) return;
    uint32_t owner = 0;
    dll::GetWindowThreadProcessId(kRoutine, window, &owner);
    if (owner == process && window_class_name(window) == "#32770" && window_title_text(window) == g_box_title) {
      dll::EndDialog(kRoutine, window, kTimedOut);
      return;
    }
  }
}

}  // namespace

int32_t timed_message_box(const char* text, Optional<int32_t> style, Optional<const char*> title,
                          Optional<uint32_t> owner, Optional<int32_t> timeout_ms) {
  uint32_t owner_window = owner.given ? owner.value : find_process_window(CurrentProcess(), {}, {}, kOwnerSearchMs);
  const char* box_title = title.given ? title.value : kDefaultTitle;
  int32_t box_style = style.given ? style.value : 0;
  int32_t timeout = timeout_ms.given ? timeout_ms.value : kDefaultTimeoutMs;
  g_box_title = box_title ? box_title : "";
  uint32_t timer = dll::SetTimer(kRoutine, 0, 0, timeout, reinterpret_cast<void*>(&CloseTimedBox));
  std::wstring wide_text = WideText(text), wide_title = WideText(box_title);
  auto result = static_cast<int32_t>(
      dll::MessageBoxTimeoutW(kRoutine, owner_window, wide_text.c_str(), wide_title.c_str(), box_style, 0, timeout));
  dll::KillTimer(kRoutine, 0, timer);
  return result - 1;
}

uint32_t find_process_window(uint32_t process_id, Optional<const char*> title_filter,
                             Optional<const char*> class_filter, Optional<int32_t> time_limit_ms,
                             Optional<bool> visible_only) {
  bool visible = visible_only.given ? visible_only.value : true;
  int32_t limit = time_limit_ms.given && time_limit_ms.value >= 0 ? time_limit_ms.value : kNoLimitMs;
  auto started = static_cast<int32_t>(dll::GetTickCount(kRoutine));
  uint32_t previous = 0;
  for (;;) {
    auto now = static_cast<int32_t>(dll::GetTickCount(kRoutine));
    if (static_cast<double>(now) - started - limit >= -kTolerance) return 0;
    uint32_t window = dll::FindWindowExA(kRoutine, 0, previous, 0, 0);
    previous = window;
    if (!window) return 0;
    if (visible && !dll::IsWindowVisible(kRoutine, window)) continue;
    uint32_t owner = 0;
    dll::GetWindowThreadProcessId(kRoutine, window, &owner);
    if (owner == process_id && !dll::GetParent(kRoutine, window)) {
      std::string cls = window_class_name(window);
      std::string title = window_title_text(window);
      auto contains = [](const std::string& text, const char* filter) {
        return Core(CMD_FIND_TEXT, Text(text.c_str()), Text(filter)).as_int() != -1;
      };
      bool class_ok = !class_filter.given || contains(cls, class_filter.value);
      bool title_ok = !title_filter.given || contains(title, title_filter.value);
      if (class_ok && title_ok) return window;
    }
    Core(CMD_PROCESS_EVENTS);
  }
}

std::string window_class_name(uint32_t window) {
  Owned buffer(Core(CMD_SPACE_TEXT, ArgRecord::Int(261)));
  auto n = static_cast<int32_t>(dll::GetClassNameA(kRoutine, window, static_cast<char*>(buffer.block()), 260));
  if (n <= 0) return std::string();
  Owned name(Core(CMD_LEFT_TEXT, Text(buffer), ArgRecord::Int(n)));
  return name.text();
}

std::string window_title_text(uint32_t window) {
  auto n = static_cast<int32_t>(dll::GetWindowTextLengthW(kRoutine, window));
  if (n <= 0) return std::string();
  Owned buffer(Core(CMD_ZERO_BYTES, ArgRecord::Int((n + 1) * 2)));
  dll::GetWindowTextW(kRoutine, window, reinterpret_cast<wchar_t*>(ByteArrayData(buffer.block())), n + 1);
  return wide_to_multibyte(buffer.block(), conversion_code_page);
}

std::string wide_to_multibyte(void* utf16_bytes, Optional<int32_t> code_page) {
  int32_t page = code_page.given ? code_page.value : 0;
  int32_t length = ByteArrayLength(utf16_bytes);
  // The bytes with a wide terminator after them.
  Owned wide(Core(CMD_ZERO_BYTES, ArgRecord::Int(length + 2)));
  if (length > 0) std::memcpy(ByteArrayData(wide.block()), ByteArrayData(utf16_bytes), static_cast<size_t>(length));
  const auto* data = reinterpret_cast<const wchar_t*>(ByteArrayData(wide.block()));
  if (static_cast<int32_t>(dll::lstrlenW(kRoutine, data)) <= 0) return std::string();
  auto size = static_cast<int32_t>(dll::WideCharToMultiByte(kRoutine, page, 0, data, -1, 0, 0, 0, 0));
  if (size <= 0) return std::string();
  Owned out(Core(CMD_ZERO_BYTES, ArgRecord::Int(size)));
  auto* out_data = reinterpret_cast<char*>(ByteArrayData(out.block()));
  dll::WideCharToMultiByte(kRoutine, page, 0, data, -1, out_data, size, 0, 0);
  auto text_length = static_cast<int32_t>(dll::strlen(kRoutine, out_data));
  return std::string(reinterpret_cast<const char*>(ByteArrayData(out.block())), static_cast<size_t>(text_length));
}
