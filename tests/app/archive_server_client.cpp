#include "tests/app/archive_server_client.h"

#include <windows.h>
#include <wininet.h>

#include "tests/app/installer_driver.h"

namespace {
constexpr wchar_t kServer[] = L"http://127.0.0.1:18080";
}

std::string ArchiveServerGet(const std::wstring& path) {
  std::string body;
  HINTERNET session = InternetOpenW(L"qelmo-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlW(session, (std::wstring(kServer) + path).c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  char buffer[4096];
  DWORD n = 0;
  while (request && InternetReadFile(request, buffer, sizeof buffer, &n) && n) body.append(buffer, n);
  if (request) InternetCloseHandle(request);
  InternetCloseHandle(session);
  return body;
}

void ServerMode(const wchar_t* mode) { ArchiveServerGet(std::wstring(L"/__mode?set=") + mode); }
void ServerRate(int bytes_per_second) { ArchiveServerGet(L"/__rate?set=" + std::to_wstring(bytes_per_second)); }

int RequestsServed() {
  std::string log = ArchiveServerGet(L"/__log");
  int lines = 0;
  for (char c : log) lines += c == '\n';
  return lines;
}

std::vector<std::string> RequestLog() {
  std::vector<std::string> lines;
  std::string log = ArchiveServerGet(L"/__log");
  for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(log.substr(start, end - start));
  return lines;
}

Validators ServerValidators(const wchar_t* name) {
  std::string text = ArchiveServerGet(std::wstring(L"/__validators?name=") + name);
  size_t line = text.find('\n');
  if (line == std::string::npos) return {};
  return {text.substr(0, line), text.substr(line + 1, text.find('\n', line + 1) - line - 1)};
}

void ReplaceSample(const wchar_t* name, bool restore) {
  ArchiveServerGet(std::wstring(L"/__replace?name=") + name + (restore ? L"&restore=1" : L""));
}

void FlipSampleByte(const wchar_t* name) { ArchiveServerGet(std::wstring(L"/__replace?flip=1&name=") + name); }

void ServerSignatures(const wchar_t* mode) { ArchiveServerGet(std::wstring(L"/__signatures?set=") + mode); }

void ClearRequestLog() { ArchiveServerGet(L"/__log?clear=1"); }

// The fixtures' folder holds the server's archives and the read-only folder.
std::wstring ServerFile(const wchar_t* name) { return EnvironmentPath(L"QELMO_E2E_DIR") + L"\\archives\\" + name; }
