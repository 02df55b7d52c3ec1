#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <string>

#include "base/text_encoding.h"
#include "base/text_file.h"

namespace zuro {
namespace {

const std::string kCp1251 = "\"Count\";\"Value\"\r\n\"1\";\"10 кОм ±5%\"\r\n";

TEST(TextFileTest, Utf8WithAndWithoutByteOrderMarkDecodesToItsCp1251Twin) {
  for (const std::string& bytes : {Cp1251ToUtf8(kCp1251), "\xEF\xBB\xBF" + Cp1251ToUtf8(kCp1251)}) {
    const TextFile file = DecodeText(bytes);
    EXPECT_TRUE(file.was_utf8);
    EXPECT_FALSE(file.lost_characters);
    EXPECT_EQ(file.text, kCp1251);
  }
  // A byte-order mark before plain ASCII is still taken off.
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF\"Count\"").text, "\"Count\"");
}

TEST(TextFileTest, Cp1251AndAsciiStayAsTheyAre) {
  const TextFile cp1251 = DecodeText(kCp1251);
  EXPECT_FALSE(cp1251.was_utf8);
  EXPECT_EQ(cp1251.text, kCp1251);
  EXPECT_FALSE(DecodeText("R1;10k\n").was_utf8);
  EXPECT_EQ(DecodeText("").text, "");
  // Every byte of 1251 text, one after another, is no valid UTF-8 as a whole.
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(DecodeText(all).text, all);
  // Two 1251 letters that happen to form one UTF-8 letter ("Рђ" is "ђ"), among others that do
  // not, keep the file in 1251.
  EXPECT_FALSE(IsUtf8Text("Рђ и ещё текст"));
}

TEST(TextFileTest, Utf8ValidityBoundaries) {
  EXPECT_TRUE(IsUtf8Text("\xD0\x96"));           // Ж
  EXPECT_TRUE(IsUtf8Text("\xF0\x9F\x98\x80"));   // four bytes
  EXPECT_FALSE(IsUtf8Text("\xD0"));              // cut at the end
  EXPECT_FALSE(IsUtf8Text("\xC0\x80"));          // overlong NUL
  EXPECT_FALSE(IsUtf8Text("\xE0\x80\xAF"));      // overlong "/"
  EXPECT_FALSE(IsUtf8Text("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8Text("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsUtf8Text("\x80"));              // a lone continuation byte
  EXPECT_FALSE(IsUtf8Text("\xD0\x96\xFF"));      // valid, then a byte UTF-8 never uses
}

TEST(TextFileTest, CharactersWithoutCp1251FormBecomeQuestionMarks) {
  const TextFile file = DecodeText("R1 \xE2\x84\xA6 \xE4\xB8\xAD \xD0\x96");  // Ω, 中, Ж
  EXPECT_TRUE(file.lost_characters);
  EXPECT_EQ(file.text, "R1 ? ? Ж");
}

TEST(TextFileTest, ReadsWholeFilesAndTellsAMissingOne) {
  testing_support::TestFolder folder("text_file");
  std::string big(300000, 'x');
  big += "\r\nЖ";
  const std::optional<TextFile> file = ReadTextFile(folder.Write("big.txt", big));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->text, big);
  EXPECT_FALSE(ReadTextFile(folder + "missing.txt"));
}

TEST(TextLinesTest, LinesKeepTheirLineFeedAndLoseTheCarriageReturnBeforeIt) {
  TextLines lines("a\r\nb\rc\n\nlast");
  std::string line;
  std::vector<std::string> read;
  while (lines.Read(line))
    read.push_back(line);
  EXPECT_EQ(read, (std::vector<std::string>{"a\n", "b\rc\n", "\n", "last"}));
  EXPECT_FALSE(lines.Read(line));
  EXPECT_EQ(line, "");
}

}  // namespace
}  // namespace zuro
