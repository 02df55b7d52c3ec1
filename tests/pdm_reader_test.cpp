// The PDM window's reading: placed parts as rows, electrical items before assembly units, each
// numbered within its kind; and a Mentor list rewritten as one record per placed part.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "pdm/pdm_reader.h"
#include "table/component_rows.h"
#include "tests/table_text.h"

namespace zuro::pdm {
namespace {

struct Read {
  table::GridModel table;
  readers::ReportAttributes attributes;
  PdmRowCounts counts;
  readers::ReadResult result;

  explicit Read(std::string_view text) { result = ReadPdmReport(text, table, attributes, counts); }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int row = 1; row < table.GetRowCount(); ++row)
      cells.push_back(table.GetItemText(row, column));
    return cells;
  }
};

const std::string kHeader = "\"Count\";\"RefDes\";\"Name\";\"Раздел\"\r\n";

TEST(PdmReaderTest, ItemsFirstThenAssemblyUnitsEachNumberedAndMarked) {
  const Read read(kHeader +
                  "\"2\";\"R1\";\"Резистор\";\"Прочие изделия\"\r\n"
                  "\"1\";\"A1\";\"Плата\";\"Сборочные единицы\"\r\n"
                  "\"\";\"R2\";\"Резистор\";\"Прочие изделия\"\r\n"
                  "\"1\";\"C1\";\"Конденсатор\";\"Прочие изделия\"\r\n");
  ASSERT_EQ(read.result, readers::ReadResult::kLoaded);
  EXPECT_EQ(read.Column(0),
            (std::vector<std::string>{"ЭРИ(1/3)", "ЭРИ(2/3)", "ЭРИ(3/3)", "СЕ(1/1)"}));
  EXPECT_EQ(read.Column(2), (std::vector<std::string>{"R1", "R2", "C1", "A1"}));
  // Every row is one piece.
  EXPECT_EQ(read.Column(1), (std::vector<std::string>{"1", "1", "1", "1"}));
  EXPECT_EQ(read.counts.items, 3);
  EXPECT_EQ(read.counts.units, 1);
  for (int row = 1; row < read.table.GetRowCount(); ++row)
    EXPECT_EQ(read.table.GetItemImage(row, 0), table::kMarked);
  EXPECT_EQ(read.attributes.names, (std::vector<std::string>{"Count", "RefDes", "Name", "Раздел"}));
  EXPECT_EQ(read.attributes.refdes_column, 2);
}

// A quantity with a dash after its first character ("1-2") is no electrical item; a dash alone
// is one. An empty value keeps its column, and a blank line is no part.
TEST(PdmReaderTest, DashedQuantitiesBlankLinesAndEmptyValues) {
  const Read read("\"Плата индикации\"\r\n" + kHeader +
                  "\"1-2\";\"R1\";\"Резистор\";\"\"\r\n"
                  "\"-\";\"R2\";\"Резистор\";\"\"\r\n"
                  "\r\n"
                  "\"1\";\"\";\"\";\"Прочие\"\r\n"
                  "\"1-2\";\"A1\";\"Плата\";\"Сборочные единицы\"\r\n");
  EXPECT_EQ(read.Column(0), (std::vector<std::string>{"ЭРИ(1/2)", "ЭРИ(2/2)", "СЕ(1/1)"}));
  EXPECT_EQ(read.Column(2), (std::vector<std::string>{"R2", "", "A1"}));
  EXPECT_EQ(read.Column(4), (std::vector<std::string>{"", "Прочие", "Сборочные единицы"}));
}

// A record broken inside a value is joined with its much shorter rest; a following line of
// about its own length is a record of its own.
TEST(PdmReaderTest, BrokenRecordsJoinOnlyTheirShortRest) {
  const Read read(kHeader +
                  "\"1\";\"R1\";\"Резистор С2-33 0,125 Вт\";\"Прочие\n"
                  "изделия\"\r\n"
                  "\"1\";\"R2\";\"Резистор С2-33 0,125\";\"Прочие\r\n"
                  "\"1\";\"R3\";\"Резистор\";\"Прочие изделия\"\r\n");
  EXPECT_EQ(read.Column(2), (std::vector<std::string>{"R1", "R2", "R3"}));
  EXPECT_EQ(read.table.GetItemText(1, 4), "Прочиеизделия");
  EXPECT_EQ(read.table.GetItemText(2, 4), "Прочие");
  EXPECT_EQ(read.table.GetItemText(3, 4), "Прочие изделия");
}

