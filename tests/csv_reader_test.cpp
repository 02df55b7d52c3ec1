#include <gtest/gtest.h>

#include "tests/table_text.h"

#include "tests/test_folder.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "readers/component_table.h"
#include "readers/csv_conversion.h"
#include "readers/csv_reader.h"
#include "readers/designator_lists.h"
#include "readers/pcad_reader.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

// One Protel line: each value quoted, separated by commas, ended by CR LF.
std::string Line(const std::vector<std::string>& values) {
  std::string line;
  for (const std::string& value : values)
    line += (line.empty() ? "\"" : ",\"") + value + "\"";
  return line + "\r\n";
}

class CsvReaderTest : public ::testing::Test {
 protected:
  void Read(const std::string& text) {
    ASSERT_EQ(ReadQuotedCsv(text, table_, attributes_), ReadResult::kLoaded);
  }
  std::string Dump() const { return testing_support::TableText(table_); }

  table::GridModel table_;
  ReportAttributes attributes_;
};

TEST_F(CsvReaderTest, HeaderIsTheFirstLineNamingTheQuantity) {
  Read(Line({"Bill of Materials"}) + "\r\n" + Line({"Designator", "Comment", "QUANTITY"}) +
       Line({"C1,C2,C3", "100n", "3"}));
  EXPECT_EQ(Dump(), "#Designator#Comment#QUANTITY\n#C1...C3#100n#3\n");
  Read(Line({"Source: Quantity", "board"}) + Line({"Comment", "Quantity"}) + Line({"1k", "1"}));
  // Only the first line mentioning the quantity is the header; later ones are components.
  EXPECT_EQ(Dump(), "#Source: Quantity#board\n#Comment#Quantity\n#1k#1\n");
  Read(Line({"Designator", "Comment", "Quantity", "ID PartLib"}) + Line({"R1", "1k", "1", "P"}));
  EXPECT_EQ(attributes_.names,
            (std::vector<std::string>{"Designator", "Comment", "Quantity", "ID PartLib"}));
  EXPECT_EQ(attributes_.partlib_column, 4);
  EXPECT_EQ(attributes_.refdes_column, -1);
  EXPECT_EQ(table_.GetFixedRowCount(), 1);
  EXPECT_EQ(table_.GetFixedColumnCount(), 1);
  EXPECT_EQ(table_.GetItemFormat(0, 2), kAttributeTitleFormat);
  EXPECT_EQ(table_.GetItemText(1, 0), " ");
  EXPECT_EQ(table_.GetItemImage(1, 0), 1);
  EXPECT_EQ(table_.GetItemData(1, 0), 0);
  // No header at all: the title row only, whatever came before.
  for (const std::string text : {"", "\"R1\",\"1k\"\r\n\r\nquantity\n", "\"Quantit\"y\""}) {
    Read(text);
    EXPECT_EQ(table_.GetRowCount(), 1);
    EXPECT_EQ(table_.GetColumnCount(), 1);
    EXPECT_TRUE(attributes_.names.empty());
    EXPECT_EQ(attributes_.partlib_column, -1);
  }
}

TEST_F(CsvReaderTest, HeaderPiecesBetweenCommasNameTheColumns) {
  // Empty pieces and a quoted "," name nothing; an empty pair of quotes names an empty column; a
  // piece loses its first and last character whenever it holds a quote.
  Read(",\"A\",,\",\",\"\",Quantity, \"B\",\r\n" + Line({"1", "2", "3", "4"}));
  EXPECT_EQ(attributes_.names, (std::vector<std::string>{"A", "", "Quantity", "\"B"}));
  EXPECT_EQ(Dump(), "#A##Quantity#\"B\n#1#2#3#4\n");
}

TEST_F(CsvReaderTest, ValuesGoToTheColumnsInOrder) {
  const std::string header = Line({"Comment", "Quantity", "Value", "Note"});
  // Text before the first quote is no value, empty pairs keep their columns, a value that is
  // exactly "," is a separator, values past the last column are dropped.
  Read(header + "x,\"a\",\"\",\"c\",\"d\",\"e\"\r\n" + "\"a\",\",\",\"b\"\r\n" +
       "\"\",\"\",\"\",\"d\"\n" + "\"a\"\r\n");
  EXPECT_EQ(Dump(), "#Comment#Quantity#Value#Note\n#a##c#d\n#a#b##\n####d\n#a###\n");
}

