#include <gtest/gtest.h>

#include <new>

#include "tests/test_folder.h"

#include "base/file_system.h"
#include "base/text_encoding.h"

namespace zuro {
namespace {

TEST(TextEncoding, Cp1251RoundTripsEveryByteThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(TextEncoding, LiteralsAreCp1251AndConvertToUtf8) {
  // The sources are compiled to code page 1251: "Ж" is one byte, 0xC6.
  const std::string text = "Ж№";
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xC6);
  EXPECT_EQ(Cp1251ToUtf8(text), "\xD0\x96\xE2\x84\x96");
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");  // no such character in 1251
}

// Each test writes in a folder of its own: CTest runs the tests side by side.
class ReplaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ + "replaced.txt";
    ASSERT_TRUE(
        ReplaceFileContents(path_, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; }));
  }
  void TearDown() override {
    SetFileFaultHook(nullptr);
    RemoveFile(path_);
  }
  std::string Read() {
    FileHandle f = OpenFile(path_, "rb");
    std::string text;
    int c;
    while (f && (c = std::fgetc(f.get())) != EOF)
      text += static_cast<char>(c);
    return text;
  }
  testing_support::TestFolder folder_{"replace_file"};
  std::string path_;
};

TEST_F(ReplaceFileTest, FailedStepLeavesTheOldFileWholeAndNoTemporary) {
  for (const char* step : {"open", "write", "close", "move"}) {
    SetFileFaultHook([step](const char* s) { return std::string(s) == step; });
    EXPECT_FALSE(ReplaceFileContents(path_, [](std::FILE* f) {
      return std::fputs("new\n", f) >= 0;
    })) << step;
    EXPECT_EQ(Read(), "old\n") << step;
    EXPECT_FALSE(FileExists(path_ + ".new")) << step;
  }
  SetFileFaultHook(nullptr);
  EXPECT_TRUE(ReplaceFileContents(path_, [](std::FILE* f) { return std::fputs("new\n", f) >= 0; }));
  EXPECT_EQ(Read(), "new\n");
}

// A write abandoned, or one that throws half way (no memory for the next piece), leaves the old
// files as they were and no temporary file; the exception goes on to the caller.
TEST_F(ReplaceFileTest, AbandonedWriteKeepsTheOldFile) {
  EXPECT_FALSE(ReplaceFileContents(path_, [](std::FILE* f) {
    std::fputs("partial", f);
    return false;
  }));
  EXPECT_EQ(Read(), "old\n");
  const std::string other = folder_ + "other.txt";
  ReplaceFileContents(other, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
  const auto throwing = [](std::FILE* f) -> bool {
    std::fputs("partial", f);
    throw std::bad_alloc();
  };
  EXPECT_THROW(ReplaceFileContents(path_, throwing), std::bad_alloc);
  EXPECT_THROW(ReplaceFilesContents(path_, other,
                                    [&](std::FILE* first, std::FILE*) { return throwing(first); }),
               std::bad_alloc);
  for (const std::string& path : {path_, other}) {
    EXPECT_EQ(testing_support::ReadBytes(path), "old\n") << path;
    EXPECT_FALSE(FileExists(path + ".new")) << path;
  }
}

// Two files written in one pass: whatever step fails, each file holds its old bytes or the whole
// of its new ones, as that file's own steps went, and no temporary file stays; a file that cannot
// be opened leaves the other one written, and an abandoned write leaves both old.
TEST_F(ReplaceFileTest, TwoFilesAreWrittenInOnePassEachOnItsOwn) {
  const std::string other = folder_ + "other.txt";
  const auto write_both = [&](const std::string& second) {
    return ReplaceFilesContents(path_, second, [](std::FILE* first, std::FILE* second) {
      for (std::FILE* file : {first, second}) {
        if (file)
          std::fputs("new\n", file);
      }
      return true;
    });
  };
  int steps = 0;
  SetFileFaultHook([&](const char*) { return ++steps, false; });
  ReplacedFiles replaced = write_both(other);
  SetFileFaultHook(nullptr);
  EXPECT_TRUE(replaced.first && replaced.second);
  int first_only = 0;
  int second_only = 0;
  for (int failing = 1; failing <= steps; ++failing) {
    for (const std::string& path : {path_, other})
      ReplaceFileContents(path, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
    int step = 0;
    SetFileFaultHook([&](const char*) { return ++step == failing; });
    replaced = write_both(other);
    SetFileFaultHook(nullptr);
    EXPECT_EQ(Read(), replaced.first ? "new\n" : "old\n") << failing;
    EXPECT_EQ(testing_support::ReadBytes(other), replaced.second ? "new\n" : "old\n") << failing;
    EXPECT_FALSE(FileExists(path_ + ".new") || FileExists(other + ".new")) << failing;
    first_only += replaced.first && !replaced.second;
    second_only += !replaced.first && replaced.second;
  }
  EXPECT_GT(first_only, 0);
  EXPECT_GT(second_only, 0);

  ReplaceFileContents(path_, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
  replaced = write_both(folder_ + "missing/other.txt");
  EXPECT_TRUE(replaced.first && !replaced.second);
  EXPECT_EQ(Read(), "new\n");
  replaced = ReplaceFilesContents(folder_ + "missing/first.txt", other,
                                  [](std::FILE* first, std::FILE* second) {
                                    return !first && std::fputs("second\n", second) >= 0;
                                  });
  EXPECT_TRUE(!replaced.first && replaced.second);
  EXPECT_EQ(testing_support::ReadBytes(other), "second\n");
  replaced = ReplaceFilesContents(path_, other, [](std::FILE*, std::FILE*) { return false; });
  EXPECT_FALSE(replaced.first || replaced.second);
  EXPECT_EQ(Read(), "new\n");
}

}  // namespace
}  // namespace zuro
