#include <gtest/gtest.h>

#include "tests/table_text.h"
#include "tests/test_folder.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "converter/converter_dialog.h"
#include "converter/headless_ui.h"
#include "generation/designators.h"
#include "automation/library_context.h"
#include "readers/fixed_width_report.h"
#include "readers/mentor_converter.h"
#include "readers/pcad_reader.h"
#include "base/leading_numbers.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

using Values = std::vector<std::string>;

std::string SampleBytes(const std::string& name) {
  return testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + name);
}

class ReportLayoutsTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& text) { return ReadReport(text, table_, attributes_); }
  std::string Dump() const { return testing_support::TableText(table_); }
  // The table a report gives, read on its own.
  static std::string TableOf(const std::string& report) {
    table::GridModel table;
    ReportAttributes attributes;
    EXPECT_EQ(ReadReport(report, table, attributes), ReadResult::kLoaded);
    return testing_support::TableText(table);
  }
  void ExpectRefused(const std::string& report, const char* why) {
    SCOPED_TRACE(why);
    ASSERT_EQ(Read(report), ReadResult::kBadStructure);
    EXPECT_EQ(table_.GetRowCount(), 0);
    EXPECT_TRUE(attributes_.names.empty());
  }
  // The sum of the "Count" column and the number of designators the "RefDes" column lists,
  // ranges counted out.
  std::pair<int64_t, int64_t> QuantitiesAndDesignators() const {
    int64_t quantities = 0, designators = 0;
    for (int row = 1; row < table_.GetRowCount(); ++row) {
      quantities += LeadingInteger(table_.ItemText(row, 1));
      designators += generation::CountDesignators(table_.ItemText(row, attributes_.refdes_column));
    }
    return {quantities, designators};
  }

  table::GridModel table_;
  ReportAttributes attributes_;
};

// ---------------------------------------------------------------------------------------------
// Cutting a line printed in columns

TEST(FixedWidthCutTest, UnderlinesAreDashRunsAndNothingElse) {
  const std::vector<FixedColumn> columns = UnderlineColumns("-----  ---  -\r\n");
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].start, 0u);
  EXPECT_EQ(columns[0].end, 5u);
  EXPECT_EQ(columns[1].start, 7u);
  EXPECT_EQ(columns[2].start, 12u);
  EXPECT_EQ(columns[2].end, 13u);
  EXPECT_TRUE(UnderlineColumns("=====  ===").empty());
  EXPECT_TRUE(UnderlineColumns("---- x ----").empty());
  EXPECT_TRUE(UnderlineColumns("   ").empty());
  EXPECT_TRUE(UnderlineColumns("").empty());
}

TEST(FixedWidthCutTest, ValuesWithinTheirColumns) {
  const auto columns = UnderlineColumns("-----  ------  -----");
  EXPECT_EQ(CutFixedWidthLine("3      R1      10k", columns), (Values{"3", "R1", "10k"}));
  // A value filling its column exactly, an empty value in the middle, a short line.
  EXPECT_EQ(CutFixedWidthLine("12345  123456  12345\r\n", columns),
            (Values{"12345", "123456", "12345"}));
  EXPECT_EQ(CutFixedWidthLine("1              x", columns), (Values{"1", "", "x"}));
  EXPECT_EQ(CutFixedWidthLine("       R2", columns), (Values{"", "R2", ""}));
  EXPECT_EQ(CutFixedWidthLine("", columns), (Values{"", "", ""}));
  // The last value takes the rest of the line, however long.
  EXPECT_EQ(CutFixedWidthLine("1      R1      a much longer last value", columns),
            (Values{"1", "R1", "a much longer last value"}));
}

// A line as a report writer prints it: every value padded to its column's width and followed by
// `gap` blanks, a value wider than its column printed whole; and the underline of those columns.
std::string Printed(const Values& values, const std::vector<size_t>& widths, size_t gap) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    line += values[i];
    if (i + 1 < values.size())
      line += std::string(widths[i] > values[i].size() ? widths[i] - values[i].size() : 0, ' ') +
              std::string(gap, ' ');
  }
  return line;
}

