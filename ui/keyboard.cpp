#include "keyboard.h"

#include "units/window_unit.h"

bool PreTranslateWindowKey(MSG* message) {
  if (message->message != WM_KEYDOWN || !message->hwnd) return false;
  WindowForm* form = WindowForm::FromWindow(GetAncestor(message->hwnd, GA_ROOT));
  return form && form->HandleKey(message);
}
