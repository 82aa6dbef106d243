// The compiled window form: template bytes and the routine table its event
// bindings point into.
#pragma once
#include <cstdint>

extern "C" const unsigned char main_window_template[];
extern "C" const uint32_t main_window_template_size;
extern "C" void main_window_code_base();
