// Texts are GBK in memory. Wherever they meet the wide system functions,
// in the runtime, the libraries or compiled code, they are converted with
// code page 936 explicitly, so the program reads right under any system
// locale, not only a Chinese one.
#pragma once

constexpr unsigned kGbkCodePage = 936;
