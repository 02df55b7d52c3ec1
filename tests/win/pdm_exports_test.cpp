// The PDM's three exports of zuro.dll as the PDM calls them: plain names, the calling conventions
// the PDM's pointers carry, the object list of the library's own folder read back, and pointers
// that lead nowhere or to too little memory answered without a crash and without a byte written.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/win/stack_check.h"

namespace {

// LoadBom leaves its arguments to the caller to remove; the two reading exports remove their own.
using LoadBomProc = int(__cdecl*)(char*, void*, char*);
using ObjectTypeProc = int(WINAPI*)(char*);
using ObjectAttributeProc = int(WINAPI*)(char*, void*, char*);

constexpr size_t kBuffer = 200;

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// A copy of zuro.dll in a folder of the test's own, under another name, so that its library
// folder (and its res.txt) is the test's alone and no other copy loaded in the process is
// reused.
class PdmExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ =
        std::wstring(temp) + L"zuro_pdm_exports_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring copy = folder_ + L"zuro_pdm.dll";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"zuro.dll").c_str(), copy.c_str(), FALSE));
    library_ = LoadLibraryW(copy.c_str());
    ASSERT_NE(library_, nullptr) << GetLastError();
    load_bom_ = Find<LoadBomProc>("LoadBom");
    object_type_ = Find<ObjectTypeProc>("GetObjectType1");
    object_attribute_ = Find<ObjectAttributeProc>("GetObjectAttribute");
    ASSERT_TRUE(load_bom_ && object_type_ && object_attribute_);
  }
  void TearDown() override {
    if (library_)
      FreeLibrary(library_);
    DeleteFileW((folder_ + L"res.txt").c_str());
    DeleteFileW((folder_ + L"zuro_pdm.dll").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  template <typename Proc>
  Proc Find(const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
  }
  std::string Type(const std::string& number) {
    char buffer[kBuffer] = {};
    number.copy(buffer, kBuffer - 1);
    object_type_(buffer);
    return buffer;
  }
  std::string Attribute(const std::string& numbers) {
    char name[kBuffer] = {};
    char value[kBuffer] = {};
    numbers.copy(name, kBuffer - 1);
    object_attribute_(name, nullptr, value);
    return std::string(name) + "|" + value;
  }

  std::wstring folder_;
  HMODULE library_ = nullptr;
  LoadBomProc load_bom_ = nullptr;
  ObjectTypeProc object_type_ = nullptr;
  ObjectAttributeProc object_attribute_ = nullptr;
};

TEST_F(PdmExportsTest, NamesAreUndecorated) {
  for (const char* decorated : {"_LoadBom", "GetObjectType1@4", "_GetObjectType1@4",
                                "GetObjectAttribute@12", "_GetObjectAttribute@12"})
    EXPECT_EQ(GetProcAddress(library_, decorated), nullptr) << decorated;
}

// The object list lies in the folder of the DLL that was loaded. An object line longer than the
// buffers is one object with every attribute; the reading calls, made many times, leave the
// caller's stack as it was.
TEST_F(PdmExportsTest, ReadTheObjectListOfTheLibrarysFolder) {
  const std::string long_value(180, 'v');
  WriteFile(folder_ + L"res.txt",
            "Резистор*#Наименование=Резистор;Описание=" + long_value +
                ";Абсолютная величина=1.000000e+04;\r\nПлата#Количество=1;\r\n");
  for (int call = 0; call < 200; ++call) {
    char buffer[kBuffer] = "0";
    ASSERT_EQ(object_type_(buffer), 1);
    char name[kBuffer] = "1;0";
    char value[kBuffer] = {};
    ASSERT_EQ(object_attribute_(name, nullptr, value), 0);
  }
#if defined(__i386__)
  // Both reading calls remove their own arguments.
  char buffer[kBuffer] = "0";
  EXPECT_EQ(zuro::testing_support::StackBytesRemoved(object_type_, {buffer}), 4);
  char name[kBuffer] = "1;0";
  char value[kBuffer] = {};
  EXPECT_EQ(zuro::testing_support::StackBytesRemoved(object_attribute_, {name, nullptr, value}), 12);
  EXPECT_STREQ(value, "1");
#endif
  EXPECT_EQ(Type("0"), "Резистор*");
  EXPECT_EQ(Attribute("0;1"), "Описание|" + long_value);
  EXPECT_EQ(Attribute("0;2"), "Абсолютная величина|1.000000e+04");
  EXPECT_EQ(Attribute("0;3"), "|");
  EXPECT_EQ(Type("1"), "Плата");
  EXPECT_EQ(Attribute("1;0"), "Количество|1");
  EXPECT_EQ(Type("2"), "");
}

// No pointer makes an export fail: a null one, one into no memory, one into freed memory, and
// one to fewer than the 200 bytes the PDM's buffers hold, just before memory that may not be
// touched, are neither read nor written. LoadBom without a report buffer opens no window.
TEST_F(PdmExportsTest, NullAndGarbagePointersReturnNormally) {
  WriteFile(folder_ + L"res.txt", "Плата#Количество=1;\r\n");
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  auto* block =
      static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  DWORD old_protection = 0;
  ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old_protection));
  char* short_buffer = block + page - 100;
  std::memcpy(short_buffer, "0;0\0xxxx", 8);
  auto* freed =
      static_cast<char*>(VirtualAlloc(nullptr, page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(freed, nullptr);
  VirtualFree(freed, 0, MEM_RELEASE);
  char* const garbage[] = {nullptr, reinterpret_cast<char*>(16), freed, short_buffer};

  for (char* pointer : garbage) {
    EXPECT_EQ(object_type_(pointer), 0);
    EXPECT_EQ(object_attribute_(pointer, pointer, pointer), 0);
    EXPECT_EQ(load_bom_(pointer, pointer, pointer), 0);
  }
  // LoadBom leaves its arguments to its caller; the reading calls remove their own, whatever the
  // pointers.
#if defined(__i386__)
  for (char* pointer : garbage) {
    EXPECT_EQ(zuro::testing_support::StackBytesRemoved(load_bom_, {pointer, pointer, pointer}), 0);
    EXPECT_EQ(zuro::testing_support::StackBytesRemoved(object_type_, {pointer}), 4);
    EXPECT_EQ(zuro::testing_support::StackBytesRemoved(object_attribute_, {pointer, pointer, pointer}),
              12);
  }
#endif
  EXPECT_EQ(std::memcmp(short_buffer, "0;0\0xxxx", 8), 0);
  // A good name buffer is answered although the value buffer is no buffer.
  for (char* pointer : garbage) {
    char name[kBuffer] = "0;0";
    EXPECT_EQ(object_attribute_(name, nullptr, pointer), 0);
    EXPECT_STREQ(name, "Количество");
  }
  VirtualFree(block, 0, MEM_RELEASE);
}

// Menu 1006 as the PDM window greys it: the second and third positions of the bar are "Настройка"
// and "Создать объекты ЭРИ", and the document commands of the converter menu are not there.
TEST(PdmWindowResources, MenuBarPositionsAndCommands) {
  HMODULE library = LoadLibraryExW(L"zuro.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(FindResourceW(library, MAKEINTRESOURCEW(1006), MAKEINTRESOURCEW(5)), nullptr);
  HMENU menu = LoadMenuW(library, MAKEINTRESOURCEW(1006));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 4);
  wchar_t text[128];
  const auto item_text = [&](HMENU in, int position) {
    GetMenuStringW(in, position, text, 128, MF_BYPOSITION);
    return std::wstring(text);
  };
  EXPECT_EQ(item_text(menu, 1), L"Настройка");
  EXPECT_EQ(item_text(menu, 2), L"Создать объекты ЭРИ");
  EXPECT_EQ(GetMenuItemID(menu, 2), 1u);
  EXPECT_EQ(GetMenuItemID(menu, 3), 1000u);
  const auto commands = [](HMENU popup) {
    std::wstring ids;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      if (GetMenuItemID(popup, i) != 0)
        ids += std::to_wstring(GetMenuItemID(popup, i)) + L" ";
    }
    return ids;
  };
  // "Параметры..." closes "Файл", after every item the window greys or names by position.
  EXPECT_EQ(commands(GetSubMenu(menu, 0)), L"1012 1023 1024 2 32790 ");
  EXPECT_EQ(commands(GetSubMenu(menu, 1)), L"1001 1002 32785 32786 1003 32784 1004 ");
  HMENU settings = GetSubMenu(menu, 1);
  EXPECT_EQ(item_text(settings, 3), L"Электрорадиоизделия");
  EXPECT_EQ(item_text(settings, 7), L"Шаблоны СЕ...");
  DestroyMenu(menu);
  FreeLibrary(library);
}

}  // namespace
