#include "runtime/out_of_memory.h"

#include <windows.h>

#include <new>

#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"

namespace {

// The thread reporting; 0 while none is.
volatile LONG g_reporting_thread = 0;

void OnNewFailure() { RaiseOutOfMemory(-1); }

}  // namespace

void RaiseOutOfMemory(int32_t size) {
  auto self = static_cast<LONG>(GetCurrentThreadId());
  LONG reporting = InterlockedCompareExchange(&g_reporting_thread, self, 0);
  // Memory ran out again on the way out: end at once. Another thread waits
  // for the report that ends the process.
  if (reporting == self) ExitProcess(static_cast<UINT>(-1));
  if (reporting != 0) Sleep(INFINITE);

  g_app.event_block += 1;
  wchar_t text[128];
  if (size >= 0)
    wsprintfW(text, L"运行时出错!\r\n\r\n错误信息：分配 %d 字节内存失败!\r\n\r\n0, 0\r\n", size);
  else
    lstrcpynW(text, L"运行时出错!\r\n\r\n错误信息：分配内存失败!\r\n\r\n0, 0\r\n", 128);
  MessageBoxW(nullptr, text, L"错误", MB_OK | MB_ICONERROR);
  g_app.exit_routines.Clear();
  EndProgram(-1);
}

void InstallOutOfMemoryHandler() { std::set_new_handler(OnNewFailure); }
