#include <gtest/gtest.h>

#include "tests/table_text.h"

#include "tests/test_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "table/grid_model.h"
#include "readers/mentor_converter.h"
#include "readers/pcad_reader.h"

namespace zuro::readers {
namespace {

// One report line: the values quoted and separated by ";", ended as Windows tools end lines.
std::string Line(const std::vector<std::string>& values) {
  std::string line;
  for (const std::string& value : values)
    line += (line.empty() ? "\"" : ";\"") + value + "\"";
  return line + "\r\n";
}

const std::string kHeader = Line({"RefDes", "Count", "Value"});

class ReportFileTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& text) { return ReadReport(text, table_, attributes_); }
  std::string Dump() const { return testing_support::TableText(table_); }

  table::GridModel table_;
  ReportAttributes attributes_;
};

using PcadReaderTest = ReportFileTest;
using MentorConverterTest = ReportFileTest;

TEST_F(PcadReaderTest, LoadsHeaderAndMarkedComponentRows) {
  ASSERT_EQ(Read(Line({"Перечень элементов"}) + Line({"RefDes", "Count", "Value", "ID PartLib"}) +
                 Line({"R1", "1", "10 кОм", "RES0805"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value#ID PartLib\n#R1#1#10 кОм#RES0805\n");
  EXPECT_EQ(attributes_.names,
            (std::vector<std::string>{"RefDes", "Count", "Value", "ID PartLib"}));
  EXPECT_EQ(attributes_.refdes_column, 1);
  EXPECT_EQ(attributes_.partlib_column, 4);
  EXPECT_EQ(table_.GetFixedRowCount(), 1);
  EXPECT_EQ(table_.GetFixedColumnCount(), 1);
  EXPECT_EQ(table_.GetItemText(1, 0), " ");
  EXPECT_EQ(table_.GetItemImage(1, 0), 1);
  EXPECT_EQ(table_.GetItemData(1, 0), 0);
  const table::CellFormat heading = table_.GetItemFormat(0, 3);
  EXPECT_TRUE(heading & table::kFormatCentre);
  EXPECT_TRUE(heading & table::kFormatSingleLine);
}

TEST_F(PcadReaderTest, RecordBrokenOverTwoLinesIsJoinedOnce) {
  // A value broken inside its quotes and a record broken between fields are joined without the
  // line feed; a record whose last field is closed is complete although a ";" follows it.
  ASSERT_EQ(Read(kHeader + "\"R1\";\"1\";\"Resist\r\nor\"\r\n" + "\"R2\";\"1\";\n\"22k\"\n" +
                 "\"R3\";\"1\";\"4k7\";\n" + Line({"R4", "1", "1k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#Resistor\n#R2#1#22k\n#R3#1#4k7\n#R4#1#1k\n");
}

TEST_F(PcadReaderTest, QuantityDecidesRowsAndDesignatorList) {
  ASSERT_EQ(
      Read(kHeader + Line({"R1", "1-2", "a"}) + Line({"R2", "-3", "b"}) + Line({"R3", "0", "c"}) +
           Line({"R4", "1", "d"}) + Line({"R9", "2", "e"}) + Line({"R5", "", ""}) +
           Line({"C7", "6", "f"}) + Line({"C2", "", ""}) + Line({"C3", "", ""}) +
           Line({"C2", "", ""}) + Line({"C9", "", ""}) + Line({"C1", "", ""})),
      ReadResult::kLoaded);
  // Quantity 2 keeps file order; 3 and more are sorted, runs compacted, repeats kept.
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R4#1#d\n#R9,R5#2#e\n#C1...C2,C2...C3,C7,C9#6#f\n");
}

TEST_F(PcadReaderTest, QuantityTwoJoinsEvenAnEmptyFirstDesignator) {
  ASSERT_EQ(Read(kHeader + Line({"", "2", "e"}) + Line({"R5", "", ""})), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#,R5#2#e\n");
}

// Every line that mentions "Count" is taken as a header and appends its values as columns; a
// report full of "Counter" values must not grow the table past the attribute limit.
TEST_F(PcadReaderTest, RepeatedHeadersStopAddingColumnsAtTheLimit) {
  std::string report = kHeader;
  for (int i = 0; i < 300; ++i)
    report += Line({"DD" + std::to_string(i), "1", "Counter " + std::to_string(i)});
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(table_.GetColumnCount(), 101);
  EXPECT_LE(attributes_.names.size(), 100u);
}

TEST_F(PcadReaderTest, OddHeaderNamesAndSemicolonValuesShiftCells) {
  // A one-character name gets no column, yet its values still fill the next column; a value
  // that is exactly ";" reads as a separator.
  ASSERT_EQ(Read(Line({"RefDes", "Count", "X", "Value"}) + Line({"R1", "1", "x", "10k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#x\n");
  ASSERT_EQ(Read(Line({"RefDes", "Count", "Value", "Note"}) + Line({"R1", "1", ";", "n"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value#Note\n#R1#1#n#\n");
}

TEST_F(PcadReaderTest, FirstLineWithoutQuoteEmptiesTheTable) {
  ASSERT_EQ(Read(kHeader + Line({"R1", "1", "1k"})), ReadResult::kLoaded);
  EXPECT_EQ(Read("Bill of materials\r\n" + kHeader + Line({"R1", "1", "1k"})),
            ReadResult::kBadStructure);
  EXPECT_EQ(table_.GetRowCount(), 0);
  EXPECT_EQ(table_.GetColumnCount(), 0);
  EXPECT_TRUE(attributes_.names.empty());
  EXPECT_EQ(attributes_.refdes_column, -1);
  EXPECT_EQ(Read(""), ReadResult::kBadStructure);
}

TEST_F(PcadReaderTest, ReportsWithoutComponentsKeepOnlyTheHeaderRow) {
  ASSERT_EQ(Read(kHeader), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n");
  // No header at all: no columns either, and the lines are not taken for components.
  ASSERT_EQ(Read(Line({"R1", "1", "1k"}) + Line({"R2", "1", "2k"})), ReadResult::kLoaded);
  EXPECT_EQ(table_.GetRowCount(), 1);
  EXPECT_EQ(table_.GetColumnCount(), 1);
  EXPECT_EQ(attributes_.names.size(), 0u);
}

TEST_F(PcadReaderTest, WithoutRefDesPartsAreConsumedAndCellsKept) {
  ASSERT_EQ(Read(Line({"Count", "Value"}) + Line({"2", "1k"}) + Line({"2", "1k"}) +
                 Line({"3", "2k"}) + Line({"3", "2k"}) + Line({"3", "2k"}) + Line({"1", "3k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#Value\n#2#1k\n#3#2k\n#1#3k\n");
  EXPECT_EQ(attributes_.refdes_column, -1);
}

TEST_F(PcadReaderTest, LongLinesAreReadWhole) {
  // Beyond the 1999 characters that a report line used to be limited to: every header name and
  // every value is kept, and no piece of a line becomes a line of its own.
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i)
    names.push_back("Attribute " + std::to_string(i) + std::string(60, '_'));
  names.push_back("RefDes");
  names.push_back("Count");
  std::vector<std::string> values(40, std::string(100, 'v'));
  values[39] = std::string(3000, 'w');
  values.push_back("R1");
  values.push_back("1");
  ASSERT_EQ(Read(Line(names) + Line(values)), ReadResult::kLoaded);
  ASSERT_EQ(attributes_.names, names);
  ASSERT_EQ(table_.GetRowCount(), 2);
  EXPECT_EQ(table_.GetItemText(1, 40), std::string(3000, 'w'));
  EXPECT_EQ(table_.GetItemText(1, 42), "1");
}

TEST_F(PcadReaderTest, NamesBeyondAHundredGetNoColumn) {
  // "Count" and "RefDes" lie beyond the limit: components are still read and their parts'
  // records consumed, but there is no designator column to write.
  std::vector<std::string> names;
  std::vector<std::string> values;
  for (int i = 0; i < 150; ++i) {
    names.push_back("A" + std::to_string(i));
    values.push_back("v" + std::to_string(i));
  }
  names[120] = "Count";
  names[130] = "RefDes";
  values[120] = "2";
  ASSERT_EQ(Read(Line(names) + Line(values) + Line(values)), ReadResult::kLoaded);
  EXPECT_EQ(attributes_.names.size(), 100u);
  EXPECT_EQ(attributes_.names[99], "A99");
  EXPECT_EQ(attributes_.refdes_column, -1);
  EXPECT_EQ(table_.GetColumnCount(), 101);
  ASSERT_EQ(table_.GetRowCount(), 2);
  EXPECT_EQ(table_.GetItemText(1, 100), "v99");
}

TEST_F(PcadReaderTest, ManyDesignatorsAndLargeNumbersAreAllKept) {
  std::string report = kHeader + Line({"R3000", "3000", "1k"});
  for (int i = 2999; i >= 1; --i)
    report += Line({"R" + std::to_string(i), "", ""});
  report += Line({"C1000001", "3", "1u"}) + Line({"C999999", "", ""}) + Line({"C1000000", "", ""}) +
            Line({"VD1", "1", "x"});
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(),
            "#RefDes#Count#Value\n#R1...R3000#3000#1k\n#C999999...C1000001#3#1u\n#VD1#1#x\n");
}

TEST_F(PcadReaderTest, QuantityBeyondTheEndOfTheReportStopsThere) {
  ASSERT_EQ(Read(kHeader + Line({"R1", "2000000000", "1k"}) + Line({"R2", "", ""})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1...R2#2000000000#1k\n");
}

// The sample board written by both CAD systems gives the same components and designator lists.
TEST_F(ReportFileTest, SampleBoardReadsAlikeFromPcadAndMentor) {
  const std::string samples = std::string(ZURO_SOURCE_DIR) + "/samples/";
  const std::string list = testing_support::ReadBytes(samples + "board.lst");
  for (const std::string& report :
       {testing_support::ReadBytes(samples + "board.bom"), ConvertMentor(list)}) {
    ASSERT_EQ(Read(report), ReadResult::kLoaded);
    ASSERT_EQ(table_.GetRowCount(), 31);
    ASSERT_EQ(attributes_.names[attributes_.partlib_column - 1], "ID PartLib");
    std::string designators;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      designators += table_.GetItemText(row, attributes_.refdes_column) + " ";
    EXPECT_NE(designators.find(" C1...C10 C11,C12 "), std::string::npos);
    EXPECT_NE(designators.find(" R1...R5,R7...R9 R6 "), std::string::npos);
    EXPECT_NE(designators.find(" R12...R14,R16 "), std::string::npos);
  }
}

TEST(ComponentQuantityTest, ReadsLikeAtoiAndRejectsInnerMinus) {
  EXPECT_EQ(ComponentQuantity("3"), 3);
  EXPECT_EQ(ComponentQuantity("  +12 pcs"), 12);
  EXPECT_EQ(ComponentQuantity("Count"), 0);
  EXPECT_EQ(ComponentQuantity(""), 0);
  EXPECT_EQ(ComponentQuantity("1-2"), 0);
  EXPECT_EQ(ComponentQuantity("3-"), 0);
  EXPECT_LE(ComponentQuantity("-3"), 0);
  EXPECT_GT(ComponentQuantity(std::string(30, '9')), 0);
}

TEST(ConvertedReportPathTest, BlankGoesBeforeTheFileName) {
  EXPECT_EQ(ConvertedReportPath("board.lst"), " board.lst");
  EXPECT_EQ(ConvertedReportPath("/tmp/work/board.lst"), "/tmp/work/ board.lst");
  EXPECT_EQ(ConvertedReportPath("C:\\Проекты\\board.lst"), "C:\\Проекты\\ board.lst");
  EXPECT_EQ(ConvertedReportPath("C:board.lst"), "C: board.lst");
}

TEST_F(MentorConverterTest, LastFieldHoldsTheLineFeedAndReadsBack) {
  const std::string report = ConvertMentor("REFDES;QTY;VALUE\nR1,R2,R3;3;10k\n");
  EXPECT_EQ(report,
            "\"RefDes\";\"Count\";\"VALUE\n\";\n"
            "\"R1\";\"3\";\"10k\n\";\n\"R2\";\"3\";\"10k\n\";\n\"R3\";\"3\";\"10k\n\";\n");
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#RefDes#Count#VALUE\n#R1...R3#3#10k\n");
}

TEST_F(MentorConverterTest, DesignatorsLastWithWindowsLineEndsReadBack) {
  // Title lines come before the header; a last field replaced by one designator loses its line
  // feed, and a record without a quantity writes nothing.
  const std::string report = ConvertMentor(
      "Mentor parts list\r\nQTY;VALUE;REFDES\r\n2;1 кОм;R5,R4\r\n\r\n1;10u;C1\r\n3;100n;C4,C2,C3");
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#VALUE#RefDes\n#2#1 кОм#R5,R4\n#1#10u#C1\n#3#100n#C2...C4\n");
  EXPECT_EQ(attributes_.refdes_column, 3);
}

// The designators listed are what was placed: a quantity that disagrees with the list, just or
// far above or below it, gives way to the list, and no designator is lost. A line that lists
// none keeps its quantity; empty pieces between commas are no designators.
TEST_F(MentorConverterTest, QuantityFollowsTheListedDesignators) {
  const std::string report = ConvertMentor(
      "REFDES;QTY;VALUE\nR1,R2;3;10k\nR3,R4;3000000;1k\nX1;2;разъём\nR7,R8,R9;2;x\n"
      "C1,,C2,;4;1u\n;2;винт\nR10;0;y\n");
  EXPECT_LT(report.size(), 1000u);
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(),
            "#RefDes#Count#VALUE\n#R1,R2#2#10k\n#R3,R4#2#1k\n#X1#1#разъём\n#R7...R9#3#x\n"
            "#C1,C2#2#1u\n#,#2#винт\n");
}

// A line that lists no designator stands for at most a thousand parts, a record each: a quantity
// typed wrong makes no report of gigabytes, and the records say the quantity they make, so that
// the reader takes them for one component and the next line stays a component of its own.
TEST_F(MentorConverterTest, UnlistedQuantityStopsAtAThousandParts) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"999", "999"},
      {"1000", "1000"},
      {"1001", "1000"},
      {"999999999", "1000"},
      {"99999999999999999999999", "1000"}};
  for (const auto& [quantity, written] : cases) {
    SCOPED_TRACE(quantity);
    const std::string report = ConvertMentor("REFDES;QTY;VALUE\n;" + quantity + ";винт\nR1;1;x\n");
    size_t records = 0;
    for (size_t at = report.find("винт"); at != std::string::npos; at = report.find("винт", at + 1))
      ++records;
    EXPECT_EQ(std::to_string(records), written);
    ASSERT_EQ(Read(report), ReadResult::kLoaded);
    ASSERT_EQ(table_.GetRowCount(), 3);
    EXPECT_EQ(table_.GetItemText(1, 2), written);
    EXPECT_EQ(table_.GetItemText(2, 1), "R1");
    EXPECT_EQ(table_.GetItemText(2, 2), "1");
  }
}

}  // namespace
}  // namespace zuro::readers