TEST_F(CsvReaderTest, LinesAfterTheHeaderAreRowsUnlessEmpty) {
  Read(Line({"Comment", "Quantity"}) + Line({"1k", "2"}) + "\r\n\n" + "not a component\r\n" +
       ",,\"Total\",65\r\n" + Line({"2k", "1"}));
  EXPECT_EQ(Dump(), "#Comment#Quantity\n#1k#2\n##\n#Total#,65\n#2k#1\n");
  // The line without quotes leaves an empty, unmarked row; the others are marked.
  EXPECT_EQ(table_.GetItemImage(2, 0), 0);
  EXPECT_EQ(table_.GetItemText(2, 0), " ");
  EXPECT_EQ(table_.GetItemImage(3, 0), 1);
  EXPECT_EQ(table_.GetItemImage(4, 0), 1);
}

TEST_F(CsvReaderTest, ReferenceColumnsAreFoundByName) {
  const std::vector<std::string> names{"Components", "Designator",  "REFDES",  "Refdes",
                                       "RefDes",     "Designators", "Comment", "Quantity"};
  const std::vector<std::string> values(names.size(), "C3, C1, C2");
  Read(Line(names) + Line(values) + Line(std::vector<std::string>(names.size(), "C2, C1")));
  EXPECT_EQ(Dump(),
            "#Components#Designator#REFDES#Refdes#RefDes#Designators#Comment#Quantity\n"
            "#C1...C3#C1...C3#C1...C3#C1...C3#C1...C3#C3, C1, C2#C3, C1, C2#C3, C1, C2\n"
            "#C2, C1#C2, C1#C2, C1#C2, C1#C2, C1#C2, C1#C2, C1#C2, C1\n");
  EXPECT_EQ(attributes_.refdes_column, -1);
}

TEST(AltiumTextTest, TabbedLinesBecomeQuotedFields) {
  EXPECT_EQ(ConvertAltiumText("Bill of Materials\r\n\r\n"
                              "\tDesignator\t\tQuantity\t,\tComment\t\r\n"
                              "C1, C2, C3\t3\t,\t\t100n\r\n"
                              "ab\r\n"
                              "abc\r\r\n"
                              "R1\t1\t10\" panel\t\r\n"),
            "\"Bill of Materials\",\n"
            "\"Designator\",\"Quantity\",\"Comment\",\n\n"
            "\"C1, C2, C3\",\"3\",\"\",\"100n\",\n"
            "\"abc\r\",\n"
            "\"R1\",\"1\",10\" panel,\"\",\n");
  // A quoted CSV has no tabs: each line passes as it is, with a comma added.
  EXPECT_EQ(ConvertAltiumText("\"Designator\",\"Quantity\"\r\n\"R1\",\"1\"\r\n"),
            "\"Designator\",\"Quantity\",\n\n\"R1\",\"1\",\n");
  EXPECT_EQ(ConvertAltiumText(""), "");
}

TEST_F(CsvReaderTest, AltiumTextReadsLikeTheSameDataInProtelCsv) {
  Read(Line({"Comment", "Designator", "Quantity", "Footprint", "ID PartLib"}) +
       Line({"10 кОм", "R3, R1, R2", "3", "", "PL-1"}) +
       Line({"1 кОм", "R5, R4", "2", "0805", ""}));
  const std::string protel = Dump();
  Read(
      ConvertAltiumText("Comment\tDesignator\tQuantity\tFootprint\tID PartLib\r\n"
                        "10 кОм\tR3, R1, R2\t3\t\tPL-1\r\n1 кОм\tR5, R4\t2\t0805\t\r\n"));
  EXPECT_EQ(Dump(), protel);
  EXPECT_EQ(attributes_.partlib_column, 5);
  Read(ConvertAltiumText(Line({"Comment", "Designator", "Quantity", "Footprint", "ID PartLib"}) +
                         Line({"10 кОм", "R3, R1, R2", "3", "", "PL-1"}) +
                         Line({"1 кОм", "R5, R4", "2", "0805", ""})));
  EXPECT_EQ(Dump(), protel);
}

