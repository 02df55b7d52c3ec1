// The file-system seam on Windows: UTF-8 paths reach the wide API as UTF-16, so that the files lie
// under the very names given, in a Cyrillic folder with blanks and in one named outside code page
// 1251 alike, whatever the system's own code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/file_system.h"
#include "base/text_file.h"
#include "base/win32_text.h"

namespace {

const std::string kText = "\"Count\";\"RefDes\"\r\n\"1\";\"R1 Ж\"\r\n";
// Gtest's macros spell their arguments out as narrow literals, which cannot hold what code page
// 1251 lacks: such names are named outside them.
const std::wstring kReport = L"отчёт 日本.bom";
const std::wstring kCopy = L"копия Müller.bom";

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(Win32PathText, PathsAndTextsKeepTheirOwnEncodings) {
  const std::wstring path = L"C:\\Müller 日本\\плата.bom";
  EXPECT_EQ(zuro::WidePath(zuro::Utf8PathFromWide(path.c_str())), path);
  EXPECT_EQ(zuro::Utf8PathFromWide(L"Ж"), "\xD0\x96");
  EXPECT_EQ(zuro::Utf8PathFromWide(L"abc", 2), "ab");
  EXPECT_EQ(zuro::Utf8PathFromWide(nullptr), "");
  EXPECT_EQ(zuro::WidePath(""), L"");
  // Texts stay code page 1251: "Ж" is one byte there.
  EXPECT_EQ(zuro::WideFromCp1251("Ж"), L"Ж");
  EXPECT_EQ(zuro::Cp1251FromWide(L"Ж"), "Ж");
}

class FileSeamOnWindows : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + GetParam() + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& name : {kReport, kCopy})
      DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::string Path(const std::wstring& name) const {
    return zuro::Utf8PathFromWide((folder_ + name).c_str());
  }
  std::wstring folder_;
};

TEST_P(FileSeamOnWindows, EveryOperationFindsTheFileByItsName) {
  const std::string report = Path(kReport);
  ASSERT_TRUE(zuro::ReplaceFileContents(
      report, [](std::FILE* file) { return std::fputs(kText.c_str(), file) >= 0; }));
  EXPECT_TRUE(Exists(folder_ + kReport));
  EXPECT_FALSE(Exists(folder_ + kReport + L".new"));
  EXPECT_TRUE(zuro::FileExists(report));
  const std::optional<zuro::TextFile> read = zuro::ReadTextFile(report);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->text, kText);
  const std::optional<zuro::FileStamp> stamp = zuro::ReadFileStamp(report);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->size, kText.size());

  const std::string copy = Path(kCopy);
  ASSERT_TRUE(zuro::CopyFileOver(report, copy));
  EXPECT_TRUE(Exists(folder_ + kCopy));
  EXPECT_TRUE(zuro::OpenFile(copy, "rb"));
  EXPECT_TRUE(zuro::RemoveFile(copy));
  EXPECT_FALSE(Exists(folder_ + kCopy));
  EXPECT_FALSE(zuro::FileExists(copy));
  EXPECT_FALSE(zuro::ReadFileStamp(copy));
  EXPECT_FALSE(zuro::RemoveFile(copy));
}

INSTANTIATE_TEST_SUITE_P(Folders,
                         FileSeamOnWindows,
                         ::testing::Values(L"zuro_проекты платы", L"zuro Müller 日本"));

}  // namespace
