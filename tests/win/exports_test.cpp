// zuro.dll as the host sees it: plain export names, its name and identifier, and an entry that
// can be called again and again without harm.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "standin/zapi5.h"
#include "tests/win/stack_check.h"

namespace {

using LibraryNameProc = const char* (*)();
using LibraryIdProc = int (*)();
using LibraryEntryProc = void(WINAPI*)(unsigned int);

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryW(L"zuro.dll");
    ASSERT_NE(library_, nullptr) << GetLastError();
  }
  void TearDown() override { FreeLibrary(library_); }
  FARPROC Find(const char* name) { return GetProcAddress(library_, name); }

  HMODULE library_ = nullptr;
};

TEST_F(ExportsTest, NamesAreUndecorated) {
  EXPECT_NE(Find("LIBRARYNAME"), nullptr);
  EXPECT_NE(Find("LIBRARYID"), nullptr);
  EXPECT_NE(Find("LIBRARYENTRY"), nullptr);
  EXPECT_EQ(Find("LIBRARYENTRY@4"), nullptr);
  EXPECT_EQ(Find("_LIBRARYENTRY@4"), nullptr);
}

TEST_F(ExportsTest, NameAndIdentifier) {
  const auto name = reinterpret_cast<LibraryNameProc>(reinterpret_cast<void*>(Find("LIBRARYNAME")));
  const auto id = reinterpret_cast<LibraryIdProc>(reinterpret_cast<void*>(Find("LIBRARYID")));
  ASSERT_TRUE(name && id);
  EXPECT_EQ(std::string(name()), "Конвертер текстовых КД zURO-ЗЕНТАР");
  EXPECT_EQ(id(), 1001);
}

// The entry uses the Windows API calling convention: it removes its one argument itself, as the
// host's calls expect (on x86; x64 has the one convention).
TEST_F(ExportsTest, EntryCanBeCalledManyTimesWithCommandsThatOpenNothing) {
  const auto entry =
      reinterpret_cast<LibraryEntryProc>(reinterpret_cast<void*>(Find("LIBRARYENTRY")));
  ASSERT_NE(entry, nullptr);
  for (unsigned i = 0; i < 500; ++i) {
    entry(0);
    entry(7);
  }
#if defined(__i386__)
  for (const uintptr_t command : {0u, 7u, 0xFFFFFFFFu})
    EXPECT_EQ(zuro::testing_support::StackBytesRemoved(entry, {reinterpret_cast<void*>(command)}), 4)
        << command;
#endif
  // The library found this program's zapi5.dll and talked to it on every call.
  std::string log(ZsimCallLog(nullptr, 0), '\0');
  ZsimCallLog(log.data(), static_cast<int>(log.size()));
  EXPECT_NE(log.find("ZentarObject 15 method"), std::string::npos);
}

TEST(MenuResource, LibraryMenuHoldsTheSixConverters) {
  HMODULE library = LoadLibraryExW(L"zuro.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(library, nullptr);
  HMENU menu = LoadMenuW(library, MAKEINTRESOURCEW(1001));
  ASSERT_NE(menu, nullptr);
  HMENU commands = GetSubMenu(menu, 0);
  ASSERT_NE(commands, nullptr);
  ASSERT_EQ(GetMenuItemCount(commands), 6);
  wchar_t text[128];
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(GetMenuItemID(commands, i), static_cast<UINT>(i + 1));
  GetMenuStringW(commands, 3, text, 128, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), L"Текстовый конвертер Altium Designer-ЗЕНТАР");
  // The host API library's name keeps its trailing blank.
  EXPECT_EQ(LoadStringW(library, 4, text, 128), 10);
  EXPECT_EQ(std::wstring(text), L"zapi5.dll ");
  DestroyMenu(menu);
  FreeLibrary(library);
}

}  // namespace
