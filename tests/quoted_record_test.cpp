#include "readers/quoted_record.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zuro::readers {
namespace {

// The continuation rule in its plainest form: the line without its line feeds, cut at every ";",
// the non-empty pieces counted, the last of them closed by a quote after its first character.
bool PlainIsComplete(std::string line, size_t attribute_count) {
  std::erase(line, '\n');
  size_t fields = 0;
  std::string last;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(';', start);
    if (end == std::string::npos)
      end = line.size();
    if (end > start) {
      ++fields;
      last = line.substr(start, end - start);
    }
    start = end + 1;
  }
  return fields >= attribute_count && last.find('"', 1) != std::string::npos;
}

// Lines made of the characters that matter to the rule: quotes, separators, line feeds (also
// inside a joined record), blanks and letters; the records of a report among them.
TEST(QuotedRecordTest, OnePassAgreesWithThePlainRuleOnEveryKindOfLine) {
  std::vector<std::string> lines = {"",
                                    "\n",
                                    "\"",
                                    "\"\"",
                                    ";",
                                    "\"1\";\"R1\";\"10k\"\n",
                                    "\"1\";\"R1\";\"10k\n",
                                    "\"1\";\"R1\";\"10k\"",
                                    "\"Count\";\"RefDes\";\n",
                                    "\"1\";\"R1\";\"a;b\"\n",
                                    "\"1\";;;\"R1\"\n\n",
                                    "x\"",
                                    "\"x\n\"",
                                    "\";\""};
  std::mt19937 random(7);
  const std::string alphabet = "\";\n a\"\";;";
  for (int i = 0; i < 20000; ++i) {
    std::string line(random() % 24, ' ');
    for (char& c : line)
      c = alphabet[random() % alphabet.size()];
    lines.push_back(line);
  }
  std::vector<std::string_view> pieces;
  for (const std::string& line : lines) {
    for (size_t count : {0, 1, 2, 3, 5}) {
      const bool complete = PlainIsComplete(line, count);
      EXPECT_EQ(IsCompleteRecord(line, count), complete) << "\"" << line << "\" " << count;
      EXPECT_EQ(SplitRecord(line, count, pieces), complete) << "\"" << line << "\" " << count;
      EXPECT_EQ(pieces, SplitAtQuotes(line)) << "\"" << line << "\"";
    }
  }
}

// A line's pieces alternate between what stands outside the quotes and the values, so that the
// odd positions are the values, the first and last pieces the text around them.
TEST(QuotedRecordTest, SplitsAtEveryQuote) {
  EXPECT_EQ(SplitAtQuotes("\"1\";\"R1\"\n"),
            (std::vector<std::string_view>{"", "1", ";", "R1", "\n"}));
  EXPECT_EQ(SplitAtQuotes("no quotes"), (std::vector<std::string_view>{"no quotes"}));
  EXPECT_EQ(SplitAtQuotes(""), (std::vector<std::string_view>{""}));
  EXPECT_EQ(PieceAt(SplitAtQuotes("\"a\""), 3), "");
  EXPECT_EQ(PieceAt(SplitAtQuotes("\"a\""), -1), "");
  std::string room;
  EXPECT_EQ(WithoutLineFeeds("ab\ncd\n", room), "abcd");
  const std::string_view plain = "abc";
  EXPECT_EQ(WithoutLineFeeds(plain, room).data(), plain.data());  // no copy
}

}  // namespace
}  // namespace zuro::readers
