// The reports that the Protel / Altium Designer / Cadence Allegro window opens: its own layouts
// read as they always were, the other layouts of these systems read whole, and reports of other
// systems refused.
#include <gtest/gtest.h>

#include "tests/table_text.h"
#include "tests/test_folder.h"

#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "generation/designators.h"
#include "readers/csv_conversion.h"
#include "readers/csv_reader.h"
#include "readers/delimited_records.h"
#include "readers/html_table.h"
#include "readers/protel_family_report.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

using Kind = ProtelFamilyKind;

// A sample as the window reads it: UTF-8 recognised and turned into code page 1251.
std::string Sample(const std::string& name) {
  return DecodeText(testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + name))
      .text;
}

class ProtelFamilyReportTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& report, Kind kind) {
    ProtelFamilyReading reading = ReadProtelFamilyReport(report, kind, table_, attributes_);
    converted_ = std::move(reading.converted);
    return reading.result;
  }
  void ExpectRead(const std::string& report, Kind kind) {
    ASSERT_EQ(Read(report, kind), ReadResult::kLoaded);
  }
  void ExpectRefused(const std::string& report, Kind kind) {
    EXPECT_EQ(Read(report, kind), ReadResult::kBadStructure);
    EXPECT_EQ(table_.GetRowCount(), 0);
    EXPECT_TRUE(attributes_.names.empty());
  }
  std::string Dump() const { return testing_support::TableText(table_); }
  int Column(const std::string& name) const {
    for (size_t i = 0; i < attributes_.names.size(); ++i) {
      if (attributes_.names[i] == name)
        return static_cast<int>(i) + 1;
    }
    return -1;
  }
  // The designators of the table's rows, ranges expanded, and the sum of its quantities.
  int64_t DesignatorCount(const std::string& column) const {
    int64_t count = 0;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      count += generation::CountDesignators(table_.GetItemText(row, Column(column)));
    return count;
  }
  int64_t QuantitySum(const std::string& column) const {
    int64_t sum = 0;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      sum += std::stoll("0" + table_.GetItemText(row, Column(column)));
    return sum;
  }

  table::GridModel table_;
  ReportAttributes attributes_;
  std::string converted_;
};

// The same board in the Altium Designer CSV saved by a spreadsheet program and in the text export
// with quoted fields gives, cell by cell, the table of its Protel CSV; the condensed Allegro HTML
// gives the table written down beside the tests. Each lists its 65 designators.
TEST_F(ProtelFamilyReportTest, SamplesOfEveryLayoutReadWhole) {
  ExpectRead(Sample("board.csv"), Kind::kProtel);
  const std::string protel = Dump();
  ASSERT_EQ(table_.GetRowCount(), 31);
  const struct {
    const char* sample;
    Kind kind;
  } kSameTable[] = {{"board_altium_plain.csv", Kind::kProtel},
                    {"board_altium_plain.csv", Kind::kAltiumDesigner},
                    {"board_altium_quoted.txt", Kind::kAltiumDesigner},
                    {"board_altium_quoted.txt", Kind::kProtel}};
  for (const auto& sample : kSameTable) {
    SCOPED_TRACE(sample.sample);
    ExpectRead(Sample(sample.sample), sample.kind);
    EXPECT_EQ(Dump(), protel);
    EXPECT_EQ(attributes_.partlib_column, 18);
    EXPECT_EQ(DesignatorCount("Designator"), 65);
    EXPECT_EQ(QuantitySum("Quantity"), 65);
  }
  ExpectRead(Sample("board_allegro_condensed.htm"), Kind::kCadenceAllegro);
  EXPECT_EQ(Dump(), Utf8ToCp1251(testing_support::ReadBytes(ZURO_TEST_DATA
                                                            "/board_allegro_condensed_table.txt")));
  EXPECT_EQ(DesignatorCount("REFDES"), 65);
  EXPECT_EQ(QuantitySum("QUANTITY"), 65);
  EXPECT_EQ(attributes_.partlib_column, -1);
}

