// Every Windows program of the build names the product and carries the project's version in its
// properties, in Russian and in English.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/version.h"

namespace {

std::wstring Beside(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

std::wstring Widen(const char* text) {
  return std::wstring(text, text + strlen(text));
}

// One string of a language block of the version resource, or "(none)".
std::wstring StringValue(std::string& block, const wchar_t* language, const wchar_t* key) {
  const std::wstring query = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + key;
  wchar_t* text = nullptr;
  UINT chars = 0;
  if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars) ||
      text == nullptr)
    return L"(none)";
  return text;
}

bool HasCyrillic(const std::wstring& text) {
  return text.find_first_of(L"абвгдеиклмнопрстуч") != std::wstring::npos;
}

TEST(VersionResource, EveryProgramCarriesTheProjectsVersion) {
  const std::wstring version = Widen(ZURO_VERSION_TEXT);
  for (const wchar_t* name : {L"zuro.dll", L"zentar-host.exe", L"veldor-host.exe", L"zapi5.dll"}) {
    SCOPED_TRACE(testing::Message() << std::string(name, name + wcslen(name)));
    const std::wstring path = Beside(name);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(ZURO_VERSION_MINOR, ZURO_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(0, ZURO_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

    const std::wstring name_text(name);
    for (const wchar_t* language : {L"041904E3", L"040904B0"}) {
      const auto value = [&](const wchar_t* key) { return StringValue(block, language, key); };
      EXPECT_EQ(value(L"FileVersion"), version);
      EXPECT_EQ(value(L"ProductVersion"), version);
      EXPECT_EQ(value(L"ProductName"), L"zURO");
      EXPECT_EQ(value(L"OriginalFilename"), name_text);
      EXPECT_NE(value(L"LegalCopyright").find(L"© 2026"), std::wstring::npos);
      EXPECT_GT(value(L"FileDescription").size(), 10u);
    }
    // The Russian description is read back in Cyrillic letters, the English one in Latin.
    EXPECT_TRUE(HasCyrillic(StringValue(block, L"041904E3", L"FileDescription")));
    EXPECT_FALSE(HasCyrillic(StringValue(block, L"040904B0", L"FileDescription")));
  }
}

}  // namespace