TEST(AllegroHtmlTest, CellsOfARowBecomeOneLine) {
  EXPECT_EQ(ConvertAllegroHtml("<html><body><table>\r\n<tr>\r\n"
                               "<td><b>REFDES</b></td>\r\n"
                               "<TD><B>Qty<br></B></TD>\r\n"
                               "<td><b>ID PartLib\r\n"
                               "</tr>\r\n\r\n"
                               "</tr>\r\n"
                               "<td nowrap>R1;R2</td>\n"
                               "<td>2</td>\n"
                               "<TD NOWRAP>10 кОм</TD>\n"
                               "<td nowrap>unclosed\n"
                               "<td nowrap <b>bold</b></td>\n"
                               "<td nowrap<x>y</td>\n"
                               " <td nowrap>indented</td>\n"
                               "<td nowrap>\"5\"\"\n"
                               "<p>note</p>\n"
                               "</TR>\n"
                               "<td nowrap>lost</td>\n"),
            "\"REFDES\",\"Qty<br>\",\"ID PartLib\",\n\n"
            "\"R1,R2\",\"2\",\"10 кОм\",\"unclosed\",\"y\",\"indented\",\"5\"\" note,\n");
  EXPECT_EQ(ConvertAllegroHtml(""), "");
  // Tags at the very end of a line, cut short, and in mixed case.
  EXPECT_EQ(ConvertAllegroHtml("<td><b>A</b></td>\n<td nowrap>v</td>\n<td\n</TR\n"
                               "NoWrAp <td>w\n<td NoWrAp>x\n<td><b>B</b\n x</tR>"),
            "\"A\",\"v\",\"\",\"w\",\"x\",\"B</b\",\n");
}

// A data cell is read whatever its tag carries: its text between the tags as a browser shows it,
// over as many lines as it runs, up to its "</td>", the next cell or the row end.
TEST(AllegroHtmlTest, DataCellsWhateverTheirTagsCarry) {
  const struct {
    const char* lines;
    const char* csv;
  } kCells[] = {
      {"<td align=right>3</td>", "\"3\","},
      {"<TD ALIGN=RIGHT>3</TD>", "\"3\","},
      {"  <td nowrap class=\"v\">\t10K </td>", "\"10K\","},
      {"<td>A&amp;B&nbsp;&nbsp;C&nbsp;</td>", "\"A&B C\","},
      {"<td>&nbsp;</td>", "\"\","},
      {"<td>a<br>b<i>c</i></td>", "\"a bc\","},
      {"<td>R1;R2</td>", "\"R1,R2\","},
      // Running over lines: to the line with "</td>", whatever follows it there...
      {"<td>C14, \r\nC15,\r\n\r\n    C16\r\n</td>", "\"C14, C15, C16\","},
      {"<td>C1,\r\nC2</td> C3", "\"C1, C2\","},
      // ...or to the next cell or row end, which the line then opens or closes.
      {"<td>C1,\r\nC2<td>C3</td>", "\"C1, C2\",\"C3\","},
      {"<td>C1,\r\nC2</tr>\r\n<td>C3</td>", "\"C1, C2\",\n\"C3\","},
      {"<td>C1,\r\nC2\r\n<td><b>N</b></td>", "\"C1, C2\",\"N\","},
      // A tag cut short by the line end leaves the cell empty.
      {"<td\r\nR1</td>", "\"\","},
  };
  for (const auto& cell : kCells) {
    SCOPED_TRACE(cell.lines);
    EXPECT_EQ(ConvertAllegroHtml(std::string(cell.lines) + "\r\n</tr>\r\n"),
              std::string(cell.csv) + "\n");
  }
  // A cell still open at the end of the report belongs to no row.
  EXPECT_EQ(ConvertAllegroHtml("<td>R1</td>\r\n</tr>\r\n<td>R2,\r\nR3"), "\"R1\",\n");
}

