// Texts are GBK in memory; the Win32 boundary takes UTF-16. Converting with
// code page 936 explicitly makes the program read right under any system
// locale, not only a Chinese one.
#pragma once
#include <string>

constexpr unsigned kGbkCodePage = 936;

std::wstring GbkToWide(const char* text);
std::string WideToGbk(const wchar_t* text);
