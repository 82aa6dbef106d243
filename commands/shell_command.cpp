// shell_execute, the system-interface library's command: one request to
// the Windows shell, whose outcome is neither examined nor reported.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "commands/command_support.h"
#include "commands/core_commands.h"
#include "platform/wide_text.h"
#include "runtime/system_library.h"

namespace commands {

namespace {

// Operations 1 to 5; anything else asks for the target's default action.
const wchar_t* const kVerbs[5] = {L"edit", L"explore", L"find", L"open", L"print"};
// Show modes 1 to 6.
constexpr int kShowCommands[6] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNA, SW_MINIMIZE};

}  // namespace

void __cdecl shell_execute(ArgRecord*, int32_t arg_count, ArgRecord* args) {
  int32_t operation = ArgAt(args, arg_count, 0).as_int();
  const wchar_t* verb = operation >= 1 && operation <= 5 ? kVerbs[operation - 1] : nullptr;

  // An omitted, missing or unknown show mode shows normally (not the row
  // of mode 1, which hides).
  int show = SW_SHOWNORMAL;
  ArgRecord show_mode = ArgAt(args, arg_count, 4);
  if (!show_mode.omitted() && show_mode.as_int() >= 1 && show_mode.as_int() <= 6)
    show = kShowCommands[show_mode.as_int() - 1];

  std::wstring target = GbkToWide(TextOf(ArgAt(args, arg_count, 1)));
  bool has_parameters = Given(args, arg_count, 2);
  std::wstring parameters = has_parameters ? GbkToWide(TextOf(args[2])) : std::wstring();
  // The working directory is an empty text when omitted, never null.
  std::wstring directory = Given(args, arg_count, 3) ? GbkToWide(TextOf(args[3])) : std::wstring();

  SHELLEXECUTEINFOW request = {};
  request.cbSize = sizeof request;
  // No error boxes of the shell's own; and the request is complete when
  // this returns, since the program may end right after it (the installer
  // opens its folder and exits).
  request.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  request.lpVerb = verb;
  request.lpFile = target.c_str();
  request.lpParameters = has_parameters ? parameters.c_str() : nullptr;
  request.lpDirectory = directory.c_str();
  request.nShow = show;
  // The shell is loaded at its first use: most runs never need it.
  using ShellExecuteFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  if (auto execute = SystemFunctionAs<ShellExecuteFunction>(L"shell32.dll", "ShellExecuteExW")) execute(&request);
}

}  // namespace commands
