// The single exit for runtime errors: one box headed "运行时出错!", then the
// program ends with exit code -1.
#pragma once
#include <cstdint>
#include <string>

// The error routine. `message` may be null or empty.
[[noreturn]] void RaiseRuntimeError(const char* message, int32_t code, int32_t where1, int32_t where2);
// Kernel service slot 0: the message comes from the table, by code.
[[noreturn]] void __cdecl ReportError(int32_t code, int32_t where1, int32_t where2);

// The text the box shows (exposed for tests).
std::string FormatRuntimeError(const char* message, int32_t code, int32_t where1, int32_t where2);