// The converter's own layouts read exactly as the quoted CSV reader and the conversions read
// them, with the same converted text kept beside the report.
TEST_F(ProtelFamilyReportTest, TheConvertersOwnLayoutsReadAsBefore) {
  const auto expect_as_before = [&](const std::string& report, Kind kind) {
    const std::string quoted_csv = kind == Kind::kProtel           ? report
                                   : kind == Kind::kAltiumDesigner ? ConvertAltiumText(report)
                                                                   : ConvertAllegroHtml(report);
    ASSERT_EQ(ReadQuotedCsv(quoted_csv, table_, attributes_), ReadResult::kLoaded);
    const std::string before = Dump();
    const ReportAttributes attributes_before = attributes_;
    ExpectRead(report, kind);
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(attributes_.names, attributes_before.names);
    EXPECT_EQ(attributes_.partlib_column, attributes_before.partlib_column);
    EXPECT_EQ(converted_, kind == Kind::kProtel ? "" : quoted_csv);
  };
  expect_as_before(Sample("board.csv"), Kind::kProtel);
  expect_as_before(Sample("board.csv"), Kind::kAltiumDesigner);
  expect_as_before(Sample("board_altium.txt"), Kind::kAltiumDesigner);
  expect_as_before(Sample("board_allegro.htm"), Kind::kCadenceAllegro);
  // Totals and notes after the table stay rows, text before the first quote is no value, an
  // empty pair of quotes keeps its column, a quoted "," is a separator.
  const std::string quoted =
      "\"Designator\",\"Quantity\",\"Comment\"\r\n\"R1, R2, R3\",\"3\",\"10k\"\r\n"
      "x,\"C1\",\"\",\"c\"\r\n\"a\",\",\",\"b\"\r\nnot a component\r\n,,\"Total\",65\r\n";
  expect_as_before(quoted, Kind::kProtel);
  EXPECT_EQ(Dump(),
            "#Designator#Quantity#Comment\n#R1...R3#3#10k\n#C1##c\n#a#b#\n###\n#Total#,65#\n");
  // A quoted CSV reads by its rules whatever its columns are called, OrCAD's "Reference" too:
  // only its values are not taken for designators.
  expect_as_before("\"Reference\",\"Quantity\"\r\n\"R3,R1,R2\",\"3\"\r\n", Kind::kProtel);
  EXPECT_EQ(Dump(), "#Reference#Quantity\n#R3,R1,R2#3\n");
  // Without a header: the title row only.
  for (const std::string text : {"", "\"R1\",\"1k\"\r\n", "Notes\r\nno table here\r\n"}) {
    expect_as_before(text, Kind::kProtel);
    expect_as_before(text, Kind::kAltiumDesigner);
    EXPECT_EQ(table_.GetRowCount(), 1);
  }
  expect_as_before("<html><body><p>Nothing</p></body></html>", Kind::kCadenceAllegro);
  EXPECT_EQ(table_.GetRowCount(), 1);
}

// Altium Designer's CSV as a spreadsheet program saves it: values quoted where they hold a comma
// or a quote, lines padded with commas, a value over two lines.
TEST_F(ProtelFamilyReportTest, PlainCsvIsReadByTheQuotingRules) {
  const std::string header = "Comment,Designator,Quantity,Description\r\n";
  ExpectRead("Bill of Materials,,,\r\n,,,\r\n" + header +
                 "\"0,1 мкФ\",\"C3, C1, C2\",3,\"Конденсатор, 50 В\"\r\n"
                 "PLS-4,\"X2, X3\",2,\"Вилка шаг 0,1\"\"\"\r\n"
                 "10 кОм,R1,1,\"Резистор\r\nС2-33Н\"\r\n"
                 ",,,\r\n"
                 "1 кОм,\"R4, R5, \",2,",
             Kind::kProtel);
  EXPECT_EQ(Dump(),
            "#Comment#Designator#Quantity#Description\n"
            "#0,1 мкФ#C1...C3#3#Конденсатор, 50 В\n"
            "#PLS-4#X2, X3#2#Вилка шаг 0,1\"\n"
            "#10 кОм#R1#1#Резистор С2-33Н\n"
            "#1 кОм#R4, R5, #2#\n");
  EXPECT_EQ(table_.GetItemImage(4, 0), 1);
  // A list ending in ", " counts its designators only; three or more lose the ending when sorted.
  ExpectRead(header + "a,\"R6, R4, R5, \",3,\r\n", Kind::kAltiumDesigner);
  EXPECT_EQ(table_.GetItemText(1, 2), "R4...R6");
  // The converted CSV quotes every field and writes a quote twice.
  ExpectRead(header + "\"Вилка 0,1\"\"\",X1,1,\"a\r\nb\"", Kind::kAltiumDesigner);
  EXPECT_EQ(converted_,
            "\"Comment\",\"Designator\",\"Quantity\",\"Description\",\n\n"
            "\"Вилка 0,1\"\"\",\"X1\",\"1\",\"a b\",\n");
  // which the window reads back into the same table.
  const std::string table = Dump();
  ExpectRead(converted_, Kind::kProtel);
  EXPECT_EQ(Dump(), table);
}

