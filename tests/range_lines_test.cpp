#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <string>
#include <vector>

#include "pdm/range_lines.h"
#include "table/grid_model.h"

namespace zuro::pdm {
namespace {

using Lines = std::vector<std::string>;

const std::string kE24 = "E24=10;11;12;13;15;16;18;20;22;24;27;30;33;36;39;43;47";
const std::string kE24Decades =
    "E24=1,0;1,1;1,2;1,3;1,5;1,6;1,8;2,0;2,2;2,4;2,7;3,0;3,3;3,6;3,9;4,3;4,7;5,1;5,6;6,2;6,8;7,5;"
    "8,2;9,1;10;11;12;13;15;16;18;20;22;24;27;30;33;36;39;43;47;51;56;62;68;75;82;91;100;110;120;"
    "130;150;160;180;200;220;240;270;300;330;360;390;430;470;510;560;620;680;750;820;910";
const std::vector<std::string> kNames = {"RefDes",  "Name",   "Value", "Unit",
                                         "Nominal", "*Range", "*E"};

// A resistor row of a report with every attribute the ranges need.
struct Row {
  std::string designation = "R5*";
  std::string name = "Резистор";
  std::string value = "22 кОм";
  std::string unit = "кОм";
  std::string nominal = "22";
  std::string range = "10 кОм...47 кОм";
  std::string series = "E24";

