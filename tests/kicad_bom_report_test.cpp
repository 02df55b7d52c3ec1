// KiCad's bills of materials in the Altium Designer window: read whole in each of their forms,
// refused when they are not whole, and never in place of a reading the window had before.
#include <gtest/gtest.h>

#include "tests/table_text.h"
#include "tests/test_folder.h"

#include <string>

#include "base/text_file.h"
#include "readers/designator_lists.h"
#include "readers/protel_family_report.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

using Kind = ProtelFamilyKind;

std::string Sample(const std::string& name) {
  return DecodeText(testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + name))
      .text;
}

class KicadBomReportTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& report, Kind kind = Kind::kAltiumDesigner) {
    ProtelFamilyReading reading = ReadProtelFamilyReport(report, kind, table_, attributes_);
    converted_ = std::move(reading.converted);
    return reading.result;
  }
  std::string Dump() const { return testing_support::TableText(table_); }
  // The designators of the table's first column, runs counted whole.
  int64_t Designators() const {
    int64_t count = 0;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      count += CountDesignators(table_.GetItemText(row, 1));
    return count;
  }

  table::GridModel table_;
  ReportAttributes attributes_;
  std::string converted_;
};

// The controller board as KiCad's BOM export writes it and as the older grouping script does:
// 65 designators in 30 rows, the same lists in both, under the window's designator title.
TEST_F(KicadBomReportTest, SamplesOfTheBoardReadWhole) {
  const struct {
    const char* sample;
    const char* titles;
  } kSamples[] = {
      {"board_kicad.csv",
       "#Designator#Qty#Value#Footprint#DNP#Exclude from BOM#Наименование#TypeElement#Name#Nominal"
       "#Unit#Watt#Volt#Specific#Раздел#*Range#*E#ID PartLib"},
      {"board_kicad_legacy.csv", "#Designator#Qnty#Value#Cmp name#Footprint#Description#Vendor"},
  };
  std::vector<std::string> first_lists;
  for (const auto& sample : kSamples) {
    SCOPED_TRACE(sample.sample);
    ASSERT_EQ(Read(Sample(sample.sample)), ReadResult::kLoaded);
    EXPECT_EQ(Dump().substr(0, Dump().find('\n')), sample.titles);
    ASSERT_EQ(table_.GetRowCount(), 31);
    EXPECT_EQ(Designators(), 65);
    std::vector<std::string> lists;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      lists.push_back(table_.GetItemText(row, 1));
    EXPECT_EQ(lists[1], "C1...C10");
    EXPECT_EQ(lists[2], "C11,C12");
    EXPECT_EQ(lists[14], "R1...R5,R7...R9");
    EXPECT_EQ(lists[17], "R12...R14,R16");
    if (first_lists.empty())
      first_lists = lists;
    EXPECT_EQ(lists, first_lists);
  }
  EXPECT_EQ(attributes_.partlib_column, -1);
  ASSERT_EQ(Read(Sample("board_kicad.csv")), ReadResult::kLoaded);
  EXPECT_EQ(attributes_.partlib_column, 18);
}