// A UTF-8 report is read as its code page 1251 twin, its byte-order mark dropped before the
// reader sees it, so the header right after the mark is found as it is.
TEST_F(ProtelFamilyReportTest, ByteOrderMarkBeforeTheHeader) {
  const std::string utf8 = "\xEF\xBB\xBF" + Cp1251ToUtf8(
                                                "Designator,Quantity,Comment\r\n"
                                                "\"C1, C2\",2,\"0,1 мкФ\"\r\n");
  ExpectRead(DecodeText(utf8).text, Kind::kAltiumDesigner);
  EXPECT_EQ(Dump(), "#Designator#Quantity#Comment\n#C1, C2#2#0,1 мкФ\n");
  ExpectRead(DecodeText("\xEF\xBB\xBF\"Designator\",\"Quantity\"\r\n\"R1\",\"1\"").text,
             Kind::kProtel);
  EXPECT_EQ(Dump(), "#Designator#Quantity\n#R1#1\n");
}

// A quoted CSV whose quotes the reader's rules cannot read (a quote written twice, a value over
// two lines, text after a closing quote) is read by the quoting rules.
TEST_F(ProtelFamilyReportTest, QuotedCsvBeyondTheReadersRulesIsReadByTheQuotingRules) {
  const std::string header = "\"Designator\",\"Quantity\",\"Comment\"\r\n";
  ExpectRead(header + "\"X1\",\"1\",\"Вилка 0,1\"\" шаг\"\r\n\"R1, R2\",\"2\",\"10k\"\r\n",
             Kind::kProtel);
  EXPECT_EQ(Dump(), "#Designator#Quantity#Comment\n#X1#1#Вилка 0,1\" шаг\n#R1, R2#2#10k\n");
  ExpectRead(header + "\"R1\",\"1\",\"Резистор\r\n10 кОм\"\r\n", Kind::kAltiumDesigner);
  EXPECT_EQ(Dump(), "#Designator#Quantity#Comment\n#R1#1#Резистор 10 кОм\n");
  // Altium Designer's text with quoted fields: a quote twice, a tab in no field.
  ExpectRead("Designator\tQuantity\tComment\r\n\r\n\"C1, C2\"\t\"2\"\t\"22 \"\"пФ\"\"\"\r\n",
             Kind::kAltiumDesigner);
  EXPECT_EQ(Dump(), "#Designator#Quantity#Comment\n#C1, C2#2#22 \"пФ\"\n");
  EXPECT_EQ(converted_,
            "\"Designator\",\"Quantity\",\"Comment\",\n\n\"C1, C2\",\"2\",\"22 \"\"пФ\"\"\",\n");
}

// The layouts beyond the converter's own are taken whole or refused: a designator short of the
// quantities, a quantity that is no number, a value under no column, a table without a quantity
// or a designator column.
TEST_F(ProtelFamilyReportTest, HalfUnderstoodTablesAreRefused) {
  const std::string header = "Designator,Quantity,Comment\r\n";
  ExpectRead(header + "\"R1, R2\",2,10k\r\n,,Notes\r\n", Kind::kProtel);
  for (const std::string& rows :
       {std::string("\"R1, R2\",3,10k\r\n"), std::string("R1 R2,2,10k\r\n"),
        std::string("\"R1, R2\",2 шт.,10k\r\n"), std::string("\"R1, R2\",-2,10k\r\n"),
        std::string("\"R1, R2\",2,10k,extra\r\n")}) {
    SCOPED_TRACE(rows);
    ExpectRefused(header + rows, Kind::kProtel);
    ExpectRefused(header + rows, Kind::kAltiumDesigner);
  }
  ExpectRefused("Comment,Quantity\r\n10k,1\r\n", Kind::kProtel);
  ExpectRefused("Designator,Quantity total\r\nR1,1\r\n", Kind::kProtel);
  // A value under an empty name would be lost; an empty one is not.
  ExpectRead("Designator,,Quantity\r\nR1,,1\r\n", Kind::kProtel);
  EXPECT_EQ(Dump(), "#Designator#Quantity\n#R1#1\n");
  ExpectRefused("Designator,,Quantity\r\nR1,x,1\r\n", Kind::kProtel);
  ExpectRefused(
      "<table><tr><th>REFDES</th><th>QUANTITY</th></tr>"
      "<tr><td>R1 R2</td><td>3</td></tr></table>",
      Kind::kCadenceAllegro);
}

