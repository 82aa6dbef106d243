// What Windows reads from the program file before it runs a line of it:
// the version resource (shown in the file's properties) and the manifest
// (the rights it runs with and the systems it declares it knows).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/installer_driver.h"

namespace {

std::wstring ProgramPath() { return EnvironmentPath(L"QELMO_PROGRAM"); }

std::wstring VersionText(const std::vector<char>& info, const wchar_t* name) {
  std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
  wchar_t* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return L"(none)";
  return text;
}

TEST(ProgramFile, VersionResourceNamesTheProgramInChinese) {
  std::wstring path = ProgramPath();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u) << "no version resource in the program";
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_NE(fixed->dwFileVersionMS | fixed->dwFileVersionLS, 0u) << "version 0.0.0.0";

  // One translation, Simplified Chinese with Unicode texts.
  struct Translation { WORD language, code_page; }* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, sizeof(Translation));
  EXPECT_EQ(translation->language, 0x0804);
  EXPECT_EQ(translation->code_page, 1200);

  EXPECT_EQ(VersionText(info, L"FileDescription"), L"qelmo 安装助手");
  EXPECT_EQ(VersionText(info, L"ProductName"), L"qelmo 安装助手");
  EXPECT_EQ(VersionText(info, L"OriginalFilename"), L"qelmo.exe");
  // The texts agree with the numbers.
  wchar_t numbers[64];
  wsprintfW(numbers, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
            HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(VersionText(info, L"FileVersion"), numbers);
  EXPECT_EQ(VersionText(info, L"ProductVersion"), numbers);
}

TEST(ProgramFile, ManifestRunsAsInvokerOnWindows7To11WithClassicControls) {
  HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  // The manifest Windows applies to a program is resource 1 of type 24.
  HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(resource, nullptr) << "no manifest resource";
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, resource)));
  std::string manifest(bytes, SizeofResource(program, resource));
  FreeLibrary(program);

  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  for (const char* system : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                             "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + system + "}\"/>"), std::string::npos) << system;
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos) << "the themed controls would ignore the bar's colours";
  // Aware of each screen's DPI, else of the system's: the program lays
  // itself out for the scale.
  size_t settings = manifest.find("<windowsSettings>"), end = manifest.find("</windowsSettings>");
  ASSERT_LT(settings, end) << manifest;
  std::string windows_settings = manifest.substr(settings, end - settings);
  EXPECT_NE(windows_settings.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                                  "true</dpiAware>"),
            std::string::npos)
      << manifest;
  EXPECT_NE(windows_settings.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                                  "PerMonitorV2, System</dpiAwareness>"),
            std::string::npos)
      << manifest;
}

}  // namespace