std::vector<FixedColumn> Underline(const std::vector<size_t>& widths, size_t gap) {
  Values dashes;
  for (const size_t width : widths)
    dashes.push_back(std::string(width, '-'));
  return UnderlineColumns(Printed(dashes, widths, gap));
}

TEST(FixedWidthCutTest, ValuesRunningOverPushTheRestRight) {
  const std::vector<size_t> widths = {4, 10, 4, 4};
  const auto columns = Underline(widths, 2);
  for (const Values& values : {
           Values{"123456", "Resistor", "10k", "R1"},            // the first column runs over
           Values{"1", "Capacitor_X7R", "10n", "C1"},            // a middle one, by one word
           Values{"1", "Plate of the display unit", "X", "A1"},  // by several words
           Values{"1", "Resistor 10 kOhm", "0,125W", "R5"},      // two columns run over
           Values{"1", "Resistor 1", "0,125W", "R5"},            // filled, then one over
           Values{"1", "", "", "R5 and a long last value"},
       }) {
    EXPECT_EQ(CutFixedWidthLine(Printed(values, widths, 2), columns), values);
  }
  // One blank between columns: a value that fills its column and goes on after a blank is told
  // from the next column's value by where the columns after it then start.
  const std::vector<size_t> tight_widths = {3, 6, 7, 4};
  const auto tight = Underline(tight_widths, 1);
  for (const Values& values : {
           Values{"1", "abcdef", "ghij", "R1"},
           Values{"1", "abcdef gh ij", "Type", "R1"},
           Values{"1", "Fuse resettable MF-1", "Fuse", "MF-1"},
           Values{"12", "Plate AB", "Plate", "A1"},
       }) {
    EXPECT_EQ(CutFixedWidthLine(Printed(values, tight_widths, 1), tight), values);
  }
}

// ---------------------------------------------------------------------------------------------
// P-CAD: the "separated" and "formatted" layouts read as the report of quoted fields

TEST_F(ReportLayoutsTest, SamplesOfEveryPcadLayoutGiveTheSameTable) {
  const std::string expected = TableOf(SampleBytes("board.bom"));
  for (const char* sample : {"board_separated.bom", "board_formatted.bom"}) {
    SCOPED_TRACE(sample);
    ASSERT_EQ(Read(SampleBytes(sample)), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), expected);
    EXPECT_EQ(attributes_.refdes_column, 2);
    EXPECT_EQ(attributes_.partlib_column, 16);
    EXPECT_EQ(QuantitiesAndDesignators(), std::make_pair(int64_t{65}, int64_t{65}));
  }
  // A tab between the fields, and the last line without its line end.
  std::string tabbed = SampleBytes("board_separated.bom");
  for (size_t at = 0; (at = tabbed.find("\",\"", at)) != std::string::npos;)
    tabbed.replace(at + 1, 1, "\t");
  tabbed.resize(tabbed.size() - 2);
  ASSERT_EQ(Read(tabbed), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), expected);
}