// P-CAD, OrCAD and Mentor reports in this window: refused, never a table of wrong columns.
TEST_F(ProtelFamilyReportTest, ReportsOfOtherSystemsAreRefused) {
  for (const char* sample :
       {"board.bom", "board_orcad.bom", "board_orcad_fixed.bom", "board.lst"}) {
    SCOPED_TRACE(sample);
    for (const Kind kind : {Kind::kProtel, Kind::kAltiumDesigner, Kind::kCadenceAllegro})
      ExpectRefused(Sample(sample), kind);
  }
  // A report of this window read after a refused one fills the table again.
  ExpectRead(Sample("board_altium_plain.csv"), Kind::kProtel);
  EXPECT_EQ(table_.GetRowCount(), 31);
}

// The condensed bill of materials of Cadence Allegro as any HTML writer may lay it out.
TEST_F(ProtelFamilyReportTest, AllegroCondensedHtml) {
  const std::string kHeader =
      "<tr><th>SYM_NAME</th><th>COMP_DEVICE_TYPE</th><th>COMP_VALUE</th><th>COMP_TOL</th>"
      "<th>COMP_CLASS</th><th>QUANTITY</th><th>REFDES</th></tr>";
  const std::string kTitle =
      "<h3>Bill of Material Report (Condensed)</h3>\n<p>Design Name: D:/Платы/board.brd</p>\n"
      "<p>Date: Thu Dec 07 14:32:05 2026</p>\n";
  // All on one line; designators after blanks, commas and ";"; references decoded; a comment
  // holding a cell is no cell; a row of a later table is no component.
  ExpectRead("<html><body>" + kTitle + "<table border=1>" + kHeader +
                 "<tr><td>SMD0805</td><td>RES&amp;CO</td><td>10&nbsp;кОм</td><td>5%</td>"
                 "<td>DISCRETE</td><td> 3 </td><td>R3 R1,\n R2</td></tr>"
                 "<!-- <tr><td>hidden</td></tr> -->"
                 "<TR><TD>SO16</TD><TD>&lt;74HC595D&gt;</TD><TD>&nbsp;</TD><TD></TD>"
                 "<TD>IC</TD><TD>2</TD><TD>DD3;DD2</TD></TR>"
                 "<tr><td>SOT23</td><td>BC847C</td><td>&#1040;&#x411;</td><td></td><td>DISCRETE"
                 "<td>1<td>VT1</tr>"
                 "</table><table><tr><td>Total</td><td>6</td></tr></table></body></html>",
             Kind::kCadenceAllegro);
  EXPECT_EQ(Dump(),
            "#SYM_NAME#COMP_DEVICE_TYPE#COMP_VALUE#COMP_TOL#COMP_CLASS#QUANTITY#REFDES\n"
            "#SMD0805#RES&CO#10 кОм#5%#DISCRETE#3#R1...R3\n"
            "#SO16#<74HC595D>###IC#2#DD3,DD2\n"
            "#SOT23#BC847C#АБ##DISCRETE#1#VT1\n");
  EXPECT_EQ(converted_,
            "\"SYM_NAME\",\"COMP_DEVICE_TYPE\",\"COMP_VALUE\",\"COMP_TOL\",\"COMP_CLASS\","
            "\"QUANTITY\",\"REFDES\",\n\n"
            "\"SMD0805\",\"RES&CO\",\"10 кОм\",\"5%\",\"DISCRETE\",\"3\",\"R3,R1,R2\",\n"
            "\"SO16\",\"<74HC595D>\",\"\",\"\",\"IC\",\"2\",\"DD3,DD2\",\n"
            "\"SOT23\",\"BC847C\",\"АБ\",\"\",\"DISCRETE\",\"1\",\"VT1\",\n");
}

std::string TestData(const std::string& name) {
  return testing_support::ReadBytes(std::string(ZURO_TEST_DATA) + "/" + name);
}

