#include "runtime/message_loop.h"

#include <windows.h>

#include <vector>

#include "runtime/runtime_app.h"
#include "runtime/value/typed_list.h"
#include "runtime/window_link.h"

namespace {

enum class LoopMode { kNormal, kLocal };

// State of the current idle period.
struct IdleState {
  DWORD started = 0;
  std::vector<int32_t> skipped;  // windows whose idle routine declined
};
IdleState g_idle;

// The last mouse message, to tell a real move from a repeated one.
struct MousePosition {
  UINT message = 0;
  POINT point = {-1, -1};
};
MousePosition g_last_mouse;

// Idle callbacks, each living as long as its window.
struct IdleCallback {
  HWND window;
  void (*callback)(uint32_t);
  uint32_t argument;
};
TypedList<IdleCallback> g_idle_callbacks{&kRuntimeListHeap};

MSG g_current_message = {};  // the last message the loop retrieved

bool MessageWaiting(MSG* peeked) { return PeekMessageW(peeked, nullptr, 0, 0, PM_NOREMOVE) != 0; }

void RunIdleCallbacks() {
  for (int32_t i = g_idle_callbacks.count() - 1; i >= 0; --i) {
    IdleCallback entry = g_idle_callbacks[i];
    if (IsWindow(entry.window))
      entry.callback(entry.argument);
    else
      g_idle_callbacks.RemoveAt(i);
  }
}

// The idle operation: two rounds of nothing, then the windows' idle events.
bool IdleOperation(int32_t idle_count) {
  if (idle_count == 0) {
    g_idle.started = GetTickCount();
    g_idle.skipped.clear();
  }
  if (idle_count < 2) return true;
  bool any = false;
  uint32_t elapsed = GetTickCount() - g_idle.started;
  for (int32_t w = 0; w < window_link::WindowCount(); ++w) {
    bool skip = false;
    for (int32_t s : g_idle.skipped) skip = skip || s == w;
    if (skip) continue;
    if (window_link::FireIdleEvent(w, elapsed))
      any = true;
    else
      g_idle.skipped.push_back(w);
  }
  return any;
}

bool IsIdleTrigger(const MSG& msg) {
  if (msg.message == WM_PAINT || msg.message == 0x0118) return false;
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    bool repeated = g_last_mouse.message == msg.message && g_last_mouse.point.x == msg.pt.x &&
                    g_last_mouse.point.y == msg.pt.y;
    g_last_mouse.message = msg.message;
    g_last_mouse.point = msg.pt;
    return !repeated;
  }
  return true;
}

// Retrieves and dispatches one message; false when it was WM_QUIT.
bool PumpMessage() {
  MSG& msg = g_current_message;
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
  if (!window_link::PreTranslate(&msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void RunLoop(LoopMode mode) {
  bool local = mode == LoopMode::kLocal;
  bool idle = true;
  int32_t idle_count = 0;
  MSG peeked;
  for (;;) {
    while (idle && !MessageWaiting(&peeked)) {
      RunIdleCallbacks();
      if (!IdleOperation(idle_count++)) idle = false;
      if (local && g_app.local_loop_active == 0) return;
    }
    do {
      if (local && MessageWaiting(&peeked) && peeked.message == WM_QUIT) return;
      if (!PumpMessage()) return;
      if (local && g_app.local_loop_active == 0) return;
      if (IsIdleTrigger(g_current_message)) {
        idle = true;
        idle_count = 0;
      }
    } while (MessageWaiting(&peeked));
  }
}

}  // namespace

void __cdecl RunMessageLoop() {
  g_app.loop_started = 1;
  if (!window_link::AnyWindowAlive()) return;
  RunLoop(LoopMode::kNormal);
}

void RunLocalMessageLoop() { RunLoop(LoopMode::kLocal); }

void PumpPendingMessages() {
  MSG peeked;
  while (MessageWaiting(&peeked) && peeked.message != WM_QUIT) {
    if (!PumpMessage()) return;
  }
}

void PostQuitIfNoWindowLeft() {
  if (g_app.loop_started && !window_link::AnyWindowAlive()) PostQuitMessage(0);
}

void AddIdleCallback(void* window, void (*callback)(uint32_t), uint32_t argument) {
  g_idle_callbacks.Append({static_cast<HWND>(window), callback, argument});
}

void ClearIdleCallbacks() { g_idle_callbacks.Clear(); }

const MSG& LastRetrievedMessage() { return g_current_message; }
