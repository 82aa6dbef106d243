// Talks to the local archive server the end-to-end tests run against
// (127.0.0.1:18080): switches its mode and rate and reads its request log.
#pragma once
#include <string>

std::string ArchiveServerGet(const std::wstring& path);
void ServerMode(const wchar_t* mode);
void ServerRate(int bytes_per_second);
// The requests for archives served since the log was last cleared.
int RequestsServed();
void ClearRequestLog();
// A file the server hands out, as the harness sees it.
std::wstring ServerFile(const wchar_t* name);
