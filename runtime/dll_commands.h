// Declared DLL commands: bound by library and function name at first call.
#pragma once
#include <windows.h>

#include <cstdint>

// How modules are loaded and released; replaceable so tests can watch.
struct ModuleLoader {
  HMODULE (*load)(const char* gbk_path);         // a path, or a bare name in the system's search order
  HMODULE (*load_system)(const char* gbk_name);  // a bare name from the system folder only
  BOOL(WINAPI* release)(HMODULE module);
  FARPROC(WINAPI* lookup)(HMODULE module, LPCSTR name_or_ordinal);
};
extern const ModuleLoader kSystemModuleLoader;
// The loader the gate binds with; tests put a recording one here.
extern const ModuleLoader* g_module_loader;

// The libraries searched, in order, for a declaration without a library.
extern const char* const kDefaultDllLibraries[6];

struct DllBinding {
  HMODULE module;
  FARPROC address;
};

// Binds one declaration. A null address means "not found"; whatever was
// loaded for it has been released again.
DllBinding BindDllFunction(const char* library, const char* function, const ModuleLoader& loader);

// Sizes the DLL tables from the header block's name arrays (nothing bound).
void InitDllCommands(uint32_t count, const char* const* libraries, const char* const* functions);
// The resolver behind the CallDllCommand gate: the bound address of entry
// `index`, binding it first; a function that cannot be found is fatal.
extern "C" FARPROC __cdecl ResolveDllCommand(uint32_t index);
extern "C" void CallDllCommand();  // the gate itself (assembly)
// Releases every module the table holds and empties it.
void ReleaseDllCommands();

// The gate's fast path reads these.
extern "C" uint32_t g_dll_bound_count;
extern "C" const uint32_t* g_dll_bound_addresses;
