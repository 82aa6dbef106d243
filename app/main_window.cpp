// Start-up, the main window's routines and the three download buttons.
#include <string>

#include "app/app_state.h"
#include "app/download.h"
#include "app/event_routines.h"
#include "app/main_window_ids.h"
#include "app/progress.h"
#include "app/runtime_calls.h"
#include "app/timed_message_box.h"
#include "app/win32_constants.h"

int32_t last_download_result = 0;
int32_t conversion_code_page = 0;
bool transfer_complete = false;
bool transfer_busy = false;
bool completion_running = false;
bool close_requested = false;

using namespace win32;

namespace {

constexpr int32_t kRoutine = 0x04010101;
constexpr uint32_t kProbeAttributes = kFlagDeleteOnClose | kAttributeTemporary | kAttributeHidden;

#ifndef QELMO_ARCHIVE_HOST
#define QELMO_ARCHIVE_HOST "http://127.0.0.1:18080"
#endif

// Each archive's SHA-256 (64 hexadecimal digits) when the build gives one:
// the download is then accepted only with exactly those bytes.
#ifndef QELMO_SHA256_ARCHIVE1
#define QELMO_SHA256_ARCHIVE1 ""
#endif
#ifndef QELMO_SHA256_ARCHIVE2
#define QELMO_SHA256_ARCHIVE2 ""
#endif
#ifndef QELMO_SHA256_ARCHIVE3
#define QELMO_SHA256_ARCHIVE3 ""
#endif

struct Archive {
  const char* local_name;  // appended to the program's folder; a publisher signs the name after the '\\'
  const char* address;
  const char* sha256;  // empty: not checked
};
const Archive kArchives[3] = {
    {"\\zr_11.17.zip", QELMO_ARCHIVE_HOST "/zr_11.17.zip", QELMO_SHA256_ARCHIVE1},
    {"\\qelmo_app.zip", QELMO_ARCHIVE_HOST "/up/dll/qelmo_app.zip", QELMO_SHA256_ARCHIVE2},
    {"\\qelmo.rar", QELMO_ARCHIVE_HOST "/up/all/qelmo.rar", QELMO_SHA256_ARCHIVE3},
};

void Warn(const char* text) { Core(CMD_MESSAGE_BOX, Text(text), ArgRecord::Int(kWarningStyle)); }

Owned PathBoxContent() { return ReadTextProperty(kMainWindow, kPathBox, kContentProperty); }

void EnableDownloadButtons(bool enabled) {
  for (uint32_t button : kDownloadButtons) WriteIntProperty(kMainWindow, button, kDisableProperty, enabled ? 0 : 1);
}

void download_archive(const Archive& archive) {
  Owned folder(Core(CMD_RUN_DIRECTORY));
  std::string path = std::string(folder.text()) + archive.local_name;
  WriteTextProperty(kMainWindow, kPathBox, kContentProperty, path.c_str());

  // An older file of that name stays until a complete new one replaces it:
  // a failed transfer must not cost the user the archive they had.
  if (Core(CMD_TEXT_LENGTH, Text(PathBoxContent())).as_int() == 0) {
    Warn("本地文件地址不能为空！");
    return;
  }
  if (Core(CMD_FIND_TEXT, Text(archive.address), Text("http")).as_int() == -1) {
    Warn("下载地址错误！");
    return;
  }
  Owned local = PathBoxContent();
  if (!folder_is_writable(directory_of_path(local.text()).c_str())) {
    Warn("本地文件地址错误！，文件夹不存在！");
    return;
  }
  // The address is requested as it is: an https archive over TLS.
  Owned target = PathBoxContent();
  // A new transfer starts clean: its own blocks show its own progress.
  last_download_result = 0;
  show_transfer_starting();
  EnableDownloadButtons(false);
  // A transfer of this archive that was cut off goes on where it stopped.
  int32_t result = download_file(archive.address, target.text(), on_download_progress, 0, true, archive.sha256,
                                 archive.local_name + 1);
  last_download_result = result;
  if (close_requested) return;  // the window is closing: nothing more to show
  if (result != DOWNLOAD_OK) {
    show_download_state(kStateFailed);
    EnableDownloadButtons(true);
    return;
  }
  // Every byte is written and the file closed: now the program may end.
  if (transfer_complete) {
    completion_running = true;
    run_completion_actions();
  }
  show_download_state(kStateDone);
  EnableDownloadButtons(true);
}

// One click at a time: a click that arrives while a transfer or its
// completion runs (queued during the transfer, or taken by the completion's
// own message loops) is dropped. A close asked for meanwhile ends the
// program once the click routine is done.
EventAnswer on_download_button_clicked(const Archive& archive) {
  if (transfer_busy) return kNoEventValue;
  transfer_busy = true;
  download_archive(archive);
  transfer_busy = false;
  if (close_requested) kernel_services.EndProgram(0);
  return kNoEventValue;
}

void __stdcall application_start() { conversion_code_page = kGbkCodePage; }

// The program's exit routine.
void __stdcall application_cleanup() { end_transfer_workers(); }

}  // namespace

