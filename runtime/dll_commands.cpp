#include "runtime/dll_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/wide_text.h"
#include "runtime/error_report.h"
#include "runtime/out_of_memory.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"
#include "runtime/system_library.h"
#include "runtime/value/typed_list.h"

extern "C" {
uint32_t g_dll_bound_count = 0;
const uint32_t* g_dll_bound_addresses = nullptr;
}

namespace {

HMODULE LoadGbkPath(const char* gbk_path) { return LoadLibraryW(GbkToWide(gbk_path).c_str()); }
HMODULE LoadGbkSystemLibrary(const char* gbk_name) { return LoadSystemLibrary(GbkToWide(gbk_name).c_str()); }

// One entry per declaration: its library and function name, and once bound
// the module it holds and the function's address. The columns are separate
// lists because the gate indexes the addresses as one flat array of words.
class DllCommandTable {
 public:
  // Sizes the table from the header block's name arrays, nothing bound.
  bool Reset(int32_t count, const char* const* libraries, const char* const* functions) {
    if (!library_names_.Resize(count) || !function_names_.Resize(count) || !modules_.Resize(count) ||
        !addresses_.Resize(count))
      return false;
    for (int32_t i = 0; i < count; ++i) {
      library_names_.Set(i, libraries[i]);
      function_names_.Set(i, functions[i]);
      modules_.Set(i, nullptr);
      addresses_.Set(i, nullptr);
    }
    Publish();
    return true;
  }
  int32_t count() const { return addresses_.count(); }
  const char* library(int32_t i) const { return library_names_[i]; }
  const char* function(int32_t i) const { return function_names_[i]; }
  FARPROC address(int32_t i) const { return addresses_[i]; }
  void Bind(int32_t i, const DllBinding& binding) {
    modules_.Set(i, binding.module);
    addresses_.Set(i, binding.address);
  }
  // Releases the modules the entries hold and the loaded modules, and
  // empties the table.
  void Release(const ModuleLoader& loader) {
    for (int32_t i = 0; i < modules_.count(); ++i)
      if (HMODULE module = modules_[i]) loader.release(module);
    g_dll_bound_count = 0;
    g_dll_bound_addresses = nullptr;
    library_names_.Clear();
    function_names_.Clear();
    modules_.Clear();
    addresses_.Clear();
    for (int32_t i = 0; i < loaded_modules_.count(); ++i) FreeLibrary(loaded_modules_[i]);
    loaded_modules_.Clear();
  }

 private:
  void Publish() {
    g_dll_bound_count = static_cast<uint32_t>(addresses_.count());
    g_dll_bound_addresses = g_dll_bound_count ? addresses_.words() : nullptr;
  }

  TypedList<const char*> library_names_{&kRuntimeListHeap};
  TypedList<const char*> function_names_{&kRuntimeListHeap};
  TypedList<HMODULE> modules_{&kRuntimeListHeap};
  TypedList<FARPROC> addresses_{&kRuntimeListHeap};
  TypedList<HMODULE> loaded_modules_{&kRuntimeListHeap};
};
DllCommandTable g_dll_table;

HMODULE LoadNamedLibrary(const std::string& name, const ModuleLoader& loader) {
  if (name.find(':') != std::string::npos) return loader.load(name.c_str());
  // A library Windows brings comes from the system folder alone: the
  // program's folder is usually Downloads, where anything may lie under its
  // name.
  if (IsSystemLibraryName(name.c_str())) return loader.load_system(name.c_str());
  // The program's own library: its folder first, then the system's search
  // order. Without a program folder "\name" would mean the root of the
  // current drive: skip it.
  HMODULE module = nullptr;
  if (!g_app.program_dir.empty()) module = loader.load((g_app.program_dir + "\\" + name).c_str());
  if (!module && !g_app.program_dir_slash.empty())
    module = loader.load((g_app.program_dir_slash + name).c_str());
  if (!module) module = loader.load(name.c_str());
  return module;
}

}  // namespace

const ModuleLoader kSystemModuleLoader = {LoadGbkPath, LoadGbkSystemLibrary, FreeLibrary, GetProcAddress};

const ModuleLoader* g_module_loader = &kSystemModuleLoader;

const char* const kDefaultDllLibraries[6] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                             "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

DllBinding BindDllFunction(const char* library, const char* function, const ModuleLoader& loader) {
  LPCSTR symbol = function;
  if (function[0] == '#') symbol = MAKEINTRESOURCEA(std::strtoul(function + 1, nullptr, 10) & 0xFFFF);

  DllBinding binding = {nullptr, nullptr};
  if (library[0] == '\0') {
    for (const char* candidate : kDefaultDllLibraries) {
      HMODULE module = loader.load_system(candidate);
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
  if (!g_dll_table.Reset(static_cast<int32_t>(count), libraries, functions)) RaiseOutOfMemory(-1);
  SetShutdownStep(ShutdownStage::kDllCommands, ReleaseDllCommands);
}

extern "C" FARPROC __cdecl ResolveDllCommand(uint32_t index) {
  if (index >= static_cast<uint32_t>(g_dll_table.count()))
    RaiseRuntimeError("无法找到指定DLL库文件中的输出命令“”", 0, 0, 0);
  auto i = static_cast<int32_t>(index);
  if (FARPROC bound = g_dll_table.address(i)) return bound;

  const char* library = g_dll_table.library(i);
  const char* function = g_dll_table.function(i);
  DllBinding binding = BindDllFunction(library ? library : "", function ? function : "", *g_module_loader);
  if (!binding.address) {
    std::string message;
    if (library && *library)
      message = std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + function + "”";
    else
      message = std::string("无法找到指定DLL库文件中的输出命令“") + (function ? function : "") + "”";
    RaiseRuntimeError(message.c_str(), 0, 0, 0);
  }
  g_dll_table.Bind(i, binding);
  return binding.address;
}

void ReleaseDllCommands() { g_dll_table.Release(*g_module_loader); }