// Cadence Allegro's condensed bill of materials as it writes it (one cell a line, cells with
// attributes and in upper case, references, designator lists over several lines) and as its text
// report: the table the page shows, every designator read, and a CSV kept beside the report that
// the Protel window reads back into the same table.
TEST_F(ProtelFamilyReportTest, AllegroReportsAsTheSystemWritesThem) {
  const std::string kHeader =
      "#SYM_NAME#COMP_DEVICE_TYPE#COMP_VALUE#COMP_TOL#COMP_CLASS#QUANTITY#REFDES\n";
  const struct {
    const char* fixture;
    std::string table;
  } kReports[] = {
      {"allegro_condensed_attributes.htm",
       kHeader + "#1729128#TERMINAL_2P_1729128_1729128#1729128##IO#2#X1, X2\n"
                 "#CAP0603#CAP_NP_CAP0603_DISCRETE_100NF_#100NF#10%#DISCRETE#12#C1...C12\n"
                 "#RES0603#RES_RES0603_DISCRETE_4K7_#4K7#1%#DISCRETE#3#R2...R4\n"
                 "#SOIC8#OPAMP_A&B_SOIC8###IC#1#DA1\n"
                 "#RES0603#RES_RES0603_DISCRETE_10K_#10K#1%#DISCRETE#5#R1,R5...R8\n"},
      {"allegro_report.txt",
       kHeader + "#1729128#TERMINAL_2P_1729128_1729128#1729128##IO#2#X1,X2\n"
                 "#CAP0603#CAP_NP_CAP0603_DISCRETE_100NF_#100NF#10%#DISCRETE#12#C1...C12\n"
                 "#RES0603#RES_RES0603_DISCRETE_4K7_#4K7#1%#DISCRETE#3#R2...R4\n"
                 "#SOIC8#OPAMP_SOIC8###IC#1#DA1\n"
                 "#RES0603#RES_RES0603_DISCRETE_10K_#10K#1%#DISCRETE#5#R1,R5...R8\n"},
  };
  for (const auto& report : kReports) {
    SCOPED_TRACE(report.fixture);
    ExpectRead(TestData(report.fixture), Kind::kCadenceAllegro);
    EXPECT_EQ(Dump(), report.table);
    EXPECT_EQ(DesignatorCount("REFDES"), 23);
    ExpectRead(converted_, Kind::kProtel);
    EXPECT_EQ(Dump(), report.table);
  }
}

// Where reading the page one cell a line would not give what the page shows, the page is read as
// the HTML table it is, whole or not at all.
TEST_F(ProtelFamilyReportTest, AllegroPagesReadAsTheyShow) {
  const std::string kHeader =
      "<tr>\r\n<td><b>SYM_NAME</b></td>\r\n<td><b>QUANTITY</b></td>\r\n<td><b>REFDES</b></td>\r\n"
      "</tr>\r\n";
  const struct {
    const char* rows;
    const char* table;  // empty: refused
  } kPages[] = {
      // A cell on the line of its row end.
      {"<tr>\r\n<td>SO8</td>\r\n<td>2</td>\r\n<td>DA1;DA2</td></tr>\r\n",
       "#SYM_NAME#QUANTITY#REFDES\n#SO8#2#DA1,DA2\n"},
      // A quote, which the quoted CSV cannot carry.
      {"<tr>\r\n<td>HDR .1&quot;</td>\r\n<td>1</td>\r\n<td>X1</td>\r\n</tr>\r\n",
       "#SYM_NAME#QUANTITY#REFDES\n#HDR .1\"#1#X1\n"},
      // Designators separated by blanks alone.
      {"<tr>\r\n<td>R0603</td>\r\n<td>3</td>\r\n<td>R3 R1 R2</td>\r\n</tr>\r\n",
       "#SYM_NAME#QUANTITY#REFDES\n#R0603#3#R1...R3\n"},
      // A cell inside a comment, and a last row that no row end closes.
      {"<tr>\r\n<td>R0603</td>\r\n<!--\r\n<td>R9</td>\r\n-->\r\n<td>1</td>\r\n<td>R1</td>\r\n"
       "</tr>\r\n<tr>\r\n<td>C0603</td>\r\n<td>1</td>\r\n<td>C1</td>\r\n",
       "#SYM_NAME#QUANTITY#REFDES\n#R0603#1#R1\n#C0603#1#C1\n"},
      // Read so, a designator short of the quantity is refused.
      {"<tr>\r\n<td>SO8</td>\r\n<td>3</td>\r\n<td>DA1;DA2</td></tr>\r\n", ""},
  };
  for (const auto& page : kPages) {
    SCOPED_TRACE(page.rows);
    const std::string report = "<table border=1>\r\n" + kHeader + page.rows;
    if (*page.table == '\0') {
      ExpectRefused(report, Kind::kCadenceAllegro);
      continue;
    }
    ExpectRead(report, Kind::kCadenceAllegro);
    EXPECT_EQ(Dump(), page.table);
  }
}

