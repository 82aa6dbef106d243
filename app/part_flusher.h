// Flushes a part file every few seconds while the worker writes it, on a
// thread of its own, and moves the part's record up to what was flushed.
// The disk writes what arrived while the network goes on: a flush in the
// worker's own loop held every block up behind it (measured: 0.75 of the
// bare loop's speed against 0.9). Like the worker, it calls the system
// through the DLL-command gate only.
#pragma once
#include <cstdint>

#include "app/partial_download.h"

struct TransferJob;

// The part's bytes up to `on_disk` are on disk, and, when the part is
// resumable, its record says so. Until the record is written anew it
// vouches for fewer bytes, never for more.
bool checkpoint_part(TransferJob& job, uint32_t file, PartialRecord& record, int64_t on_disk);

// Starts flushing `file`, the part the worker writes from job.base on;
// false when no thread could be made (the part is then flushed only at the
// end).
bool start_part_flusher(TransferJob& job, uint32_t file);
// Stops the flusher and waits until it has ended; after this the worker
// alone writes the record.
void stop_part_flusher(TransferJob& job);