TEST_F(ReportLayoutsTest, SeparatedReportsKeepCommasInValues) {
  ASSERT_EQ(Read("\"Count\",\"RefDes\",\"Value\"\r\n\r\n\"2\",\"R1\",\"10k, 5%\"\r\n"
                 "\"\",\"R2\",\"10k, 5%\"\r\n\"1\",\"C1\",\",\"\r\n"),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#RefDes#Value\n#2#R1,R2#10k, 5%\n#1#C1#\n");
}

// A separated report is held to its quantities: every record either starts a component or
// carries one of its further designators.
TEST_F(ReportLayoutsTest, SeparatedReportsThatDisagreeWithTheirQuantitiesAreRefused) {
  const std::string header = "\"Count\",\"RefDes\",\"Value\"\r\n\r\n";
  ExpectRefused(header + "\"2\",\"R1\",\"1k\"\r\n\"1\",\"C1\",\"1u\"\r\n",
                "a component of two parts followed by another component");
  ExpectRefused(header + "\"1\",\"R1\",\"1k\"\r\n\"\",\"R2\",\"1k\"\r\n",
                "a designator outside a component");
  ExpectRefused(header + "\"3\",\"R1\",\"1k\"\r\n\"\",\"R2\",\"1k\"\r\n", "the report ends early");
  ExpectRefused(header + "\"2\",\"R1\",\"1k\"\r\n\"\",\"\",\"1k\"\r\n", "an empty designator");
  ExpectRefused(header + "\"1\",\"\",\"1k\"\r\n", "a component without its designator");
  ExpectRefused(header + "\"1-2\",\"R1\",\"1k\"\r\n", "a quantity that is none");
  // The same records with ";" between the fields are a report of the kind P-CAD writes for this
  // reader, which skips what it cannot use.
  ASSERT_EQ(Read("\"Count\";\"RefDes\";\"Value\"\r\n\"1\";\"R1\";\"1k\"\r\n\"\";\"R2\";\"1k\"\r\n"),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#RefDes#Value\n#1#R1#1k\n");
}

const char kFormattedHead[] =
    "P-CAD Bill of Materials C:\\Проекты\\board.pcb\r\n"
    "=========================================\r\n"
    "\r\n"
    "Count  RefDes  Value     ID PartLib\r\n"
    "-----  ------  --------  ----------\r\n";

TEST_F(ReportLayoutsTest, FormattedReportsWithPagesAndWithoutALastLineEnd) {
  const std::string report = std::string(kFormattedHead) +
                             "3      R3      10 кОм    PL-1\r\n"
                             "       R1\r\n"
                             "\r\n"
                             "Count  RefDes  Value     ID PartLib\r\n"
                             "-----  ------  --------  ----------\r\n"
                             "       R2\r\n"
                             "1      C1      0,1 мкФ   PL-2";
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#RefDes#Value#ID PartLib\n#3#R1...R3#10 кОм#PL-1\n#1#C1#0,1 мкФ#PL-2\n");
  EXPECT_EQ(attributes_.partlib_column, 4);
  // A double quote in a value would end the field it becomes: it is kept as an apostrophe.
  ASSERT_EQ(Read(std::string(kFormattedHead) + "1      X1      2\" reel   PL-3\r\n"),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#RefDes#Value#ID PartLib\n#1#X1#2' reel#PL-3\n");
}

// A line as P-CAD prints it: each text at its character position.
std::string Placed(const std::vector<std::pair<size_t, std::string>>& texts) {
  std::string line;
  for (const auto& [at, text] : texts)
    line += std::string(at - std::min(at, line.size()), ' ') + text;
  return line + "\r\n";
}

// The column names over their underline as P-CAD prints them: the first column six characters
// wide, the others fifteen, one blank between.
std::string PcadHeader(const std::vector<std::string>& names) {
  std::vector<std::pair<size_t, std::string>> placed, dashes;
  for (size_t i = 0, at = 0; i < names.size(); at += (i == 0 ? 6 : 15) + 1, ++i) {
    placed.emplace_back(at, names[i]);
    dashes.emplace_back(at, std::string(i == 0 ? 6 : 15, '-'));
  }
  return Placed(placed) + Placed(dashes);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line;
  return text;
}

// P-CAD widens a column for its longest value, which moves the body right of the names over it
// on every line, and wraps a value too long for its column onto the lines below, where a line
// under other columns than RefDes goes on with the cells above it.
TEST_F(ReportLayoutsTest, FormattedReportsWithWidenedColumnsAndWrappedValues) {
  const std::string title = "P-CAD Bill of Materials     C:\\Проекты\\board.sch\r\n\r\n" +
                            std::string(70, '=') + "\r\n\r\n";
  const std::string five_columns =
      PcadHeader({"Count", "ComponentName", "RefDes", "PatternName", "Value"}) + "\r\n";
  const std::string seven_columns = PcadHeader(
      {"Count", "ComponentName", "RefDes", "PatternName", "Value", "Tolerance", "Description"});
  std::vector<std::string> resistors;
  for (int r = 2; r <= 12; ++r)
    resistors.push_back(Placed({{29, "R" + std::to_string(r)}}));
  const struct {
    const char* shape;
    std::string report;
    const char* table;
  } cases[] = {
      {"ComponentName widened by six for SOCKET_PLCC44_MIRROR: every column after it moves",
       five_columns +
           Joined({
               Placed(
                   {{5, "3"}, {7, "DRAM_1MX16_SOJ"}, {29, "D1"}, {45, "SOJ40"}, {61, "see notes"}}),
               Placed({{29, "D2"}}),
               Placed({{29, "D3"}}),
               // a value two blanks after the one before it, short of its column
               Placed({{5, "1"}, {7, "SRAM_SOJ36"}, {29, "D4"}, {45, "SOJ36"}, {55, "see notes"}}),
               // over the next column, which stays empty
               Placed(
                   {{5, "1"}, {7, "SOCKET_PLCC44_MIRROR"}, {29, "X1"}, {45, "PLCC44 SMD socket"}}),
               // filling its column, one blank before the next
               Placed(
                   {{5, "2"}, {7, "CAP_TANT"}, {29, "C1"}, {45, "type B tantalum"}, {61, "22uF"}}),
               Placed({{29, "C2"}}),
               Placed({{4, "12"}, {7, "RES_0603"}, {29, "R1"}, {45, "0603"}, {61, "4.7k"}}),
           }) +
           Joined(resistors) +
           Placed({{5, "1"},
                   {7, "REG_SOT223"},
                   {29, "DA1"},
                   {45, "SOT223"},
                   {61, "3.3V low dropout regulator"}}),
       "#Count#ComponentName#RefDes#PatternName#Value\n"
       "#3#DRAM_1MX16_SOJ#D1...D3#SOJ40#see notes\n"
       "#1#SRAM_SOJ36#D4#SOJ36#see notes\n"
       "#1#SOCKET_PLCC44_MIRROR#X1#PLCC44 SMD socket#\n"
       "#2#CAP_TANT#C1,C2#type B tantalum#22uF\n"
       "#12#RES_0603#R1...R12#0603#4.7k\n"
       "#1#REG_SOT223#DA1#SOT223#3.3V low dropout regulator\n"},
      {"two columns widened, by four and by three",
       five_columns +
           Joined({
               Placed({{5, "2"},
                       {7, "CAP_CERAMIC_0805X7R"},
                       {27, "C1"},
                       {43, "CAP_0805_HIGHDENS"},
                       {62, "100 nF"}}),
               Placed({{27, "C2"}}),
               Placed({{5, "1"}, {7, "RES"}, {27, "R1"}, {43, "RES_0805"}, {62, "10 k"}}),
           }),
       "#Count#ComponentName#RefDes#PatternName#Value\n"
       "#2#CAP_CERAMIC_0805X7R#C1,C2#CAP_0805_HIGHDENS#100 nF\n"
       "#1#RES#R1#RES_0805#10 k\n"},
      {"values wrapped at their columns; Tolerance empty throughout",
       seven_columns +
           Joined({
               // filled its column: the piece below goes on without a blank
               Placed({{5, "1"}, {7, "FPGA_QFP144"}, {23, "DD1"}, {39, "F-QFP20X20-G144"}}),
               Placed({{39, "5"}}),
               // broken at a blank, before the further designator
               Placed(
                   {{5, "2"}, {7, "LED_RED"}, {23, "HL1"}, {39, "LED3MM"}, {87, "Light Emitting"}}),
               Placed({{87, "Diode"}}),
               Placed({{23, "HL2"}}),
               // over three lines
               Placed({{5, "1"},
                       {7, "XTAL"},
                       {23, "ZQ1"},
                       {39, "HC49S"},
                       {55, "16 MHz"},
                       {87, "Кварцевый"}}),
               Placed({{87, "резонатор SMD"}}),
               Placed({{87, "5x3"}}),
               // two columns on one line
               Placed({{5, "1"},
                       {7, "CONN_USB"},
                       {23, "XS1"},
                       {39, "USB-B-MINI-SMD-"},
                       {87, "USB mini-B"}}),
               Placed({{39, "5P"}, {87, "receptacle"}}),
           }),
       "#Count#ComponentName#RefDes#PatternName#Value#Tolerance#Description\n"
       "#1#FPGA_QFP144#DD1#F-QFP20X20-G1445###\n"
       "#2#LED_RED#HL1,HL2#LED3MM###Light Emitting Diode\n"
       "#1#XTAL#ZQ1#HC49S#16 MHz##Кварцевый резонатор SMD 5x3\n"
       "#1#CONN_USB#XS1#USB-B-MINI-SMD-5P###USB mini-B receptacle\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shape);
    ASSERT_EQ(Read(title + c.report), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), c.table);
    EXPECT_EQ(attributes_.refdes_column, 3);
  }
}

// A report that cannot be read whole is refused, and says at which line and why.
TEST_F(ReportLayoutsTest, FormattedReportsThatCannotBeReadWholeAreRefused) {
  const std::string head = kFormattedHead;  // the body starts on line 6
  for (const auto& [report, why] : std::vector<std::pair<std::string, std::string>>{
           {head + "2      R1      1k        PL-1\r\n1      C1      1u        PL-2\r\n",
            "line 6: the component lists 1 of its 2 designators"},
           {head + "2      R1      1k        PL-1",
            "line 6: the component lists 1 of its 2 designators"},
           {head + "1      R1      1k        PL-1\r\n       R2\r\n",
            "line 7: a designator more than the quantity 1 of the component on line 6"},
           {head + "       R2\r\n1      R1      1k        PL-1\r\n",
            "line 6: a line before the first component"},
           {head + "2      R1      1k        PL-1\r\n       R2      1k\r\n",
            "line 7: a designator beside text under \"Value\""},
           {head + "x      R1      1k        PL-1\r\n",
            "line 6: the quantity \"x\" is no number of parts"},
           {head + "1              1k        PL-1\r\n", "line 6: the component has no designator"},
           {head + "2      R1 R2   1k        PL-1\r\n       R3\r\n",
            "line 6: the designator \"R1 R2\" holds a blank"},
           {head + "2      R1      1k        PL-1\r\n        R2\r\n",
            "line 7: the text at character 9 stands at no column's start"},
           {head + "2      R1      10 kOhm   PL-1\r\n       R2\r\n               5%\r\n",
            "line 8: the text under \"Value\" continues no value above it"},
           {head + "1      R1                PL-1\r\n               5%\r\n",
            "line 7: the text under \"Value\" continues no value above it"},
           {"P-CAD Bill of Materials\r\n\r\nCount  Value\r\n-----  -----\r\n1      1k\r\n",
            "line 3: no column is named RefDes"},
       }) {
    std::string refusal;
    EXPECT_EQ(FormattedPcadReportAsQuoted(report, &refusal), std::string());
    EXPECT_EQ(refusal, why);
    ExpectRefused(report, why.c_str());
  }
  // Without an underline under its names the text is no report of this layout.
  const std::string no_underline = "P-CAD Bill of Materials\r\nCount  RefDes\r\n1      R1\r\n";
  EXPECT_FALSE(FormattedPcadReportAsQuoted(no_underline).has_value());
  ExpectRefused(no_underline, "no underline");
}

// One window reads one report after another: nothing of a layout stays for the next.
TEST_F(ReportLayoutsTest, LayoutsReadOneAfterAnother) {
  const std::string quoted = SampleBytes("board.bom");
  const std::string separated = SampleBytes("board_separated.bom");
  const std::string formatted = SampleBytes("board_formatted.bom");
  const std::string expected = TableOf(quoted);
  const std::string small = "\"Count\";\"RefDes\"\r\n\"1\";\"R1\"\r\n\"\";\"R9\"\r\n";
  for (const std::string* report : {&formatted, &separated, &quoted, &formatted, &separated}) {
    ASSERT_EQ(Read(*report), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), expected);
    ASSERT_EQ(Read(small), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), "#Count#RefDes\n#1#R1\n");
  }
}

// ---------------------------------------------------------------------------------------------
// Mentor: the "Part Lister" report

TEST_F(ReportLayoutsTest, PartListerSampleGivesTheTableOfTheList) {
  const std::optional<std::string> report =
      PartListerReportAsQuoted(SampleBytes("board_partlister.lst"));
  ASSERT_TRUE(report.has_value());
  ASSERT_EQ(Read(*report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), TableOf(ConvertMentor(SampleBytes("board.lst"))));
  EXPECT_EQ(QuantitiesAndDesignators(), std::make_pair(int64_t{65}, int64_t{65}));
  // A list of ";"-separated fields is no Part Lister report.
  EXPECT_FALSE(PartListerReportAsQuoted(SampleBytes("board.lst")).has_value());
}

TEST_F(ReportLayoutsTest, PartListerHeadersAndWrappedLists) {
  const std::string report =
      "Part Lister\r\nDesign: board\r\n\r\n"
      "#   QTY  Ref Designator  Part Name\r\n"
      "--  ---  --------------  ---------\r\n"
      "1   4    R4,R1,R2,       Резистор 1 кОм\r\n"
      "         R3\r\n"
      "2   1    C1              Конденсатор\r\n";
  const std::optional<std::string> quoted = PartListerReportAsQuoted(report);
  ASSERT_TRUE(quoted.has_value());
  ASSERT_EQ(Read(*quoted), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Count#RefDes#Part Name\n#4#R1...R4#Резистор 1 кОм\n#1#C1#Конденсатор\n");

  const std::string head = "Part Lister\r\n\r\n# QTY REFDES VALUE\r\n- --- ------ -----\r\n";
  for (const auto& [body, why] : std::vector<std::pair<std::string, const char*>>{
           {"1 3   R1,R2  1k\r\n", "fewer designators than the quantity"},
           {"1 1   R1,R2  1k\r\n", "more designators than the quantity"},
           {"      R3\r\n1 1   R1     1k\r\n", "designators before any item"},
           {"1 0          1k\r\n", "an item of no part"}}) {
    const std::optional<std::string> refused = PartListerReportAsQuoted(head + body);
    ASSERT_TRUE(refused.has_value()) << why;
    ExpectRefused(*refused, why);
  }
}

std::string DataBytes(const std::string& name) {
  return testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/tests/data/" + name);
}

// The text with the first occurrence of `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Part Lister reports as Mentor writes them: a title block, a header of names of several words
// over one unbroken rule, then columns wide enough for a list of thirty designators (values with
// commas, empty cells), or columns separated by tabs and padded with blanks (designators separated
// by blanks, values wrapped onto further lines, spacer lines, a total under the quantities). Each
// reads whole or is refused; the tables are written down by hand.
TEST_F(ReportLayoutsTest, PartListerAsMentorWritesIt) {
  const std::string wide = DataBytes("partlister_wide.lst");
  const std::string tabbed = DataBytes("partlister_tabbed.lst");
  const std::string wide_table =
      "#Count#Part Number#Description#Value#RefDes\n"
      "#30#CAP-0402-X7R##100nF, 16V#C1...C30\n"
      "#3#RES-0603-1%#Резистор 0,063 Вт#10k, 1%#R1...R3\n"
      "#1#HDR-2X5#Header 2x5, pitch 2.54##XP1\n"
      "#2#LED-0603##green#HL1,HL2\n"
      "#4#CAP-0805##1uF, 25V, 0805#C31...C34\n";
  const std::string tabbed_table =
      "#Count#Part Name#RefDes#Value#Supplier\n"
      "#3#CAP-0603#C4,C7,C9#1UF#ACME\n"
      "#1#RES-0805#R5#4.7KOHM#ACME\n"
      "#2#TERMINAL-2P#X1,X2##ELECTROPARTS\n"
      "#4#Relay coil SPDT 10A#K1...K4#12V#ACME\n"
      "#1#FUSE-1206#FU1#0.5A#ACME\n";
  const std::string refused;
  const size_t header_at = wide.find("  #     QTY");
  const std::string header_and_rule = wide.substr(header_at, wide.find("   1  ") - header_at);
  const size_t fuse_at = tabbed.find("   5 ");
  const std::string fuse_line = tabbed.substr(fuse_at, tabbed.find('\n', fuse_at) + 1 - fuse_at);
  const struct {
    const char* what;
    std::string report;
    const std::string& table;
  } cases[] = {
      {"wide columns", wide, wide_table},
      {"the header again, as on a new page",
       Replaced(wide, "   3     1", header_and_rule + "   3     1"), wide_table},
      {"fewer designators than the quantity", Replaced(wide, "R3,R1,R2", "R3,R1   "), refused},
      {"text before the first item", Replaced(wide, "   1     30", "              x\n   1     30"),
       refused},
      {"tabbed columns", tabbed, tabbed_table},
      {"a wrong total", Replaced(tabbed, "  11 ", "  12 "), refused},
      {"an item after the total", tabbed + fuse_line, refused},
      {"a line of fewer cells than the header", Replaced(tabbed, "0.5A   \t", "0.5A    "), refused},
      {"an item number without a quantity",
       Replaced(tabbed, "     \t     \tSPDT", "   9 \t     \tSPDT"), refused},
      {"a quantity that is no number", Replaced(tabbed, "   1 \tRES", " one \tRES"), refused},
      {"a wrapped designator lost", Replaced(tabbed, "K4", "  "), refused},
      {"a column named by one letter", Replaced(tabbed, "Value  ", "V      "), refused},
  };
  for (const auto& [what, report, table] : cases) {
    SCOPED_TRACE(what);
    const std::optional<std::string> quoted = PartListerReportAsQuoted(report);
    ASSERT_TRUE(quoted.has_value());
    if (&table == &refused) {
      ExpectRefused(*quoted, what);
      continue;
    }
    ASSERT_EQ(Read(*quoted), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), table);
    const auto [quantities, designators] = QuantitiesAndDesignators();
    EXPECT_EQ(quantities, designators);
  }
}

}  // namespace
}  // namespace zuro::readers