// The same small table in each form KiCad writes: quoted and separated by ",", unquoted, separated
// by ";" with '"' or with "'" around the fields, and without a quantity column. The CSV kept
// beside the report reads back into the same table.
TEST_F(KicadBomReportTest, EveryFormReadsIntoItsTable) {
  const std::string kRows = "#C1...C3#3#0,1 мкФ#C_0805#\n#X1#1#PLS-4 0,1\"#1/4'#DNP\n";
  const struct {
    std::string report;
    std::string table;
  } kForms[] = {
      {"\"Reference\",\"Qty\",\"Value\",\"Footprint\",\"DNP\"\n"
       "\"C3,C1,C2\",\"3\",\"0,1 мкФ\",\"C_0805\",\"\"\n"
       "\"X1\",\"1\",\"PLS-4 0,1\"\"\",\"1/4'\",\"DNP\"\n",
       "#Designator#Qty#Value#Footprint#DNP\n" + kRows},
      {"Ref,Qnty,Value,Footprint,DNP\r\n\"C3, C1, C2, \",3,\"0,1 мкФ\",C_0805,\r\n"
       "X1,1,\"PLS-4 0,1\"\"\",1/4',DNP\r\n",
       "#Designator#Qnty#Value#Footprint#DNP\n" + kRows},
      {"\"Reference\";\"Qty\";\"Value\";\"Footprint\";\"DNP\"\n"
       "\"C3,C1,C2\";\"3\";\"0,1 мкФ\";\"C_0805\";\"\"\n"
       "\"X1\";\"1\";\"PLS-4 0,1\"\"\";\"1/4'\";\"DNP\"\n",
       "#Designator#Qty#Value#Footprint#DNP\n" + kRows},
      {"'Reference';'Qty';'Value';'Footprint';'DNP'\n"
       "'C3,C1,C2';'3';'0,1 мкФ';'C_0805';''\n"
       "'X1';'1';'PLS-4 0,1\"';'1/4''';'DNP'\n",
       "#Designator#Qty#Value#Footprint#DNP\n" + kRows},
      {"Ref;Qnty;Value;Footprint;DNP\nC3 C1 C2;3;0,1 мкФ;C_0805;\nX1;1;PLS-4 0,1\";1/4';DNP\n",
       "#Designator#Qnty#Value#Footprint#DNP\n" + kRows},
      {"\"Reference\",\"Value\"\n\"R2, R1\",\"10 кОм\"\n\"R3\",\"1 кОм\"\n",
       "#Designator#Value\n#R2,R1#10 кОм\n#R3#1 кОм\n"},
  };
  for (const auto& form : kForms) {
    SCOPED_TRACE(form.report);
    ASSERT_EQ(Read(form.report), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), form.table);
    EXPECT_TRUE(attributes_.refusal.empty());
    const std::string converted = converted_;
    ASSERT_EQ(Read(converted), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), form.table);
  }
  // The kept CSV: every field quoted and followed by ",", a quote written twice, an empty line
  // after the header.
  ASSERT_EQ(Read(kForms[3].report), ReadResult::kLoaded);
  EXPECT_EQ(converted_,
            "\"Reference\",\"Qty\",\"Value\",\"Footprint\",\"DNP\",\n\n"
            "\"C3,C1,C2\",\"3\",\"0,1 мкФ\",\"C_0805\",\"\",\n"
            "\"X1\",\"1\",\"PLS-4 0,1\"\"\",\"1/4'\",\"DNP\",\n");
}

// Designators in one cell, separated by commas, blanks or both: two kept in the report's order,
// three or more sorted by the number all their digits make and joined into runs, as the window
// writes every list.
TEST_F(KicadBomReportTest, DesignatorsSeparatedByCommasAndBlanks) {
  const struct {
    const char* cell;
    const char* quantity;
    const char* list;
  } kCells[] = {
      {"C1, C2 C5", "3", "C1...C2,C5"},
      {"C5 C1", "2", "C5,C1"},
      {"R3,R1,R2", "3", "R1...R3"},
      {"R1, R2, ", "2", "R1,R2"},
      {"  DA1  ", "1", "DA1"},
      {"X1;X3;X2", "3", "X1...X3"},
      {"R1\tR2", "2", "R1,R2"},
      {"C2B, C2A C3_CH1", "3", "C2B,C2A,C3_CH1"},
      {"VD10 VD9 VD11 VT1", "4", "VT1,VD9...VD11"},
  };
  for (const auto& cell : kCells) {
    SCOPED_TRACE(cell.cell);
    ASSERT_EQ(Read(std::string("\"Reference\",\"Qty\"\n\"") + cell.cell + "\",\"" + cell.quantity +
                   "\"\n"),
              ReadResult::kLoaded);
    EXPECT_EQ(Dump(), std::string("#Designator#Qty\n#") + cell.list + "#" + cell.quantity + "\n");
  }
}

// Lines of "key,value" and blank lines before the header are the report's title: none is a row,
// and the kept CSV keeps them, quoted, above its header.
TEST_F(KicadBomReportTest, TitleBlockBeforeTheHeader) {
  const std::string kBody = "Ref,Qnty,Value\r\n\r\n\"C1, C2 \",2,1u\r\n\r\nR1,1,1k\r\n,,\r\n";
  const std::string kTable = "#Designator#Qnty#Value\n#C1,C2#2#1u\n#R1#1#1k\n";
  const std::string kCsv =
      "\"Ref\",\"Qnty\",\"Value\",\n\n\"C1, C2 \",\"2\",\"1u\",\n\"R1\",\"1\",\"1k\",\n";
  const struct {
    std::string title;
    std::string kept;
  } kTitles[] = {
      {"", ""},
      {"Source:,D:\\Платы\\pult.sch\r\nDate:,\"Mon, 07 Dec 2026\"\r\nTool:,Eeschema 5.1.9\r\n"
       "Component Count:,3\r\n\r\n",
       "\"Source:\",\"D:\\Платы\\pult.sch\",\n\"Date:\",\"Mon, 07 Dec 2026\",\n"
       "\"Tool:\",\"Eeschema 5.1.9\",\n\"Component Count:\",\"3\",\n"},
      {"\"Source:\",\"Reference.sch\"\r\n,,\r\n\"Notes\"\r\n",
       "\"Source:\",\"Reference.sch\",\n\"Notes\",\n"},
  };
  for (const auto& title : kTitles) {
    SCOPED_TRACE(title.title);
    ASSERT_EQ(Read(title.title + kBody), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), kTable);
    EXPECT_EQ(converted_, title.kept + kCsv);
  }
}

