#include "runtime/error_report.h"

#include <windows.h>

#include <cstdio>

#include "platform/wide_text.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"
#include "runtime/window_link.h"

namespace {

const char* const kErrorMessages[] = {
    "",
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};
constexpr int32_t kMessageCount = sizeof kErrorMessages / sizeof kErrorMessages[0];

std::string Quoted(const char* tag) { return std::string("\"") + (tag ? tag : "") + "\""; }

std::string LocationText(int32_t where1, int32_t where2) {
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "\r\n%d, %d", where1, where2);
  std::string text = numbers;
  // The kind bits alone make a window id here, whatever its serial: a
  // window that is not loaded is named as such.
  if (where1 != 0 && (static_cast<uint32_t>(where1) & 0x0F000000u) == 0x02000000u) {
    auto window_id = static_cast<uint32_t>(where1);
    const char* window_tag = window_link::WindowTag(window_id);
    if (!window_tag) {
      text += "\r\n未找到所指定的窗口";
    } else {
      text += "\r\n" + Quoted(window_tag);
      const char* element_tag =
          where2 == 0 ? window_tag : window_link::ElementTag(window_id, static_cast<uint32_t>(where2));
      text += element_tag ? "\r\n" + Quoted(element_tag) : std::string("\r\n未找到所指定的窗口组件");
    }
  }
  return text + "\r\n";
}

}  // namespace

std::string FormatRuntimeError(const char* message, int32_t code, int32_t where1, int32_t where2) {
  std::string text = "运行时出错!\r\n";
  if (code != 0) text += "\r\n错误代码：" + std::to_string(code) + "\r\n";
  if (message && *message) text += std::string("\r\n错误信息：") + message + "\r\n";
  return text + LocationText(where1, where2);
}

void RaiseRuntimeError(const char* message, int32_t code, int32_t where1, int32_t where2) {
  g_app.event_block += 1;
  std::string text = FormatRuntimeError(message, code, where1, where2);
  MessageBoxW(nullptr, GbkToWide(text.c_str()).c_str(), GbkToWide("错误").c_str(), MB_OK | MB_ICONERROR);
  g_app.exit_routines.Clear();
  EndProgram(-1);
}

void __cdecl ReportError(int32_t code, int32_t where1, int32_t where2) {
  const char* message = (code > 0 && code < kMessageCount) ? kErrorMessages[code] : "";
  RaiseRuntimeError(message, code, where1, where2);
}