// The next line is a broken record's rest when it is at least ten characters shorter (line
// feeds counted); nine shorter, it is a line of its own.
TEST(PdmReaderTest, RestIsJoinedFromTenCharactersShorter) {
  const std::string broken = "\"1\";\"R1\";\"Резистор С2-33\";\"Прочие\n";
  ASSERT_EQ(broken.size(), 34u);
  for (const auto& [shorter, joined] :
       std::vector<std::pair<size_t, bool>>{{9, false}, {10, true}, {11, true}}) {
    const std::string rest = std::string(broken.size() - shorter - 2, 'x');
    const Read read(kHeader + broken + rest + "\"\n");
    EXPECT_EQ(read.table.GetRowCount() - 1, joined ? 1 : 2) << shorter;
    EXPECT_EQ(read.table.GetItemText(1, 4), joined ? "Прочие" + rest : "Прочие") << shorter;
  }
}

// What follows a record's last quote is no value: a ";" before the line's end, or the end of the
// file with no line feed at all. A record shorter than the header leaves the last columns empty.
TEST(PdmReaderTest, NothingAfterTheLastQuoteTakesAColumn) {
  const Read read("\"Count\";\"RefDes\";\"Name\";\"Раздел\";\"Примечание\"\r\n"
                  "\"1\";\"R1\";\"Резистор\";\"Прочие\";\n"
                  "\"1\";\"R2\";\"Резистор\";\"Прочие\";\r\n"
                  "\"1\";\"R3\";\"Резистор\";\"Прочие\"");
  EXPECT_EQ(read.Column(2), (std::vector<std::string>{"R1", "R2", "R3"}));
  EXPECT_EQ(read.Column(4), (std::vector<std::string>{"Прочие", "Прочие", "Прочие"}));
  EXPECT_EQ(read.Column(5), (std::vector<std::string>{"", "", ""}));
}

TEST(PdmReaderTest, FirstLineWithoutQuoteIsNoReport) {
  const Read read("Count;RefDes\r\n1;R1\r\n");
  EXPECT_EQ(read.result, readers::ReadResult::kBadStructure);
  EXPECT_EQ(read.table.GetRowCount(), 0);
  EXPECT_EQ(read.counts.items + read.counts.units, 0);
}

TEST(PdmReaderTest, MentorListIsKnownByItsEndingOnly) {
  EXPECT_TRUE(IsMentorListPath("/home/d/board.lst"));
  EXPECT_TRUE(IsMentorListPath("C:\\boards\\BOARD.LST"));
  EXPECT_FALSE(IsMentorListPath("C:\\lst-files\\board.bom"));
  EXPECT_FALSE(IsMentorListPath("/work/lst/board.lst.bom"));
  EXPECT_FALSE(IsMentorListPath("lst"));
}

// Each designator of a list line becomes a placed part of quantity 1; the names stay the list's,
// "RefDes" also marks a header, and lines before the header are no parts. The quantity column
// says "1" wherever it stands: a list beginning with its designators keeps them.
TEST(PdmReaderTest, MentorListGivesOnePartPerDesignator) {
  const std::string list =
      "Board parts 2026-12-08\r\n"
      "RefDes;QTY;Name\r\n"
      "R1,R2,R3;3;Резистор\r\n"
      "C1;1;Конденсатор\r\n"
      "A1;1;Плата Сборочные единицы\r\n";
  const std::string report = ConvertMentorListForPdm(list);
  const Read read(report);
  EXPECT_EQ(read.attributes.names, (std::vector<std::string>{"RefDes", "QTY", "Name"}));
  EXPECT_EQ(read.Column(1), (std::vector<std::string>{"R1", "R2", "R3", "C1", "A1"}));
  EXPECT_EQ(read.Column(2), (std::vector<std::string>{"1", "1", "1", "1", "1"}));
  EXPECT_EQ(read.Column(0),
            (std::vector<std::string>{"ЭРИ(1/4)", "ЭРИ(2/4)", "ЭРИ(3/4)", "ЭРИ(4/4)", "СЕ(1/1)"}));
}

// A line that lists no designator gives a part for each piece of its quantity, a thousand at most.
TEST(PdmReaderTest, MentorLineWithoutDesignatorsGivesAThousandPartsAtMost) {
  for (const auto& [quantity, parts] : std::vector<std::pair<std::string, size_t>>{
           {"3", 3}, {"1000", 1000}, {"1001", 1000}, {"99999999999999999999", 1000}}) {
    SCOPED_TRACE(quantity);
    const Read read(
        ConvertMentorListForPdm("RefDes;QTY;Name\r\n;" + quantity + ";Винт\r\nR1;1;Резистор\r\n"));
    const std::vector<std::string> names = read.Column(3);
    ASSERT_EQ(names.size(), parts + 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Винт"), static_cast<long>(parts));
    EXPECT_EQ(names.back(), "Резистор");
  }
}

}  // namespace
}  // namespace zuro::pdm
