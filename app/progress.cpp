#include "app/progress.h"

#include <climits>
#include <cmath>

#include "app/app_state.h"
#include "app/main_window_ids.h"
#include "app/runtime_calls.h"
#include "app/timed_message_box.h"

const char kStateDone[] = "下载状态：下载完成！";
const char kStateRunning[] = "下载状态：正在下载！";
const char kStateFailed[] = "下载状态：下载失败！";

namespace {

constexpr double kBytesPerMegabyte = 1048576;
constexpr char kUnknown[] = "--:--:--";

double RoundTo(double value, int32_t places) {
  return Core(CMD_ROUND_NUMBER, ArgRecord::Double(value), ArgRecord::Int(places)).as_double();
}
std::string ToText(ArgRecord value) {
  Owned text(Core(CMD_TO_TEXT, value));
  return text.text();
}
ArgRecord Float(float f) {
  ArgRecord record = {0, 0, TYPE_FLOAT};
  std::memcpy(&record.value, &f, 4);
  return record;
}

void SetStatusPart(int32_t part, const std::string& text) {
  ArgRecord status_bar = {kMainWindow, kStatusBar, TYPE_STATUS_BAR};
  Library(ui_extension_library, kUiExtensionLibraryIndex, UI_STATUS_BAR_SET_PART_TEXT, status_bar,
          ArgRecord::Int(part), Text(text.c_str()));
}

std::string TwoDigits(int32_t value) {
  std::string text = ToText(ArgRecord::Int(value));
  return text.size() == 1 ? "0" + text : text;
}

}  // namespace

std::string format_duration(int32_t seconds) {
  if (seconds < 0) return kUnknown;
  // Whole minutes and hours by division: the same as counting sixties, in
  // one step for any number of hours.
  int32_t minutes = seconds / 60;
  int32_t hours = minutes / 60;
  return TwoDigits(hours) + ":" + TwoDigits(minutes - hours * 60) + ":" + TwoDigits(seconds - minutes * 60);
}

int32_t remaining_seconds(int64_t total, int64_t downloaded, uint32_t elapsed_ms, int64_t bytes_this_call) {
  if (total < 0 || bytes_this_call <= 0) return -1;
  double left = total > downloaded ? static_cast<double>(total - downloaded) : 0;
  // Rounded up, so it reads 0 only when nothing is left; the small margin
  // keeps an exact quotient from rounding up by a hair.
  double seconds = std::ceil(left * elapsed_ms / static_cast<double>(bytes_this_call) / 1000 - 1e-9);
  return seconds >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds > 0 ? seconds : 0);
}

void show_download_state(const char* text) { SetStatusPart(0, text); }

void show_transfer_starting() {
  transfer_complete = false;
  WriteTextProperty(kMainWindow, kPercentLabel, kContentProperty, "");
  WriteIntProperty(kMainWindow, kProgressBar, kPositionProperty, 0);
  WriteTextProperty(kMainWindow, kDownloadedLabel, kContentProperty, "");
  WriteTextProperty(kMainWindow, kTotalLabel, kContentProperty, "");
  show_download_state(kStateRunning);
  SetStatusPart(1, "下载速度：");
  SetStatusPart(2, "下载时间：");
  SetStatusPart(3, "剩于时间：");
}

extern "C" intptr_t __stdcall on_download_progress(const DownloadProgress* progress, uint32_t, uint32_t, uint32_t) {
  show_download_progress(progress->total, progress->downloaded, progress->elapsed_ms, progress->bytes_this_call);
  return 0;
}

void show_download_progress(int64_t total, int64_t downloaded, uint32_t elapsed_ms, int64_t bytes_this_call) {
  double downloaded_mb = RoundTo(static_cast<double>(downloaded) / kBytesPerMegabyte, 2);
  double total_mb = RoundTo(static_cast<double>(total) / kBytesPerMegabyte, 2);
  bool size_known = total >= 0;

  // Percent as the rounded sizes give it; below 0.01 MB from the bytes, and
  // nothing at all when the server did not say how much is coming.
  float percent = 0;
  if (total_mb > 0)
    percent = static_cast<float>(RoundTo(downloaded_mb / total_mb, 2) * 100);
  else if (size_known)
    percent = static_cast<float>(downloaded >= total ? 100 : static_cast<int32_t>(downloaded * 100.0 / total));
  WriteTextProperty(kMainWindow, kPercentLabel, kContentProperty,
                    size_known ? (ToText(Float(percent)) + "%").c_str() : "");
  if (size_known) WriteIntProperty(kMainWindow, kProgressBar, kPositionProperty, static_cast<int32_t>(percent));
  WriteTextProperty(kMainWindow, kDownloadedLabel, kContentProperty,
                    ("已经下载:" + ToText(ArgRecord::Double(downloaded_mb)) + " MB").c_str());
  WriteTextProperty(kMainWindow, kTotalLabel, kContentProperty,
                    size_known ? ("总大小:" + ToText(ArgRecord::Double(total_mb)) + " MB").c_str() : "总大小:未知");

  // Done only when every announced byte is here; the completion actions
  // wait until the file is closed (the click routine runs them). An empty
  // body is never a completed archive.
  transfer_complete = total > 0 && downloaded >= total;
  if (last_download_result != 0)
    show_download_state(kStateFailed);
  else
    show_download_state(transfer_complete ? kStateDone : kStateRunning);

  double speed = RoundTo(static_cast<double>(bytes_this_call) * 1000.0 / kBytesPerMegabyte / elapsed_ms, 2);
  SetStatusPart(1, "下载速度：" + ToText(ArgRecord::Double(speed)) + " MB/s");
  int32_t seconds = static_cast<int32_t>(
      Core(CMD_INTEGER_DIVIDE, ArgRecord::Double(elapsed_ms), ArgRecord::Double(1000)).as_double());
  SetStatusPart(2, "下载时间：" + format_duration(seconds));
  SetStatusPart(3, "剩于时间：" + format_duration(remaining_seconds(total, downloaded, elapsed_ms, bytes_this_call)));
}
void run_completion_actions() {
  timed_message_box("下载完成！");
  Owned folder(Core(CMD_RUN_DIRECTORY));
  Library(system_interface_library, kSystemInterfaceLibraryIndex, SYSCMD_SHELL_EXECUTE, ArgRecord::Int(SHELL_EXPLORE),
          Text(folder), ArgRecord::Omitted(), ArgRecord::Omitted(), ArgRecord::Omitted());
  kernel_services.EndProgram(0);
  for (;;) {
  }
}
