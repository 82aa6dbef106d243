// Texts are GBK in memory; the Win32 boundary takes UTF-16. The conversions
// name their code page (platform/gbk_code_page.h).
#pragma once
#include <string>

#include "platform/gbk_code_page.h"

std::wstring GbkToWide(const char* text);
std::string WideToGbk(const wchar_t* text);
