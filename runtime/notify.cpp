#include "runtime/notify.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pointer_word.h"
#include "runtime/error_report.h"
#include "runtime/heap.h"
#include "runtime/message_loop.h"
#include "runtime/picture_decoder.h"
#include "runtime/runtime_app.h"
#include "runtime/shutdown.h"
#include "runtime/system_library.h"
#include "runtime/value/typed_list.h"
#include "runtime/window_link.h"

namespace {

template <typename T>
T* Pointer(int32_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(static_cast<uint32_t>(word)));
}

HICON g_default_icons[2] = {};  // big and small, loaded on first request

// A shutdown step: the icons code 1000 loaded go.
void DestroyDefaultIcons() {
  for (HICON& icon : g_default_icons) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
}

// The program's icon in both sizes, loaded once and kept until shutdown.
int32_t DefaultIcons(HICON* out) {
  // The system's icon sizes grow with its DPI (32 and 16 at 96); the
  // program's icon file holds the sizes of the usual scales.
  const int sizes[2] = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON)};
  SetShutdownStep(ShutdownStage::kDefaultIcons, DestroyDefaultIcons);
  for (int i = 0; i < 2; ++i) {
    if (!g_default_icons[i])
      g_default_icons[i] = static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), kDefaultIconName, IMAGE_ICON, sizes[i], sizes[i], 0));
    if (out) out[i] = g_default_icons[i];
  }
  return 0;
}

// The open-file register: the file objects the libraries opened, each once,
// with the kind byte its library gave it.
struct OpenFile {
  uint32_t file;
  uint32_t kind;
};
TypedList<OpenFile> g_open_files{&kRuntimeListHeap};

int32_t OpenFileIndex(uint32_t file) {
  return g_open_files.IndexWhere([file](const OpenFile& entry) { return entry.file == file; });
}

int32_t FindOpenFile(uint32_t file) {
  int32_t i = OpenFileIndex(file);
  return i < 0 ? -1 : static_cast<int32_t>(g_open_files[i].kind);
}

int32_t RegisterOpenFile(uint32_t file, uint32_t kind) {
  if (OpenFileIndex(file) < 0) g_open_files.Append({file, kind & 0xFF});
  return 0;
}

int32_t UnregisterOpenFile(uint32_t file) {
  int32_t i = OpenFileIndex(file);
  if (i < 0) return 0;
  g_open_files.RemoveAt(i);
  return 1;
}

// Code 2015: plays WAVE data held in memory, asynchronously. The data is
// copied first: an asynchronous play keeps reading it, and the caller (a
// button being destroyed, say) may free its own copy before the sound ends.
// Flags bit 0 repeats the sound until the next one.
using PlaySoundFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);

void StopSound() {
  // Nothing can be playing while the sound library was never loaded.
  if (auto play = LoadedSystemFunctionAs<PlaySoundFunction>(L"winmm.dll", "PlaySoundW")) play(nullptr, nullptr, 0);
}

int32_t PlayMemorySound(const uint32_t* request) {
  if (!request) return 0;
  const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(request[0]));
  uint32_t size = request[1];
  if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return 0;
  auto play = SystemFunctionAs<PlaySoundFunction>(L"winmm.dll", "PlaySoundW");
  if (!play) return 0;
  // Never freed: the system may still be reading it while the process ends.
  static auto* playing = new std::vector<uint8_t>;
  // A sound still playing when the process exits races the unloading of the
  // sound library: stop it first.
  static bool stop_at_exit = std::atexit(StopSound) == 0;
  (void)stop_at_exit;
  SetShutdownStep(ShutdownStage::kSound, StopSound);
  play(nullptr, nullptr, 0);  // stops the sound still reading the old copy
  playing->assign(data, data + size);
  DWORD flags = SND_MEMORY | SND_ASYNC | SND_NODEFAULT | ((request[2] & 1) ? SND_LOOP : 0);
  return play(reinterpret_cast<LPCWSTR>(playing->data()), nullptr, flags) ? 1 : 0;
}

bool IsRuntimeCode(int32_t code) { return (code >= 1000 && code <= 1014) || (code >= 2000 && code <= 2040); }

}  // namespace

extern "C" int32_t __stdcall NotifyRuntime(int32_t code, int32_t arg1, int32_t arg2) {
  if (!IsRuntimeCode(code)) return 0;
  switch (code) {
    case NR_DEFAULT_ICONS:
      return DefaultIcons(Pointer<HICON>(arg1));
    case NR_PICTURE_TO_BITMAP:
      return DecodePicture(Pointer<const void>(arg1), arg2);
    case NR_PROGRAM_DIR:
      return PointerWord(g_app.program_dir.c_str());
    case NR_PROGRAM_FILE:
      return PointerWord(g_app.program_file.c_str());
    case NR_SUSPEND_EVENTS:
      PumpPendingMessages();
      g_app.event_block += 1;
      return 0;
    case NR_RESUME_EVENTS:
      PumpPendingMessages();
      if (g_app.event_block > 0) g_app.event_block -= 1;
      return 0;
    case NR_FIND_OPEN_FILE:
      return FindOpenFile(static_cast<uint32_t>(arg1));
    case NR_REGISTER_OPEN_FILE:
      return RegisterOpenFile(static_cast<uint32_t>(arg1), static_cast<uint32_t>(arg2));
    case NR_UNREGISTER_OPEN_FILE:
      return UnregisterOpenFile(static_cast<uint32_t>(arg1));
    case NR_PLAY_SOUND:
      return PlayMemorySound(Pointer<const uint32_t>(arg1));
    case NR_PUMP_MESSAGES:
      PumpPendingMessages();
      return 0;
    case NR_ALLOC:
      return PointerWord(arg2 == 0 ? Alloc(arg1) : TryAlloc(arg1));
    case NR_FREE:
      Free(Pointer<void>(arg1));
      return 0;
    case NR_REALLOC:
      return PointerWord(Realloc(Pointer<void>(arg1), arg2));
    case NR_RUNTIME_ERROR:
      RaiseRuntimeError(Pointer<const char>(arg1), 0, 0, 0);
    case NR_END_PROGRAM:
      EndProgram(arg1);
    case NR_PROGRAM_KIND:
      return static_cast<int32_t>(g_app.program_kind);
    case NR_WINDOW_RECORDS:
    case NR_UNIT_DESCRIPTOR:
    case NR_ELEMENT_DESTROYED:
    case NR_WINDOW_OBJECT:
    case NR_WINDOW_OBJECT_OR_FAIL:
    case NR_RAISE_EVENT:
    case NR_RAISE_TYPED_EVENT:
      return window_link::Notify(code, arg1, arg2);
    default:
      // Codes of the database, printing, chart and media facilities, which
      // this program does not carry.
      return 0;
  }
}