std::string directory_of_path(const char* path) {
  int32_t last = -1;
  for (int32_t start = 1;;) {
    int32_t hit = Core(CMD_FIND_TEXT, Text(path), Text("\\"), ArgRecord::Int(start)).as_int();
    if (hit == -1) break;
    last = hit;
    start = hit + 1;
  }
  Owned folder(Core(CMD_LEFT_TEXT, Text(path), ArgRecord::Int(last)));
  return folder.text();
}

bool folder_is_writable(const char* folder) {
  Owned last(Core(CMD_RIGHT_TEXT, Text(folder), ArgRecord::Int(1)));
  std::string prefix = std::string(folder) + (std::string(last.text()) != "\\" ? "\\" : "");
  // A probe under a name of our own that nobody has, created only if it does
  // not exist yet and gone when closed: a user's file is never touched.
  uint32_t process = dll::GetCurrentProcessId(kRoutine);
  for (int32_t attempt = 0; attempt < 8; ++attempt) {
    Owned tick(Core(CMD_TO_TEXT, ArgRecord::Int(Core(CMD_TICK_COUNT).as_int() + attempt)));
    Owned id(Core(CMD_TO_TEXT, ArgRecord::Int(static_cast<int32_t>(process))));
    std::string probe = prefix + "~qelmo-probe-" + id.text() + "-" + tick.text() + ".tmp";
    std::wstring wide = WideText(probe.c_str());
    uint32_t file = dll::CreateFileW(kRoutine, wide.c_str(), kGenericWrite, 0, 0, kCreateNew, kProbeAttributes, 0);
    if (file != kInvalidHandle) {
      dll::CloseHandle(kRoutine, file);
      return true;
    }
    // Only a name that was taken is worth another try.
    if (!Core(CMD_FILE_EXISTS, Text(probe.c_str())).as_bool()) return false;
  }
  return false;
}

extern "C" {

EventAnswer __stdcall on_main_window_created() {
  Owned folder(Core(CMD_RUN_DIRECTORY));
  WriteTextProperty(kMainWindow, kPathBox, kContentProperty, folder.text());
  return kNoEventValue;
}

EventAnswer __stdcall on_download_button_clicked_archive1() { return on_download_button_clicked(kArchives[0]); }
EventAnswer __stdcall on_download_button_clicked_archive2() { return on_download_button_clicked(kArchives[1]); }
EventAnswer __stdcall on_download_button_clicked_archive3() { return on_download_button_clicked(kArchives[2]); }

// The first close query (the close box, Alt+F4, Esc, WM_CLOSE from another
// program). Closing during a transfer is the user's cancel: the transfer is
// stopped and the click routine ends the program when it has, so that the
// window is never destroyed under a routine still running in it. During the
// completion the program ends by itself.
EventAnswer __stdcall on_main_window_close_requested() {
  if (!transfer_busy) return kNoEventValue;
  if (!completion_running) {
    close_requested = true;
    stop_transfer();
  }
  return EventValue(0);
}

// The last close query, and the only one a session's end asks. A log-off is
// never refused: the transfer is stopped (within a second) and the answer is
// yes; what arrived stays in the part file.
EventAnswer __stdcall on_main_window_closing() {
  if (transfer_running()) {
    stop_transfer();
    wait_for_transfer_end(1000);
  }
  return kNoEventValue;
}

int32_t __stdcall ApplicationEntry() {
  return RunApplicationEntry({nullptr, application_cleanup, application_start, kMainWindow});
}

}  // extern "C"