// The text report's designators are joined by ";" or by ","; joined by "," they can only stand
// in the last column, where the values past the header's names are theirs. Anything read only in
// part is refused.
TEST_F(ProtelFamilyReportTest, AllegroTextReportReadWholeOrRefused) {
  const std::string kTitle =
      "Allegro Report\r\nC:/work/board.brd\r\nMon Mar 02 10:15:42 2026\r\n\r\n";
  const struct {
    const char* lines;
    const char* table;  // empty: refused
  } kReports[] = {
      {"SYM_NAME,QUANTITY,REFDES\r\nR0603,3,R3,R1, R2\r\nSO8,1,DA1\r\n",
       "#SYM_NAME#QUANTITY#REFDES\n#R0603#3#R1...R3\n#SO8#1#DA1\n"},
      {"QUANTITY,REFDES,\r\n3,R3;R1;R2,\r\n", "#QUANTITY#REFDES\n#3#R1...R3\n"},
      {"REFDES,QUANTITY,SYM_NAME\r\nR3;R1;R2,3,R0603\r\n",
       "#REFDES#QUANTITY#SYM_NAME\n#R1...R3#3#R0603\n"},
      {"REFDES,QUANTITY,SYM_NAME\r\nR3,R1,R2,3,R0603\r\n", ""},
      {"SYM_NAME,QUANTITY,REFDES\r\nR0603,3,R3;R1\r\n", ""},
      {"SYM_NAME,QUANTITY,REFDES\r\nR0603,3 pcs,R3;R1;R2\r\n", ""},
  };
  for (const auto& report : kReports) {
    SCOPED_TRACE(report.lines);
    if (*report.table == '\0') {
      ExpectRefused(kTitle + report.lines, Kind::kCadenceAllegro);
      continue;
    }
    ExpectRead(kTitle + report.lines, Kind::kCadenceAllegro);
    EXPECT_EQ(Dump(), report.table);
  }
}

// Altium Designer writes a quote inside a quoted value once ("Pin Header .1" Pitch"): where it
// cannot end the value it is part of it, in the CSV and in the tabbed text alike.
TEST_F(ProtelFamilyReportTest, QuoteWrittenOnceInsideAQuotedValue) {
  const std::string table =
      "#Comment#Description#Designator#Footprint#LibRef#Quantity\n"
      "#TSW-104-07-G-S#Pin Header .1\" Pitch, Straight, 4 Way#J1...J3#HDR1X4#CMP-2001-00004-1#3\n"
      "#100nF 50V 0603#Capacitor 100nF 50V X7R 0603#C1...C4#CAPC0603_N#CMP-1035-00103-1#4\n"
      "#Standoff 1/4\" Hex#Standoff 1/4\" Hex, 4-40 thread#H1...H4##CMP-3001-00012-1#4\n"
      "#10k 1% 0603#Resistor 10k 1% 0603#R1#RESC0603_N#CMP-1012-00623-1#1\n";
  const std::string csv = TestData("altium_undoubled_quote.csv");
  std::string tabbed = csv;
  for (size_t at = 0; (at = tabbed.find(",\"", at)) != std::string::npos;)
    tabbed.replace(at, 1, "\t");
  tabbed.replace(0, tabbed.find('\r'),
                 "Comment\tDescription\tDesignator\tFootprint\tLibRef\tQuantity");
  const struct {
    const std::string& report;
    Kind kind;
  } kReadings[] = {
      {csv, Kind::kProtel}, {csv, Kind::kAltiumDesigner}, {tabbed, Kind::kAltiumDesigner}};
  for (const auto& reading : kReadings) {
    SCOPED_TRACE(reading.report);
    ExpectRead(reading.report, reading.kind);
    EXPECT_EQ(Dump(), table);
  }
}

