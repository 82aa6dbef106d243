// Fetches an address with the system's WinINet as the installer does (its
// certificate checks on) and tells how it went, for the fixtures that add
// and remove the test CA:
//   tls_probe URL   exit 0 when the whole body arrived, else the WinINet
//                   error minus 12000 (45: unknown CA, 57: revocation check
//                   failed), or 1 for any other failure
#include <windows.h>
#include <wininet.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HINTERNET root = InternetOpenW(L"qelmo-tls-probe", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlW(root, argv[1], nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  DWORD error = request ? 0 : GetLastError();
  static char block[65536];
  DWORD n = 0;
  unsigned long long total = 0;
  while (request && InternetReadFile(request, block, sizeof block, &n) && n) total += n;
  if (request) InternetCloseHandle(request);
  InternetCloseHandle(root);
  std::printf("%ls: %s (error %lu, %llu bytes)\n", argv[1], request ? "fetched" : "refused", error, total);
  if (request) return total ? 0 : 1;
  return error > 12000 && error < 12200 ? static_cast<int>(error - 12000) : 1;
}