// A KiCad table that is not whole is refused, the table emptied and the reason kept: a line whose
// designators fall short of its quantity or exceed it, a quantity that is no number, a line with
// no designator (a totals line), a second table's title read as two designators and no quantity,
// a value past the header's columns, a header and nothing after it.
TEST_F(KicadBomReportTest, IncompleteReportIsRefused) {
  const std::string kHeader = "\"Reference\",\"Qty\",\"Value\"\n";
  const struct {
    std::string rows;
    const char* reason;
  } kReports[] = {
      {"\"C1,C2\",\"3\",\"1u\"\n", "row 1: 2 designators listed for a quantity of 3"},
      {"\"C1\",\"2\",\"1u\"\n", "row 1: 1 designator listed for a quantity of 2"},
      {"\"R1\",\"1\",\"1k\"\n\n\"C1 C2 C3\",\"2\",\"1u\"\n",
       "row 3: 3 designators listed for a quantity of 2"},
      {"\"C1,C2\",\"\",\"1u\"\n", "row 1: 2 designators listed for a quantity of 0"},
      {"\"C1,C2\",\"2 шт.\",\"1u\"\n", "row 1: the quantity \"2 шт.\" is no whole number"},
      {"\"C1,C2\",\"2\",\"1u\"\n\"\",\"2\",\"Total\"\n", "row 2: no designator"},
      {"\"C1\",\"1\",\"1u\"\n\"Collated Components:\"\n",
       "row 2: 2 designators listed for a quantity of 0"},
      {"\"C1\",\"1\",\"1u\",\"extra\"\n", "row 1: a value under no column of the header"},
      {"", "no component line after the header line"},
  };
  for (const auto& report : kReports) {
    SCOPED_TRACE(report.rows);
    EXPECT_EQ(Read(kHeader + report.rows), ReadResult::kBadStructure);
    EXPECT_EQ(table_.GetRowCount(), 0);
    EXPECT_TRUE(attributes_.names.empty());
    EXPECT_EQ(attributes_.refusal, report.reason);
  }
  // An empty title names no column, and a value under it would be lost.
  EXPECT_EQ(Read("Ref,,Qnty\nR1,,1\n"), ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Designator#Qnty\n#R1#1\n");
  EXPECT_EQ(Read("Ref,,Qnty\nR1,x,1\n"), ReadResult::kBadStructure);
}

// Every report the window read before reads as it did: a layout of its own that gives components
// (OrCAD's "Reference" in a quoted CSV included), its refusals of tables that name no KiCad
// column, and a text without any table. The Protel and Cadence Allegro windows read no KiCad
// report.
TEST_F(KicadBomReportTest, ReadingsTheWindowHadStayAsTheyWere) {
  const struct {
    std::string report;
    Kind kind;
    const char* table;   // empty: refused
    const char* reason;  // of a refusal
  } kReadings[] = {
      {"\"Reference\",\"Quantity\"\r\n\"R3,R1,R2\",\"3\"\r\n", Kind::kAltiumDesigner,
       "#Reference#Quantity\n#R3,R1,R2#3\n", ""},
      {"Designator,Quantity,Comment\r\nR1 R2,2,10k\r\n", Kind::kAltiumDesigner, "",
       "the quantities add up to 2, the designators listed number 1"},
      {"Notes\r\nno table here\r\n", Kind::kAltiumDesigner, "", ""},
      {"\"Reference\",\"Qty\"\n\"R1\",\"1\"\n", Kind::kProtel, "",
       "no header line naming \"Quantity\"; the header found names its columns as other systems "
       "do"},
      {"Ref,Qnty\nR1,1\n", Kind::kProtel, "", ""},
      {"Ref,Qnty\nR1,1\n", Kind::kCadenceAllegro, "", ""},
  };
  for (const auto& reading : kReadings) {
    SCOPED_TRACE(reading.report);
    const ReadResult result = Read(reading.report, reading.kind);
    EXPECT_EQ(attributes_.refusal, reading.reason);
    if (*reading.reason != '\0') {
      EXPECT_EQ(result, ReadResult::kBadStructure);
      continue;
    }
    EXPECT_EQ(result, ReadResult::kLoaded);
    if (*reading.table == '\0')
      EXPECT_EQ(table_.GetRowCount(), 1);
    else
      EXPECT_EQ(Dump(), reading.table);
  }
}

}  // namespace
}  // namespace zuro::readers
