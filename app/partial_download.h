// A transfer that was cut off, as it stays on disk for the next click: the
// bytes that arrived, in NAME.part, and beside them NAME.part.info, a small
// record of what they are part of (the address, the whole length and the
// server's validators) and how many of them are surely on disk. The record
// is written before the first body byte, so a part file without one is
// never resumed.
//
// The file functions go through the DLL-command gate only, so the transfer's
// worker thread may use them too.
#pragma once
#include <cstdint>
#include <string>

struct PartialRecord {
  std::string url;
  int64_t total = -1;
  std::string etag;           // as the server sent it, quotes included
  std::string last_modified;  // an HTTP date
  // The part file's bytes that were flushed before this record was written.
  // After a power cut the file can be longer, its tail zeros: a resumed
  // transfer cuts it back to this length first.
  int64_t valid = 0;
};

std::string format_partial_record(const PartialRecord& record);
// False unless the text is a complete record as format_partial_record writes it.
bool parse_partial_record(const std::string& text, PartialRecord* record);
// What to send as If-Range: the ETag when it is a strong one (a weak ETag
// may not be used there), else the date; empty when the server gave neither,
// and such a part is not resumed.
std::string if_range_validator(const PartialRecord& record);

struct PartialFiles {
  std::wstring part;
  std::wstring record;
  std::wstring record_new;  // the record is written here, then moved over the old one
};
// The names beside an archive's path (GBK).
PartialFiles partial_files_of(const char* local_path);

// The record, written whole or not at all, and flushed.
bool save_partial_record(const PartialFiles& files, const PartialRecord& record);
bool load_partial_record(const PartialFiles& files, PartialRecord* record);
// Deletes the part file and its record.
void remove_partial(const PartialFiles& files);
void remove_partial_record(const PartialFiles& files);
// A file's size in bytes; -1 when it does not exist.
int64_t file_size(const std::wstring& path);
