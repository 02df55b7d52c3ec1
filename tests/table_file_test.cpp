#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/component_rows.h"
#include "table/table_file.h"

namespace zuro::table {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

// Reads a table file's text and gives the table back as the text it would be saved as.
std::string RoundTrip(const std::string& text, std::vector<std::string>* titles = nullptr) {
  GridModel table;
  std::vector<std::string> read_titles;
  ReadTableFile(text, table, read_titles);
  if (titles)
    *titles = read_titles;
  return Joined(TableFileText(table));
}

TEST(TableFileTest, SaveThenReadGivesTheSameTextsWithEveryRowMarked) {
  GridModel table(1, 1, 1, 1);
  for (const char* title : {"Count", "RefDes", "Наименование", "Количество в комплекты"})
    table.InsertColumn(title);
  for (const auto& cells :
       std::vector<std::vector<std::string>>{{"3", "R1...R3", "Резистор 10 кОм ±5%", "2"},
                                             {"", "", "", ""},
                                             {"1", "C1", "", ""},
                                             {"1", "U1", "LT1460KCS3-10#TRPBF", "#"}}) {
    const int row = AppendComponentRow(table);
    table.SetItemImage(row, 0, kUnmarked);
    table.SetItemData(row, 0, -1);
    for (size_t col = 0; col < cells.size(); ++col)
      table.SetItemText(row, static_cast<int>(col) + 1, cells[col]);
  }
  const std::vector<std::string> saved = TableFileText(table);
  EXPECT_EQ(saved[2], "####");
  // A "#" of a cell's own text would split the cell: it is written as the byte 1251 leaves free.
  EXPECT_EQ(saved[4], "#1#U1#LT1460KCS3-10\x98TRPBF#\x98");

  GridModel read;
  std::vector<std::string> titles;
  EXPECT_EQ(ReadTableFile(Joined(saved), read, titles), 5);
  EXPECT_EQ(TableFileText(read), saved);
  EXPECT_EQ(read.GetItemText(4, 3), "LT1460KCS3-10#TRPBF");
  EXPECT_EQ(read.GetItemText(4, 4), "#");
  EXPECT_EQ(titles, (std::vector<std::string>{"Count", "RefDes", "Наименование",
                                              "Количество в комплекты"}));
  EXPECT_EQ(read.GetFixedRowCount(), 1);
  EXPECT_EQ(read.GetFixedColumnCount(), 1);
  for (int row = 1; row < read.GetRowCount(); ++row) {
    EXPECT_EQ(read.GetItemImage(row, 0), kMarked);
    EXPECT_EQ(read.GetItemData(row, 0), 0);
    EXPECT_EQ(read.GetItemText(row, 0), " ");
  }
}

TEST(TableFileTest, CellsSplitAtMarksLoseLineFeedsAndStopAtTheLastColumn) {
  // Windows line ends, a cell that held "#" (two cells now), one too many cells, a short line,
  // text before the first mark, and a last line without its line end.
  EXPECT_EQ(RoundTrip("#A#B#C\r\n#1#x#y#z\r\n#2\r\nlost#3##\n#4#5#6"),
            "#A#B#C\n#1#x#y\n#2##\n#3##\n#4#5#6\n");
}

TEST(TableFileTest, TitleLineOnlyOrNothingAtAll) {
  std::vector<std::string> titles{"stale"};
  EXPECT_EQ(RoundTrip("#Count#RefDes\r\n", &titles), "#Count#RefDes\n");
  EXPECT_EQ(titles.size(), 2u);
  GridModel table(5, 5, 1, 1);
  EXPECT_EQ(ReadTableFile("", table, titles), 0);
  EXPECT_EQ(table.GetRowCount(), 1);
  EXPECT_EQ(table.GetColumnCount(), 1);
  EXPECT_TRUE(titles.empty());
}

// Long rows come back whole: a row cut at any length would come back as two components.
TEST(TableFileTest, LongLinesAndWideTitleLines) {
  const std::string long_cell(5000, 'R');
  EXPECT_EQ(RoundTrip("#A#B\n#" + long_cell + "#x\n"), "#A#B\n#" + long_cell + "#x\n");

  std::string wide;
  for (int i = 0; i < 1000; ++i)
    wide += "#c" + std::to_string(i);
  GridModel table;
  std::vector<std::string> titles;
  ReadTableFile(wide + "\n" + wide + "\n", table, titles);
  EXPECT_EQ(table.GetColumnCount(), kMaxTableFileColumns + 1);
  EXPECT_EQ(titles.size(), static_cast<size_t>(kMaxTableFileColumns));
  EXPECT_EQ(table.GetItemText(1, kMaxTableFileColumns), "c101");
}

}  // namespace
}  // namespace zuro::table
