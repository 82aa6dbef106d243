// The platform's limit for the installer's engine: the same WinINet calls
// and 10,240-byte reads, with the bytes written to a file and no display.
//   bare_download URL FILE
#include <windows.h>
#include <wininet.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  DWORD start = GetTickCount();
  HINTERNET root = InternetOpenW(L"Agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlW(root, argv[1], nullptr, 0, 0x84000100, 0);
  HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (!request || file == INVALID_HANDLE_VALUE) return 1;
  static char block[10240];
  DWORD n = 0, written = 0;
  unsigned long long total = 0;
  while (InternetReadFile(request, block, sizeof block, &n) && n) {
    WriteFile(file, block, n, &written, nullptr);
    total += n;
  }
  CloseHandle(file);
  InternetCloseHandle(request);
  InternetCloseHandle(root);
  double seconds = (GetTickCount() - start) / 1000.0;
  std::printf("%llu %.3f\n", total, seconds);
  return 0;
}
