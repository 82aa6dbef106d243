// A small DLL for the DLL-command gate tests. PROBE_OFFSET tells the copy in
// the program folder from the one loaded by a full path.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall probe_add_one(int value) { return value + PROBE_OFFSET; }
extern "C" __declspec(dllexport) int __stdcall probe_ordinal_twelve() { return 12; }
