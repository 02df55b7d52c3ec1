// The names database through SQLite's Windows file layer: library folders with a Cyrillic name
// and with a name outside code page 1251, held in UTF-8 as every path of the library.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win32_text.h"
#include "generation/names_database.h"

namespace {

using zuro::generation::NamesDatabase;
using zuro::generation::WorkTable;

class NamesDatabaseOnWindows : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(NamesDatabaseOnWindows, WritesSortsAndReadsBackInAFolderOfThatName) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + GetParam() + L"\\";
  const std::wstring file = folder + L"bom.db";
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW(file.c_str());
  const std::string library = zuro::Utf8PathFromWide(folder.c_str());
  const std::string refdes = "R1,R2,\nR5";
  {
    NamesDatabase database;
    ASSERT_TRUE(database.Open(library)) << database.LastError();
    WorkTable names1(database);
    ASSERT_TRUE(names1.Open("names1")) << names1.LastError();
    for (const char* component : {"Резистор С2-33", "Конденсатор К10-17", "Диод КД522Б"}) {
      names1.AddNew();
      names1.SetField("component", component);
      names1.SetField("refdes", refdes);
      names1.SetField("value", 4.7);
      ASSERT_TRUE(names1.Update()) << names1.LastError();
    }
    ASSERT_TRUE(database.Close()) << database.LastError();
  }
  // The file lies in the folder of that very name.
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  {
    NamesDatabase database;
    ASSERT_TRUE(database.Open(library)) << database.LastError();
    WorkTable names1(database);
    ASSERT_TRUE(names1.Open("names1"));
    ASSERT_TRUE(names1.SetSort("component")) << names1.LastError();
    std::vector<std::string> components;
    for (; !names1.IsEOF(); names1.MoveNext()) {
      components.push_back(names1.GetText("component"));
      EXPECT_EQ(names1.GetText("refdes"), refdes);
      EXPECT_EQ(names1.GetDouble("value"), 4.7);
    }
    EXPECT_EQ(components,
              (std::vector<std::string>{"Диод КД522Б", "Конденсатор К10-17", "Резистор С2-33"}));
  }
  DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Folders,
                         NamesDatabaseOnWindows,
                         ::testing::Values(L"zuro_библиотека", L"zuro Müller 日本"));

}  // namespace
