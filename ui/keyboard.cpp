#include "ui/keyboard.h"

namespace {
bool (*g_window_key_handler)(MSG* message) = nullptr;
}  // namespace

void SetWindowKeyHandler(bool (*handler)(MSG* message)) { g_window_key_handler = handler; }

bool PreTranslateWindowKey(MSG* message) {
  if (message->message != WM_KEYDOWN || !message->hwnd || !g_window_key_handler) return false;
  return g_window_key_handler(message);
}
