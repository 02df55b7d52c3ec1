#include <gtest/gtest.h>

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

TEST_F(ReplaceFileTest, AbandonedWriteKeepsTheOldFile) {
  EXPECT_FALSE(ReplaceFileContents(path_, [](std::FILE* f) {
    std::fputs("partial", f);
    return false;
  }));
  EXPECT_EQ(Read(), "old\n");
}

// Two files written together, the second as a copy of the first: whatever step fails, the second
// is never new while the first is old, and no temporary file stays; a second that cannot be
// opened leaves the first written, and an abandoned write leaves both old.
TEST_F(ReplaceFileTest, TwoFilesAreWrittenAsAFileAndItsCopy) {
  const std::string copy = folder_ + "copy.txt";
  const auto write_both = [&] {
    return ReplaceFilesContents(path_, copy, [](std::FILE* first, std::FILE* second) {
      if (second)
        std::fputs("new\n", second);
      return std::fputs("new\n", first) >= 0;
    });
  };
  int steps = 0;
  SetFileFaultHook([&](const char*) { return ++steps, false; });
  ReplacedFiles replaced = write_both();
  SetFileFaultHook(nullptr);
  EXPECT_TRUE(replaced.first && replaced.second);
  EXPECT_EQ(testing_support::ReadBytes(copy), "new\n");
  int first_only = 0;
  for (int failing = 1; failing <= steps; ++failing) {
    ReplaceFileContents(path_, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
    ReplaceFileContents(copy, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
    int step = 0;
    SetFileFaultHook([&](const char*) { return ++step == failing; });
    replaced = write_both();
    SetFileFaultHook(nullptr);
    EXPECT_EQ(Read(), replaced.first ? "new\n" : "old\n") << failing;
    EXPECT_EQ(testing_support::ReadBytes(copy), replaced.second ? "new\n" : "old\n") << failing;
    EXPECT_TRUE(replaced.first || !replaced.second) << failing;
    first_only += replaced.first && !replaced.second;
    EXPECT_FALSE(FileExists(path_ + ".new") || FileExists(copy + ".new")) << failing;
  }
  EXPECT_GT(first_only, 2);  // the second's open, flush, close or move failed alone

  ReplaceFileContents(path_, [](std::FILE* f) { return std::fputs("old\n", f) >= 0; });
  replaced = ReplaceFilesContents(path_, folder_ + "missing/copy.txt",
                                  [](std::FILE* first, std::FILE* second) {
                                    return !second && std::fputs("new\n", first) >= 0;
                                  });
  EXPECT_TRUE(replaced.first && !replaced.second);
  EXPECT_EQ(Read(), "new\n");
  replaced = ReplaceFilesContents(path_, copy, [](std::FILE*, std::FILE*) { return false; });
  EXPECT_FALSE(replaced.first || replaced.second);
  EXPECT_EQ(Read(), "new\n");
}

}  // namespace
}  // namespace zuro
