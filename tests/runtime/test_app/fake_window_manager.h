#pragma once
#include <cstdint>

constexpr uint32_t kFakeWindowId = 0x52000001;
constexpr uint32_t kFakeElementId = 0x16000002;
constexpr uint32_t kFakeMenuItemId = 0x26000003;

// What the stand-in does, set by the scenario before the runtime starts.
struct FakeWindowPlan {
  bool template_damaged = false;
  int close_after_ms = -1;  // -1: stays open; 0: closes while it is loaded
  const char* window_tag = "主窗口";
  const char* element_tag = "";
};
extern FakeWindowPlan g_fake_plan;
