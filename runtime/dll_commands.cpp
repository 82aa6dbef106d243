#include "dll_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "error_report.h"
#include "out_of_memory.h"
#include "runtime_app.h"
#include "wide_text.h"

extern "C" {
uint32_t g_dll_bound_count = 0;
uint32_t* g_dll_bound_addresses = nullptr;
}

namespace {

HMODULE LoadGbkPath(const char* gbk_path) { return LoadLibraryW(GbkToWide(gbk_path).c_str()); }

const char* Entry(const ListBuffer& list, uint32_t index) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(list[static_cast<int32_t>(index)]));
}

void PublishAddresses() {
  g_dll_bound_count = static_cast<uint32_t>(g_app.dll_addresses.count());
  g_dll_bound_addresses = g_dll_bound_count ? &g_app.dll_addresses[0] : nullptr;
}

HMODULE LoadNamedLibrary(const std::string& name, const ModuleLoader& loader) {
  if (name.find(':') != std::string::npos) return loader.load(name.c_str());
  // The program's own folder first, then the platform's search order. Without
  // a program folder "\name" would mean the root of the current drive: skip it.
  HMODULE module = nullptr;
  if (!g_app.program_dir.empty()) module = loader.load((g_app.program_dir + "\\" + name).c_str());
  if (!module && !g_app.program_dir_slash.empty())
    module = loader.load((g_app.program_dir_slash + name).c_str());
  if (!module) module = loader.load(name.c_str());
  return module;
}

}  // namespace

const ModuleLoader kSystemModuleLoader = {LoadGbkPath, FreeLibrary, GetProcAddress};

const ModuleLoader* g_module_loader = &kSystemModuleLoader;

const char* const kDefaultDllLibraries[6] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                             "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

DllBinding BindDllFunction(const char* library, const char* function, const ModuleLoader& loader) {
  LPCSTR symbol = function;
  if (function[0] == '#') symbol = MAKEINTRESOURCEA(std::strtoul(function + 1, nullptr, 10) & 0xFFFF);

  DllBinding binding = {nullptr, nullptr};
  if (library[0] == '\0') {
    for (const char* candidate : kDefaultDllLibraries) {
      HMODULE module = loader.load(candidate);
      if (!module) continue;
      if (FARPROC address = loader.lookup(module, symbol)) return {module, address};
      loader.release(module);
    }
    return binding;
  }
  binding.module = LoadNamedLibrary(library, loader);
  if (binding.module) binding.address = loader.lookup(binding.module, symbol);
  if (!binding.address && binding.module) {
    loader.release(binding.module);
    binding.module = nullptr;
  }
  return binding;
}

void InitDllCommands(uint32_t count, const char* const* libraries, const char* const* functions) {
  auto n = static_cast<int32_t>(count);
  if (!g_app.dll_library_names.Resize(n) || !g_app.dll_function_names.Resize(n) || !g_app.dll_modules.Resize(n) ||
      !g_app.dll_addresses.Resize(n)) {
    RaiseOutOfMemory(-1);
  }
  for (int32_t i = 0; i < n; ++i) {
    g_app.dll_library_names[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(libraries[i]));
    g_app.dll_function_names[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(functions[i]));
    g_app.dll_modules[i] = 0;
    g_app.dll_addresses[i] = 0;
  }
  PublishAddresses();
}

extern "C" FARPROC __cdecl ResolveDllCommand(uint32_t index) {
  if (index >= static_cast<uint32_t>(g_app.dll_addresses.count()))
    RaiseRuntimeError("无法找到指定DLL库文件中的输出命令“”", 0, 0, 0);
  auto i = static_cast<int32_t>(index);
  if (g_app.dll_addresses[i]) return reinterpret_cast<FARPROC>(static_cast<uintptr_t>(g_app.dll_addresses[i]));

  const char* library = Entry(g_app.dll_library_names, index);
  const char* function = Entry(g_app.dll_function_names, index);
  DllBinding binding = BindDllFunction(library ? library : "", function ? function : "", *g_module_loader);
  if (!binding.address) {
    std::string message;
    if (library && *library)
      message = std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + function + "”";
    else
      message = std::string("无法找到指定DLL库文件中的输出命令“") + (function ? function : "") + "”";
    RaiseRuntimeError(message.c_str(), 0, 0, 0);
  }
  g_app.dll_modules[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(binding.module));
  g_app.dll_addresses[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(binding.address));
  return binding.address;
}

void ReleaseDllCommands() {
  for (int32_t i = 0; i < g_app.dll_modules.count(); ++i)
    if (g_app.dll_modules[i])
      g_module_loader->release(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(g_app.dll_modules[i])));
  g_dll_bound_count = 0;
  g_dll_bound_addresses = nullptr;
  g_app.dll_library_names.Clear();
  g_app.dll_function_names.Clear();
  g_app.dll_modules.Clear();
  g_app.dll_addresses.Clear();
}
