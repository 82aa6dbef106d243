// Start-up, the main window's routines and the three download buttons.
#include <string>

#include "app_calls.h"
#include "app_state.h"
#include "download.h"
#include "event_routines.h"
#include "main_window_ids.h"
#include "progress.h"
#include "timed_message_box.h"

int32_t last_download_result = 0;
int32_t conversion_code_page = 0;
bool transfer_complete = false;

namespace {

constexpr int32_t kRoutine = 0x04010101;
constexpr int32_t kWarningStyle = 48;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kProbeAttributes = 0x04000000 /*delete on close*/ | 0x100 /*temporary*/ | 0x2 /*hidden*/;
constexpr uint32_t kInvalidHandle = 0xFFFFFFFF;

#ifndef QELMO_ARCHIVE_HOST
#define QELMO_ARCHIVE_HOST "http://127.0.0.1:18080"
#endif

struct Archive {
  const char* local_name;  // appended to the program's folder
  const char* address;
};
const Archive kArchives[3] = {
    {"\\zr_11.17.zip", QELMO_ARCHIVE_HOST "/zr_11.17.zip"},
    {"\\qelmo_app.zip", QELMO_ARCHIVE_HOST "/up/dll/qelmo_app.zip"},
    {"\\qelmo.rar", QELMO_ARCHIVE_HOST "/up/all/qelmo.rar"},
};

void Warn(const char* text) { Core(CMD_MESSAGE_BOX, Text(text), ArgRecord::Int(kWarningStyle)); }

Owned PathBoxContent() { return ReadTextProperty(kMainWindow, kPathBox, kContentProperty); }

EventAnswer download_archive(const Archive& archive) {
  Owned folder(Core(CMD_RUN_DIRECTORY));
  std::string path = std::string(folder.text()) + archive.local_name;
  WriteTextProperty(kMainWindow, kPathBox, kContentProperty, path.c_str());

  // An older file of that name stays until a complete new one replaces it:
  // a failed transfer must not cost the user the archive they had.
  if (Core(CMD_TEXT_LENGTH, Text(PathBoxContent())).as_int() == 0) {
    Warn("本地文件地址不能为空！");
    return kNoEventValue;
  }
  if (Core(CMD_FIND_TEXT, Text(archive.address), Text("http")).as_int() == -1) {
    Warn("下载地址错误！");
    return kNoEventValue;
  }
  Owned local = PathBoxContent();
  if (!folder_is_writable(directory_of_path(local.text()).c_str())) {
    Warn("本地文件地址错误！，文件夹不存在！");
    return kNoEventValue;
  }
  // The address is requested as it is: an https archive over TLS.
  Owned target = PathBoxContent();
  // A new transfer starts clean: its own blocks show its own progress.
  last_download_result = 0;
  show_transfer_starting();
  int32_t result = download_file(archive.address, target.text(), on_download_progress, 0, false);
  last_download_result = result;
  if (result != DOWNLOAD_OK) {
    show_download_state(kStateFailed);
    return kNoEventValue;
  }
  // Every byte is written and the file closed: now the program may end.
  if (transfer_complete) run_completion_actions();
  show_download_state(kStateDone);
  return kNoEventValue;
}

void __stdcall application_start() { conversion_code_page = 936; }

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
  uint32_t process = CallDll(Site(DLL_GET_CURRENT_PROCESS_ID, kRoutine, 2));
  for (int32_t attempt = 0; attempt < 8; ++attempt) {
    Owned tick(Core(CMD_TO_TEXT, ArgRecord::Int(Core(CMD_TICK_COUNT).as_int() + attempt)));
    Owned id(Core(CMD_TO_TEXT, ArgRecord::Int(static_cast<int32_t>(process))));
    std::string probe = prefix + "~qelmo-probe-" + id.text() + "-" + tick.text() + ".tmp";
    std::wstring wide = WideText(probe.c_str());
    uint32_t file = CallDll(Site(DLL_CREATE_FILE_W, kRoutine, 3), Word(wide.c_str()), kGenericWrite, 0, 0, kCreateNew,
                            kProbeAttributes, 0);
    if (file != kInvalidHandle) {
      CallDll(Site(DLL_CLOSE_HANDLE, kRoutine, 4), file);
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

EventAnswer __stdcall on_download_button_clicked_archive1() { return download_archive(kArchives[0]); }
EventAnswer __stdcall on_download_button_clicked_archive2() { return download_archive(kArchives[1]); }
EventAnswer __stdcall on_download_button_clicked_archive3() { return download_archive(kArchives[2]); }

int32_t __stdcall ApplicationEntry() {
  return RunApplicationEntry({nullptr, nullptr, application_start, kMainWindow});
}

}  // extern "C"
