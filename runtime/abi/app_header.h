// The application header block: constant data produced with the application
// and read once by the runtime at start-up. Thirteen 32-bit fields.
#pragma once
#include <cstdint>

#include "runtime/abi/library.h"

struct ApplicationHeader {
  uint32_t program_kind;   // non-zero: ownerless windows get the hidden owner
  uint32_t header_word2;
  uint32_t header_word3;   // kept plus one
  const void* code_base;   // template event offsets are relative to this
  const void* const_start; // the constant segment
  uint32_t const_size;
  const void* template_start;
  uint32_t template_size;
  uint32_t library_count;
  const LibraryDescriptor* const* libraries;
  uint32_t dll_command_count;
  const char* const* dll_library_names;
  const char* const* dll_function_names;
};
static_assert(sizeof(ApplicationHeader) == 13 * 4, "thirteen 32-bit fields");

// What every application links in: its header block and its entry routine.
// The runtime calls the entry routine once; the whole life of the program
// runs inside it.
extern "C" const ApplicationHeader application_header;
extern "C" int32_t __stdcall ApplicationEntry();