TEST(DelimitedRecordsTest, AQuoteEndsAQuotedFieldOnlyBeforeTheSeparatorOrTheLineEnd) {
  using Records = std::vector<DelimitedRecord>;
  const struct {
    const char* text;
    char separator;
    Records records;
  } kTexts[] = {
      {"\"a\" b\",c", ',', {{"a\" b", "c"}}},
      {"\"a\"\r\n\"b\"\n\"c\"", ',', {{"a"}, {"b"}, {"c"}}},
      {"\"a\"\rb\",c", ',', {{"a\"\rb", "c"}}},
      {"\"1/4\"\"\",x", ',', {{"1/4\"", "x"}}},
      {"\"a\",b\"\tc", '\t', {{"a\",b", "c"}}},
      // A blank after the quote keeps the field open: to the end, when no quote closes it.
      {"\"a\" ,b", ',', {{"a\" ,b"}}},
  };
  for (const auto& text : kTexts) {
    SCOPED_TRACE(text.text);
    EXPECT_EQ(ReadDelimitedRecords(text.text, text.separator), text.records);
  }
}

TEST(HtmlTableRowsTest, CellsOverLinesAndRowsOfEachTable) {
  const std::vector<HtmlTableRow> rows = ReadHtmlTableRows(
      "<p><td>outside a row</td>\r\n<TABLE>\r\n<TR>\r\n<TD nowrap>\r\n  C1\r\n  C2<br>C3 "
      "</TD>\r\n<td>a &unknown; &amp b &#0; &#1234567;</td></tr></table>\r\n<table><tr><td "
      "class=\"x\">last<td>unclosed &");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].table, 0);
  EXPECT_EQ(rows[0].cells, (DelimitedRecord{"outside a row"}));
  EXPECT_EQ(rows[1].table, 1);
  EXPECT_EQ(rows[1].cells, (DelimitedRecord{"C1 C2 C3", "a &unknown; &amp b ? &#1234567;"}));
  EXPECT_EQ(rows[2].table, 2);
  EXPECT_EQ(rows[2].cells, (DelimitedRecord{"last", "unclosed &"}));
  EXPECT_TRUE(ReadHtmlTableRows("").empty());
  EXPECT_TRUE(ReadHtmlTableRows("<td").empty());
}

TEST(DelimitedRecordsTest, QuotingRulesAndTheirBoundaries) {
  using Records = std::vector<DelimitedRecord>;
  // A quoted comma as the last field, a doubled quote, a quoted line break, the last line
  // without its line end, a CR that ends no line.
  EXPECT_EQ(ReadDelimitedRecords("a,\"b,c\"\r\n\"d\"\"e\",\"f\r\ng\"\r\nh\ri,", ','),
            (Records{{"a", "b,c"}, {"d\"e", "f g"}, {"h\ri", ""}}));
  EXPECT_EQ(ReadDelimitedRecords("\"\",\n\n\"x\"y\"z\",w\"v", ','),
            (Records{{"", ""}, {""}, {"x\"y\"z", "w\"v"}}));
  EXPECT_EQ(ReadDelimitedRecords("a\t\"b\tc\"\t\n", '\t'), (Records{{"a", "b\tc", ""}}));
  // A quote left open runs to the end.
  EXPECT_EQ(ReadDelimitedRecords("\"a,\nb", ','), (Records{{"a, b"}}));
  EXPECT_TRUE(ReadDelimitedRecords("", ',').empty());
}

TEST_F(ProtelFamilyReportTest, AnyInputReadsWithoutFault) {
  std::string binary;
  for (int i = 0; i < 300000; ++i)
    binary += static_cast<char>((i * 7919u) % 256);
  std::string fields = "Designator,Quantity";
  for (int i = 0; i < 200; ++i)
    fields += ",f" + std::to_string(i);
  const std::string inputs[] = {binary,
                                fields + "\n" + std::string(1 << 20, '"'),
                                "Quantity\n" + std::string(1 << 20, '&'),
                                "<td>Quantity" + std::string(1 << 20, '<'),
                                std::string(1 << 20, '\t') + "Quantity\n\"",
                                std::string("\0Quantity\0,\0\n\"\0", 14)};
  for (const std::string& input : inputs) {
    for (const Kind kind : {Kind::kProtel, Kind::kAltiumDesigner, Kind::kCadenceAllegro}) {
      const ReadResult result = Read(input, kind);
      EXPECT_LE(table_.GetColumnCount(), 101);
      if (result == ReadResult::kBadStructure) {
        EXPECT_EQ(table_.GetRowCount(), 0);
      }
    }
  }
}

}  // namespace
}  // namespace zuro::readers