  RangeCells Cells() const {
    return ReadRangeCells(kNames, {designation, name, value, unit, nominal, range, series});
  }
  // The object line that the attribute templates compose for the row.
  std::string Line() const {
    const std::string title = name + " " + value;
    return title + "#Наименование=" + title + ";Количество=1;Номинал=" + nominal +
           ";Абсолютная величина=" + AbsoluteValueText(DecimalValue(nominal) * 1000) + ";\n";
  }
};

RangeLines Apply(const Row& row,
                 std::vector<std::string> marks = {"*"},
                 const std::string& series = kE24,
                 float sko = 1) {
  const ValueRangeStep step(SeriesTable::FromLines({series}), sko, std::move(marks));
  return step.Apply(row.Line(), row.Cells());
}

// An extra line of a resistor row: its value text, quantity, nominal and absolute value.
std::string ResistorLine(const std::string& value,
                         const std::string& quantity,
                         const std::string& nominal,
                         const std::string& absolute) {
  return "Резистор " + value + "#Наименование=Резистор " + value + ";Количество=" + quantity +
         ";Номинал=" + nominal + ";Абсолютная величина=" + absolute + ";\n";
}

std::string Warning(const std::string& object_name) {
  return "Для компонента " + object_name + " границы диапазона выходят за границы ряда";
}

TEST(RangeLinesTest, TwoNeighboursOfTheNominalShareOneHalfEach) {
  Row row;
  row.range = "20 кОм...24 кОм";
  const RangeLines lines = Apply(row);
  EXPECT_EQ(lines.object_line,
            "Резистор 22 кОм <20 кОм...24 кОм> <E24>#Наименование=Резистор 22 кОм;Количество=1;"
            "Номинал=22;Абсолютная величина=2.200000e+04;\n");
  EXPECT_EQ(lines.extra_lines, (Lines{ResistorLine("20 кОм", "0.50", "20", "2.000000e+04"),
                                      ResistorLine("24 кОм", "0.50", "24", "2.400000e+04")}));
  EXPECT_TRUE(lines.warnings.empty());
}

TEST(RangeLinesTest, SeventeenMembersGiveSixteenLines) {
  const RangeLines lines = Apply(Row{});
  EXPECT_EQ(lines.object_line.substr(0, lines.object_line.find('#')),
            "Резистор 22 кОм <10 кОм...47 кОм> <E24>");
  ASSERT_EQ(lines.extra_lines.size(), 16u);
  EXPECT_EQ(lines.extra_lines[0], ResistorLine("10 кОм", "0.09", "10", "1.000000e+04"));
  EXPECT_EQ(lines.extra_lines[7], ResistorLine("20 кОм", "0.32", "20", "2.000000e+04"));
  EXPECT_EQ(lines.extra_lines[8], ResistorLine("24 кОм", "0.32", "24", "2.400000e+04"));
  EXPECT_EQ(lines.extra_lines[15].substr(0, 16), "Резистор 47 кОм#");
  for (const std::string& line : lines.extra_lines) {
    EXPECT_EQ(line.find("22 кОм"), std::string::npos) << line;
    EXPECT_NE(line.find(";Количество=0."), std::string::npos) << line;
  }
  EXPECT_TRUE(lines.warnings.empty());
}

TEST(RangeLinesTest, NominalBetweenSeriesValuesGivesTheNearestALineToo) {
  Row row;
  row.value = "22,5 кОм";
  row.nominal = "22,5";
  row.range = "20 кОм...24 кОм";
  const RangeLines lines = Apply(row);
  EXPECT_EQ(lines.extra_lines, (Lines{ResistorLine("20 кОм", "0.33", "20", "2.000000e+04"),
                                      ResistorLine("22 кОм", "0.33", "22", "2.200000e+04"),
                                      ResistorLine("24 кОм", "0.33", "24", "2.400000e+04")}));
  EXPECT_EQ(Apply(Row{.value = "22,5 кОм", .nominal = "22,5"}).extra_lines.size(), 17u);
}

TEST(RangeLinesTest, RangeBelowTheSeriesWarnsAndAddsNoLine) {
  Row row;
  row.range = "5 кОм...22 кОм";
  const RangeLines lines = Apply(row);
  const std::string name = "Резистор 22 кОм <5 кОм...22 кОм> <E24>";
  EXPECT_EQ(lines.object_line, name + row.Line().substr(row.Line().find('#')));
  EXPECT_TRUE(lines.extra_lines.empty());
  EXPECT_EQ(lines.warnings, Lines{Warning(name)});
}

TEST(RangeLinesTest, NoSeriesValuesWarn) {
  // A series that bom.ini does not list; a range without "..."; a range in one character.
  Row unknown;
  unknown.series = "E7";
  EXPECT_EQ(Apply(unknown).warnings, Lines{Warning("Резистор 22 кОм <10 кОм...47 кОм> <E7>")});
  Row no_dots;
  no_dots.range = "10 кОм - 47 кОм";
  EXPECT_EQ(Apply(no_dots).warnings.size(), 1u);
  Row dash;
  dash.range = "-";
  EXPECT_EQ(Apply(dash).warnings, Lines{Warning("Резистор 22 кОм <-> <E24>")});
  EXPECT_TRUE(Apply(dash).extra_lines.empty());
}

TEST(RangeLinesTest, MissingSeriesFileWarns) {
  testing_support::TestFolder folder("range_lines");
  PdmSettings settings;
  settings.adjustment_marks = {"*"};
  const Row row;
  RangeLines lines =
      ValueRangeStep::ForCreate(folder.path(), settings).Apply(row.Line(), row.Cells());
  EXPECT_EQ(lines.warnings.size(), 1u);
  EXPECT_TRUE(lines.extra_lines.empty());

  folder.Write("bom.ini", "E6=10;15;22;33;47\r\n" + kE24 + "\r\n");
  lines = ValueRangeStep::ForCreate(folder.path(), settings).Apply(row.Line(), row.Cells());
  EXPECT_TRUE(lines.warnings.empty());
  EXPECT_EQ(lines.extra_lines.size(), 16u);
  // A wider distribution gives the far members more.
  settings.sko = 4;
  lines = ValueRangeStep::ForCreate(folder.path(), settings).Apply(row.Line(), row.Cells());
  EXPECT_NE(lines.extra_lines[0].find("Количество=0.08"), std::string::npos)
      << lines.extra_lines[0];
}

TEST(RangeLinesTest, MarkInTheFirstPlaceNamesTheRangeEmptyAndWarns) {
  Row row;
  row.designation = "*R1";
  const RangeLines lines = Apply(row);
  EXPECT_EQ(lines.object_line.substr(0, lines.object_line.find('#')), "Резистор 22 кОм <> <E24>");
  EXPECT_TRUE(lines.extra_lines.empty());
  EXPECT_EQ(lines.warnings, Lines{Warning("Резистор 22 кОм <> <E24>")});
}

TEST(RangeLinesTest, RowsWithoutAMarkStayAsTheyAre) {
  Row row;
  row.designation = "R5";
  for (const std::vector<std::string>& marks :
       {std::vector<std::string>{"*"}, std::vector<std::string>{}}) {
    const RangeLines lines = Apply(row, marks);
    EXPECT_EQ(lines.object_line, row.Line());
    EXPECT_TRUE(lines.extra_lines.empty());
    EXPECT_TRUE(lines.warnings.empty());
  }
  // No marks at all: a marked designation is no adjustable component either.
  row.designation = "R5*";
  EXPECT_EQ(Apply(row, {}).object_line, row.Line());
}

TEST(RangeLinesTest, ListEndingWithSemicolonMakesEveryComponentAdjustable) {
  const std::vector<std::string> marks = AdjustmentMarks("*;");
  Row row;
  row.designation = "R7";
  row.range = "20 кОм...24 кОм";
  RangeLines lines = Apply(row, marks);
  EXPECT_EQ(lines.extra_lines.size(), 2u);
  EXPECT_TRUE(lines.warnings.empty());
  // A component without a range warns once per mark its designation contains.
  row.range = "";
  lines = Apply(row, marks);
  EXPECT_EQ(lines.object_line.substr(0, lines.object_line.find('#')), "Резистор 22 кОм <> <E24>");
  EXPECT_EQ(lines.warnings.size(), 1u);
  row.designation = "R9*";
  EXPECT_EQ(Apply(row, marks).warnings, Lines(2, Warning("Резистор 22 кОм <> <E24>")));
}

TEST(RangeLinesTest, ReportWithoutTheRangeAttributesWarnsForMarkedRows) {
  const Row row;
  for (const std::vector<std::string>& names :
       {std::vector<std::string>{"RefDes", "Name", "Value", "Unit", "Nominal", "Range", "*E"},
        std::vector<std::string>{"RefDes", "Name", "Value", "Unit", "Nominal", "*Range", "E"},
        std::vector<std::string>{"RefDes", "Name", "Wert", "Unit", "Nominal", "*Range", "*E"}}) {
    const RangeCells cells = ReadRangeCells(names, {row.designation, row.name, row.value, row.unit,
                                                    row.nominal, row.range, row.series});
    EXPECT_FALSE(cells.report_has_range);
    const ValueRangeStep step(SeriesTable::FromLines({kE24}), 1, {"*"});
    const RangeLines lines = step.Apply(row.Line(), cells);
    EXPECT_TRUE(lines.extra_lines.empty());
    EXPECT_EQ(lines.warnings.size(), 1u) << names[5] << names[6];
  }
}

TEST(RangeLinesTest, RangeAcrossAChangeOfUnit) {
  Row row;
  row.value = "1 кОм";
  row.nominal = "1";
  row.range = "470 Ом...2,2 кОм";
  const RangeLines lines = Apply(row, {"*"}, kE24Decades);
  EXPECT_TRUE(lines.warnings.empty());
  // 1,0...2,2 kOhm and 470...910 Ohm; 1,0 is the nominal and gives no line.
  ASSERT_EQ(lines.extra_lines.size(), 16u);
  EXPECT_EQ(lines.extra_lines[0], ResistorLine("1,1 кОм", "0.34", "1,1", "1.100000e+03"));
  EXPECT_EQ(lines.extra_lines[7], ResistorLine("2,2 кОм", "0.11", "2,2", "2.200000e+03"));
  EXPECT_EQ(lines.extra_lines[8], ResistorLine("470 Ом", "0.11", "470", "4.700000e+02"));
  EXPECT_EQ(lines.extra_lines[15].substr(0, 16), "Резистор 910 Ом#");
}

// A range without units takes the row's unit; its prefix scales the absolute value, micro too.
TEST(RangeLinesTest, RangeWithoutUnitsTakesTheRowsUnit) {
  Row row;
  row.name = "Конденсатор";
  row.value = "1,5 мкФ";
  row.unit = "мкФ";
  row.nominal = "1,5";
  row.range = "(1,0...2,2)";
  const std::string line =
      "Конденсатор 1,5 мкФ#Наименование=Конденсатор 1,5 мкФ;Количество=1;Номинал=1,5;"
      "Абсолютная величина=1.500000e-06;\n";
  const ValueRangeStep step(SeriesTable::FromLines({kE24Decades}), 1, {"*"});
  const RangeLines lines = step.Apply(line, row.Cells());
  EXPECT_EQ(lines.object_line.substr(0, lines.object_line.find('#')),
            "Конденсатор 1,5 мкФ <(1,0...2,2)> <E24>");
  ASSERT_EQ(lines.extra_lines.size(), 8u);
  EXPECT_EQ(lines.extra_lines[0],
            "Конденсатор 1,0 мкФ#Наименование=Конденсатор 1,0 мкФ;Количество=0.06;Номинал=1,0;"
            "Абсолютная величина=1.000000e-06;\n");
  EXPECT_EQ(lines.extra_lines[7].substr(0, lines.extra_lines[7].find('#')), "Конденсатор 2,2 мкФ");
  EXPECT_NE(lines.extra_lines[7].find("Абсолютная величина=2.200000e-06;"), std::string::npos);
}

TEST(RangeLinesTest, OnlyWholeQuantityAndNominalValuesAreReplaced) {
  Row row;
  row.range = "20 кОм...24 кОм";
  const std::string line =
      "Резистор 22 кОм#Наименование=Резистор 22 кОм;Количество=12;Номинал=220;Количество=1;"
      "Номинал=22;Примечание=22 кОм и 22 кОм;Абсолютная величина=2.200000e+04;\n";
  const ValueRangeStep step(SeriesTable::FromLines({kE24}), 1, {"*"});
  EXPECT_EQ(step.Apply(line, row.Cells()).extra_lines[0],
            "Резистор 20 кОм#Наименование=Резистор 20 кОм;Количество=12;Номинал=220;"
            "Количество=0.50;Номинал=20;Примечание=20 кОм и 20 кОм;"
            "Абсолютная величина=2.000000e+04;\n");
}

TEST(RangeLinesTest, OddObjectLines) {
  Row row;
  row.range = "20 кОм...24 кОм";
  const ValueRangeStep step(SeriesTable::FromLines({kE24}), 1, {"*"});
  // No absolute value: nothing to write anew. No LF: the line gets one.
  EXPECT_EQ(step.Apply("Резистор 22 кОм#Количество=1;", row.Cells()).extra_lines[0],
            "Резистор 20 кОм#Количество=0.50;\n");
  EXPECT_EQ(step.Apply("Резистор#", row.Cells()).object_line,
            "Резистор <20 кОм...24 кОм> <E24>#\n");
  // An empty value text replaces nothing.
  row.value = "";
  EXPECT_EQ(step.Apply("Резистор#Количество=1;", row.Cells()).extra_lines[1],
            "Резистор#Количество=0.50;\n");
}

TEST(RangeCellsTest, CellsFoundByTheirAttributeNames) {
  const std::vector<std::string> names = {"Е",        "RefDes", "Nominal value", "*Range 1",
                                          "*E",       "Value",  "Unit",          "*Е",
                                          "RefDes 2", "Values"};
  const std::vector<std::string> cells = {"E6",  "R1*",     "4,7", "4,7...10",
                                          "E12", "4,7 кОм", "кОм", "E24"};
  const RangeCells read = ReadRangeCells(names, cells);
  EXPECT_EQ(read.designation, "R1*");
  EXPECT_EQ(read.nominal, "4,7");
  EXPECT_EQ(read.range, "4,7...10");
  // The last series attribute counts, here the Cyrillic "*Е".
  EXPECT_EQ(read.series, "E24");
  EXPECT_EQ(read.value, "4,7 кОм");
  EXPECT_EQ(read.unit, "кОм");
  EXPECT_TRUE(read.report_has_range);
  EXPECT_FALSE(ReadRangeCells({"Value", "*Range"}, {}).report_has_range);
  EXPECT_TRUE(ReadRangeCells({"Values", "*Range", "X*Е"}, {}).report_has_range);
}

TEST(RangeCellsTest, FromATableRow) {
  table::GridModel table(3, 4, 1, 1);
  table.SetItemText(2, 1, "R3*");
  table.SetItemText(2, 2, "20...24");
  table.SetItemText(2, 3, "E24");
  const RangeCells read = ReadRangeCells(table, 2, {"RefDes", "*Range", "*E", "Value"});
  EXPECT_EQ(read.designation, "R3*");
  EXPECT_EQ(read.range, "20...24");
  EXPECT_EQ(read.series, "E24");
  EXPECT_EQ(read.value, "");
  EXPECT_TRUE(read.report_has_range);
}

TEST(UnitPrefixTest, FactorsOfThePrefixes) {
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("МОм"), 1e6);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("кОм"), 1e3);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("мкФ"), 1e-6);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("мГн"), 1e-3);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("нФ"), 1e-9);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("пФ"), 1e-12);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor("Ом"), 1);
  EXPECT_DOUBLE_EQ(UnitPrefixFactor(""), 1);
  EXPECT_EQ(AbsoluteValueText(2200), "2.200000e+03");
  EXPECT_EQ(AbsoluteValueText(0), "0.000000e+00");
}

}  // namespace
}  // namespace zuro::pdm
