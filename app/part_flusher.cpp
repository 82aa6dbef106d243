#include "app/part_flusher.h"

#include "app/runtime_calls.h"
#include "app/transfer_job.h"
#include "app/win32_constants.h"

using namespace win32;

namespace {

// Routine id of the part flusher, for the statement positions of its DLL calls.
constexpr int32_t kRoutine = 0x04010108;

// How often the part file is flushed: what a power cut can cost.
constexpr uint32_t kFlushEveryMs = 2000;

extern "C" uint32_t __stdcall run_part_flusher(void* argument) {
  auto& job = *static_cast<TransferJob*>(argument);
  PartialRecord record = job.resume_record;  // the worker leaves it alone until the flusher has ended
  for (;;) {
    job.flusher_place.store(WorkerPlace::kIdle);
    dll::WaitForSingleObject(kRoutine, job.flusher_wake, kFlushEveryMs);
    leave_idle_place(job.flusher_place);
    if (job.flusher_stop.load()) return 0;
    // Only what was written before the flush began is vouched for.
    checkpoint_part(job, job.part_file, record, job.base.load() + job.received.load(std::memory_order_acquire));
  }
}

}  // namespace

bool checkpoint_part(TransferJob& job, uint32_t file, PartialRecord& record, int64_t on_disk) {
  if (!dll::FlushFileBuffers(kRoutine, file)) return false;
  if (!job.resumable.load()) return true;
  record.valid = on_disk;
  return save_partial_record(job.files, record);
}

bool start_part_flusher(TransferJob& job, uint32_t file) {
  job.part_file = file;
  job.flusher_wake = dll::CreateEventW(kRoutine, 0, 0, 0, 0);
  if (!job.flusher_wake) return false;
  uint32_t thread_id = 0;
  job.flusher = dll::CreateThread(kRoutine, 0, 0, reinterpret_cast<void*>(&run_part_flusher), &job, 0, &thread_id);
  return job.flusher != 0;
}

void stop_part_flusher(TransferJob& job) {
  if (!job.flusher) return;
  job.flusher_stop.store(true);
  dll::SetEvent(kRoutine, job.flusher_wake);
  dll::WaitForSingleObject(kRoutine, job.flusher, kInfinite);
}
