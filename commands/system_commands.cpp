// The system commands: the program's folder, the tick counter, letting
// waiting messages through, and the message box.
#include <windows.h>

#include <cstring>
#include <string>

#include "commands/command_index.h"
#include "commands/command_support.h"
#include "commands/core_commands.h"
#include "commands/value_format.h"
#include "platform/wide_text.h"
#include "runtime/abi/notify_codes.h"
#include "runtime/value/gbk.h"
#include "ui/component.h"

namespace commands {

namespace {

// Platform answers IDOK..IDNO (1..7) as the command's answers 0..6.
int32_t MapAnswer(int answer) { return answer >= IDOK && answer <= IDNO ? answer - IDOK : ANSWER_OK; }

HWND OwnerOf(const ArgRecord& owner) {
  if (owner.type == TYPE_WINDOW) {
    auto* object = reinterpret_cast<Component*>(
        static_cast<uintptr_t>(static_cast<uint32_t>(core_link.Notify(NR_WINDOW_OBJECT, owner.as_int(), 0))));
    return object ? object->hwnd() : nullptr;
  }
  if (owner.type == TYPE_INT) return reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.value));
  return nullptr;
}

}  // namespace

void __cdecl run_directory(ArgRecord* result, int32_t, ArgRecord*) {
  auto* folder = reinterpret_cast<const char*>(
      static_cast<uintptr_t>(static_cast<uint32_t>(core_link.Notify(NR_PROGRAM_DIR))));
  if (!folder) return;
  // Never with a trailing backslash, not even for a drive's root ("C:").
  size_t length = std::strlen(folder);
  if (length > 0 && FindLastCharacter(folder, '\\') == static_cast<int>(length) - 1) --length;
  SetPointer(result, NewText(folder, length));
}

void __cdecl tick_count(ArgRecord* result, int32_t, ArgRecord*) {
  SetInt(result, static_cast<int32_t>(GetTickCount()));
}

// The runtime handles what waits in the queue and leaves WM_QUIT queued for
// the main loop.
void __cdecl process_events(ArgRecord*, int32_t, ArgRecord*) { core_link.Notify(NR_PUMP_MESSAGES); }

void __cdecl message_box(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  ArgRecord message = ArgAt(args, arg_count, 0);
  std::string text;
  if (message.type == TYPE_TEXT)
    text = TextOf(message);
  else
    FormatValue(message, &text);  // any other type shows an empty message
  ArgRecord caption = ArgAt(args, arg_count, 2);
  const char* title = caption.omitted() ? "信息：" : TextOf(caption);
  HWND owner = arg_count >= 4 ? OwnerOf(args[3]) : nullptr;
  auto style = static_cast<UINT>(ArgAt(args, arg_count, 1).value);
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  int answer = MessageBoxW(owner, GbkToWide(text.c_str()).c_str(), GbkToWide(title).c_str(), style);
  SetInt(result, MapAnswer(answer));
}

}  // namespace commands