TEST_F(CsvReaderTest, AnyInputReadsWithoutFault) {
  std::string binary;
  for (int i = 0; i < 300000; ++i)
    binary += static_cast<char>((i * 7919u) % 256);
  std::string many_fields = "\"Designator\"";
  for (int i = 0; i < 100000; ++i)
    many_fields += ",\"Quantity" + std::to_string(i) + "\"";
  many_fields += "\n" + std::string(1 << 20, '"') + "\n" + std::string(1 << 20, ',') + "\n";
  for (const std::string& text : {binary, many_fields, std::string(1 << 20, '<'),
                                  std::string("\0<td nowrap>\0</tr>\n", 19)}) {
    Read(text);
    Read(ConvertAltiumText(text));
    Read(ConvertAllegroHtml(text));
    EXPECT_LE(table_.GetColumnCount(), 101);
  }
  Read(many_fields);
  EXPECT_EQ(attributes_.names.size(), ReportAttributes::kMaxNames);
  EXPECT_EQ(table_.GetRowCount(), 3);
}

// The designators of a row as a set: lists split at commas, blanks dropped, runs first...last
// expanded over the numbers of their ends (the sample board's designators are letters and a
// number).
std::set<std::string> Designators(const std::string& list) {
  std::set<std::string> designators;
  std::string piece;
  for (size_t start = 0; start <= list.size(); start += piece.size() + 1) {
    piece = list.substr(start, list.find(',', start) - start);
    std::string reference = piece;
    std::erase(reference, ' ');
    const size_t dots = reference.find("...");
    if (dots == std::string::npos) {
      designators.insert(reference);
      continue;
    }
    const std::string first = reference.substr(0, dots);
    const std::string prefix = first.substr(0, first.find_first_of("0123456789"));
    for (int64_t n = ReferenceNumber(first); n <= ReferenceNumber(reference.substr(dots + 3)); ++n)
      designators.insert(prefix + std::to_string(n));
  }
  return designators;
}

std::vector<std::set<std::string>> ComponentDesignators(const table::GridModel& table, int column) {
  std::vector<std::set<std::string>> components;
  for (int row = 1; row < table.GetRowCount(); ++row)
    components.push_back(Designators(table.GetItemText(row, column)));
  std::sort(components.begin(), components.end());
  return components;
}

// The sample board written by Protel, Altium Designer and Cadence Allegro gives the components
// and designators of its P-CAD report.
TEST_F(CsvReaderTest, SampleBoardReadsAlikeFromEveryFormat) {
  const std::string samples = std::string(ZURO_SOURCE_DIR) + "/samples/";
  ASSERT_EQ(ReadReport(testing_support::ReadBytes(samples + "board.bom"), table_, attributes_),
            ReadResult::kLoaded);
  const auto expected = ComponentDesignators(table_, attributes_.refdes_column);
  ASSERT_EQ(expected.size(), 30u);
  const struct {
    std::string text;
    std::string designator_name;
    std::string two_designators;
  } kSamples[] = {
      {testing_support::ReadBytes(samples + "board.csv"), "Designator", "C11, C12"},
      {ConvertAltiumText(testing_support::ReadBytes(samples + "board_altium.txt")), "Designator",
       "C11, C12"},
      {ConvertAllegroHtml(testing_support::ReadBytes(samples + "board_allegro.htm")), "REFDES",
       "C11,C12"},
  };
  for (const auto& sample : kSamples) {
    Read(sample.text);
    ASSERT_EQ(table_.GetRowCount(), 31);
    const auto name =
        std::find(attributes_.names.begin(), attributes_.names.end(), sample.designator_name);
    ASSERT_NE(name, attributes_.names.end());
    const int column = static_cast<int>(name - attributes_.names.begin()) + 1;
    EXPECT_EQ(ComponentDesignators(table_, column), expected);
    EXPECT_EQ(attributes_.names[attributes_.partlib_column - 1], "ID PartLib");
    std::string designators;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      designators += "|" + table_.GetItemText(row, column);
    EXPECT_NE(designators.find("|C1...C10|"), std::string::npos) << designators;
    EXPECT_NE(designators.find("|" + sample.two_designators + "|"), std::string::npos);
    EXPECT_NE(designators.find("|R1...R5,R7...R9|R6|"), std::string::npos);
    EXPECT_NE(designators.find("|R12...R14,R16|"), std::string::npos);
  }
}

}  // namespace
}  // namespace zuro::readers