// ---------------------------------------------------------------------------------------------
// The windows: a report of a layout the window does not read is refused with a message

namespace zuro::converter {
namespace {

class LayoutWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.library_folder = folder_;
    context_.help_path = folder_ + "zuro.chm";
  }
  // Opens the report in the window of `command` and tells what the designer sees.
  struct Seen {
    std::vector<std::string> messages;
    int rows = 0;
  };
  Seen Open(int command, const std::string& sample) {
    context_.command = static_cast<LibraryCommand>(command);
    HeadlessUi ui;
    ConverterDialog dialog(context_, state_, ui);
    dialog.OnInitDialog();
    ui.QueueFile(files_.Write(
        std::to_string(++opened_) + "_" + sample,
        testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + sample)));
    dialog.OnCommand(kIdOpenReport);
    Seen seen;
    for (const auto& message : ui.messages())
      seen.messages.push_back(message.text);
    seen.rows = dialog.table().GetRowCount();
    return seen;
  }

  testing_support::TestFolder files_{"layouts"};
  int opened_ = 0;
  const std::string folder_ = files_.path();
  automation::LibraryContext context_;
  converter::WindowState state_;
};

TEST_F(LayoutWindowsTest, EachWindowReadsItsLayoutsAndRefusesTheOthers) {
  constexpr int kPcad = 1, kMentor = 5;
  for (const char* sample : {"board.bom", "board_separated.bom", "board_formatted.bom"}) {
    EXPECT_EQ(Open(kPcad, sample).rows, 31) << sample;
    const Seen mentor = Open(kMentor, sample);
    EXPECT_EQ(mentor.messages, std::vector<std::string>{"Недопустимая структура файла"}) << sample;
    EXPECT_EQ(mentor.rows, 0) << sample;
  }
  for (const char* sample : {"board.lst", "board_partlister.lst"}) {
    EXPECT_EQ(Open(kMentor, sample).rows, 31) << sample;
    EXPECT_EQ(Open(kPcad, sample).messages,
              std::vector<std::string>{"Недопустимая структура файла"})
        << sample;
  }
  // Reports of the other systems: none gives a table in these windows.
  for (const char* sample : {"board.csv", "board_orcad.bom", "board_orcad_fixed.bom",
                             "board_altium.txt", "board_allegro.htm"}) {
    for (const int command : {kPcad, kMentor}) {
      const Seen seen = Open(command, sample);
      EXPECT_EQ(seen.messages, std::vector<std::string>{"Недопустимая структура файла"})
          << sample << " in window " << command;
      EXPECT_LE(seen.rows, 1) << sample;
    }
  }
}

}  // namespace
}  // namespace zuro::converter
