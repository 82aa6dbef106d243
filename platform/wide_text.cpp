#include "platform/wide_text.h"

#include <windows.h>

std::wstring GbkToWide(const char* text) {
  if (!text || !*text) return std::wstring();
  int n = MultiByteToWideChar(kGbkCodePage, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

std::string WideToGbk(const wchar_t* text) {
  if (!text || !*text) return std::string();
  int n = WideCharToMultiByte(kGbkCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string gbk(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text, -1, gbk.data(), n, nullptr, nullptr);
  gbk.resize(static_cast<size_t>(n - 1));
  return gbk;
}
