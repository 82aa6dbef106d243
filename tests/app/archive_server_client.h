// Talks to the local archive server the end-to-end tests run against
// (127.0.0.1:18080): switches its mode and rate and reads its request log.
#pragma once
#include <string>
#include <vector>

std::string ArchiveServerGet(const std::wstring& path);
void ServerMode(const wchar_t* mode);
void ServerRate(int bytes_per_second);
// The requests for archives served since the log was last cleared.
int RequestsServed();
void ClearRequestLog();
// The requests served since the log was cleared, one line each:
// "mode path range if-range" ("-" for a header not sent).
std::vector<std::string> RequestLog();
// How the server names the version of a sample it serves.
struct Validators {
  std::string etag;
  std::string last_modified;
};
Validators ServerValidators(const wchar_t* name);
// Serves another version of a sample (same size), or the original again.
void ReplaceSample(const wchar_t* name, bool restore = false);
// Serves the sample with one byte changed (ReplaceSample restores it).
void FlipSampleByte(const wchar_t* name);
// What the server answers for an archive's signature (its address plus
// ".sig"): "signed", "missing", "other-archive", "other-key", "malformed"
// or "too-long".
void ServerSignatures(const wchar_t* mode);
// A file the server hands out, as the harness sees it.
std::wstring ServerFile(const wchar_t* name);
