// What designers open by mistake or receive damaged: every reader takes it without a fault, and
// what it can read it reads whole.
#include <gtest/gtest.h>

#include "tests/table_text.h"
#include "tests/test_folder.h"

#include <functional>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "pdm/pdm_reader.h"
#include "readers/csv_conversion.h"
#include "readers/csv_reader.h"
#include "readers/designator_lists.h"
#include "readers/mentor_converter.h"
#include "readers/orcad_reader.h"
#include "readers/pcad_reader.h"
#include "table/grid_model.h"
#include "table/table_file.h"

namespace zuro {
namespace {

using readers::ReadResult;
using table::GridModel;

struct Reader {
  const char* name;
  const char* sample;  // a report of this reader's kind in samples/
  std::function<ReadResult(std::string_view, GridModel&)> read;
};

std::vector<Reader> Readers() {
  static readers::ReportAttributes attributes;
  static readers::OrcadReadOptions orcad;
  static pdm::PdmRowCounts counts;
  const auto csv = [](std::string_view text, GridModel& table) {
    return readers::ReadQuotedCsv(text, table, attributes);
  };
  return {
      {"pcad", "board.bom",
       [](std::string_view text, GridModel& table) {
         return readers::ReadReport(text, table, attributes);
       }},
      {"mentor", "board.lst",
       [](std::string_view text, GridModel& table) {
         return readers::ReadReport(readers::ConvertMentor(text), table, attributes);
       }},
      {"orcad", "board_orcad.bom",
       [](std::string_view text, GridModel& table) {
         return readers::ReadOrcadReport(text, table, attributes, orcad);
       }},
      {"orcad_fixed", "board_orcad_fixed.bom",
       [](std::string_view text, GridModel& table) {
         return readers::ReadOrcadReport(text, table, attributes, orcad);
       }},
      {"protel", "board.csv", csv},
      {"altium_csv", "board_altium.csv", csv},
      {"altium_text", "board_altium.txt",
       [csv](std::string_view text, GridModel& table) {
         return csv(readers::ConvertAltiumText(text), table);
       }},
      {"allegro_csv", "board_allegro.csv", csv},
      {"allegro_html", "board_allegro.htm",
       [csv](std::string_view text, GridModel& table) {
         return csv(readers::ConvertAllegroHtml(text), table);
       }},
      {"pdm", "board.bom",
       [](std::string_view text, GridModel& table) {
         return pdm::ReadPdmReport(text, table, attributes, counts);
       }},
      {"pdm_list", "board.lst",
       [](std::string_view text, GridModel& table) {
         return pdm::ReadPdmReport(pdm::ConvertMentorListForPdm(text), table, attributes, counts);
       }},
  };
}

std::string Sample(const char* name) {
  return testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + name);
}

// The bytes as a reader gets them from a file: UTF-8 recognised and turned into code page 1251.
std::string AsRead(std::string bytes) {
  return DecodeText(std::move(bytes)).text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// Bytes that make no report of any kind, or a report damaged beyond reading.
std::vector<std::pair<const char*, std::string>> Garbage() {
  std::string fields;
  for (int i = 0; i < 100000; ++i)
    fields += i % 3 == 0 ? "\"f\";" : i % 3 == 1 ? "f," : "f\t";
  std::string binary;
  for (int i = 0; i < 65536; ++i)
    binary += static_cast<char>((i * 7919) % 256);
  return {
      {"empty", ""},
      {"NULs", std::string(4096, '\0')},
      {"a 1 MB line", std::string(1 << 20, 'x') + "\r\n"},
      {"a 1 MB quoted field", "\"" + std::string(1 << 20, 'x') + "\"\r\n"},
      {"100 000 fields", fields + "\r\n" + fields},
      {"binary", binary},
      {"lone quote", "\""},
      {"bytes 1251 leaves unassigned", std::string(1000, '\x98')},
  };
}

// A report refused for its structure leaves an empty table; one read has its title row and
// stays within what the input could make.
void ExpectSane(ReadResult result, const GridModel& table, const std::string& input) {
  if (result == ReadResult::kBadStructure) {
    EXPECT_EQ(table.GetRowCount(), 0);
    return;
  }
  EXPECT_GE(table.GetRowCount(), 1);
  EXPECT_GE(table.GetColumnCount(), 1);
  EXPECT_LE(table.GetRowCount(), static_cast<int>(input.size()) + 2);
}

TEST(BadInputs, EveryReaderTakesGarbageWithoutAFault) {
  for (const Reader& reader : Readers()) {
    for (const auto& [what, bytes] : Garbage()) {
      SCOPED_TRACE(std::string(reader.name) + ": " + what);
      GridModel table;
      const std::string text = AsRead(bytes);
      ExpectSane(reader.read(text, table), table, text);
    }
  }
}

// Damage at the end of a good report loses nothing before it.
TEST(BadInputs, DamageAtTheEndKeepsTheRowsBeforeIt) {
  for (const Reader& reader : Readers()) {
    SCOPED_TRACE(reader.name);
    const std::string sample = AsRead(Sample(reader.sample));
    GridModel whole;
    ASSERT_EQ(reader.read(sample, whole), ReadResult::kLoaded);
    for (const std::string& tail :
         {std::string("\"R999;unterminated"), std::string("\""), std::string(1 << 16, '\0'),
          std::string("\r\n\r\n\r\n"), std::string(100000, ';')}) {
      GridModel damaged;
      const std::string text = sample + tail;
      EXPECT_EQ(reader.read(text, damaged), ReadResult::kLoaded);
      ExpectSane(ReadResult::kLoaded, damaged, text);
      EXPECT_GE(damaged.GetRowCount(), whole.GetRowCount() - 1);
      // The rows before the damage are the report's own.
      for (int row = 1; row < whole.GetRowCount() - 1; ++row)
        ASSERT_EQ(damaged.GetItemText(row, 1), whole.GetItemText(row, 1)) << row;
    }
  }
}

// A report saved as UTF-8, or with its line ends mixed by an editor (LF and CR LF), reads as the
// code page 1251 original does.
TEST(BadInputs, Utf8AndMixedLineEndsReadAsTheOriginal) {
  for (const Reader& reader : Readers()) {
    SCOPED_TRACE(reader.name);
    const std::string original = Sample(reader.sample);
    GridModel expected;
    ASSERT_EQ(reader.read(AsRead(original), expected), ReadResult::kLoaded);

    GridModel utf8;
    EXPECT_EQ(reader.read(AsRead(Cp1251ToUtf8(original)), utf8), ReadResult::kLoaded);
    EXPECT_EQ(testing_support::TableText(utf8), testing_support::TableText(expected));

    std::string mixed;
    int line = 0;
    for (const char c : Replaced(original, "\r\n", "\n")) {
      if (c == '\n' && line++ % 2 == 0)
        mixed += '\r';
      mixed += c;
    }
    GridModel mixed_table;
    EXPECT_EQ(reader.read(AsRead(mixed), mixed_table), ReadResult::kLoaded);
    EXPECT_EQ(testing_support::TableText(mixed_table), testing_support::TableText(expected));

    // A lone CR is no line end: it may join lines, and must do no harm.
    GridModel classic;
    const std::string cr_only = AsRead(Replaced(original, "\n", ""));
    ExpectSane(reader.read(cr_only, classic), classic, cr_only);

    // Bytes that code page 1251 leaves unassigned are kept as they are, wherever they stand.
    GridModel unassigned;
    const std::string odd = Replaced(original, "0805",
                                     "08\x98"
                                     "5");
    EXPECT_EQ(reader.read(odd, unassigned), ReadResult::kLoaded);
    EXPECT_EQ(unassigned.GetRowCount(), expected.GetRowCount());
  }
}

const char kPcadHeader[] = "\"Count\";\"RefDes\";\"Value\";\"Наименование\"\r\n";

std::string PcadRecord(const std::string& count, const std::string& designator) {
  return "\"" + count + "\";\"" + designator + "\";\"10 кОм\";\"Резистор\"\r\n";
}

TEST(BadInputs, TenThousandDesignatorsOfOneComponent) {
  std::string report = kPcadHeader;
  for (int i = 1; i <= 10000; ++i)
    report += PcadRecord(i == 1 ? "10000" : "", "R" + std::to_string(i));
  GridModel table;
  readers::ReportAttributes attributes;
  ASSERT_EQ(readers::ReadReport(report, table, attributes), ReadResult::kLoaded);
  ASSERT_EQ(table.GetRowCount(), 2);
  EXPECT_EQ(table.GetItemText(1, 1), "10000");
  EXPECT_EQ(table.GetItemText(1, 2), "R1...R10000");

  // The same component as one Protel line, its designators joined by commas.
  std::string designators;
  for (int i = 10000; i >= 1; --i)
    designators += "C" + std::to_string(i) + (i > 1 ? "," : "");
  EXPECT_EQ(readers::RewriteReferences(designators), "C1...C10000");
}

TEST(BadInputs, TwentyDigitNumbersInDesignatorsAndQuantities) {
  const std::string huge = "99999999999999999999";
  const std::string report = std::string(kPcadHeader) + PcadRecord(huge, "R" + huge) +
                             PcadRecord("", "R1" + huge) + PcadRecord("2", "C" + huge) +
                             PcadRecord("", "C12345678901234567890");
  GridModel table;
  readers::ReportAttributes attributes;
  ASSERT_EQ(readers::ReadReport(report, table, attributes), ReadResult::kLoaded);
  // The first record's count, saturated, makes every later record one of its parts; each
  // designator is kept as written, whatever its number.
  ASSERT_EQ(table.GetRowCount(), 2);
  const std::string list = table.GetItemText(1, 2);
  for (const std::string& designator :
       {"R" + huge, "R1" + huge, "C" + huge, std::string("C12345678901234567890")})
    EXPECT_NE(list.find(designator), std::string::npos) << designator << " in " << list;
  EXPECT_EQ(readers::ComponentQuantity(huge), readers::ComponentQuantity("9223372036854775807"));
}

TEST(BadInputs, AHundredThousandComponents) {
  std::string report = kPcadHeader;
  for (int i = 1; i <= 100000; ++i)
    report += PcadRecord("1", (i % 2 ? "R" : "C") + std::to_string(i));
  GridModel table;
  readers::ReportAttributes attributes;
  ASSERT_EQ(readers::ReadReport(report, table, attributes), ReadResult::kLoaded);
  EXPECT_EQ(table.GetRowCount(), 100001);
  EXPECT_EQ(table.GetItemText(100000, 2), "C100000");

  // Written as a table file and read back, it is the same table.
  std::string file;
  for (const std::string& line : table::TableFileText(table))
    file += line + "\r\n";
  GridModel again;
  std::vector<std::string> titles;
  table::ReadTableFile(file, again, titles);
  EXPECT_EQ(again.GetRowCount(), table.GetRowCount());
  EXPECT_EQ(again.GetItemText(100000, 2), "C100000");
}

TEST(BadInputs, TableFilesOfGarbage) {
  for (const auto& [what, bytes] : Garbage()) {
    SCOPED_TRACE(what);
    GridModel table;
    std::vector<std::string> titles;
    const std::string text = AsRead(bytes);
    table::ReadTableFile(text, table, titles);
    ExpectSane(ReadResult::kLoaded, table, text);
  }
}

}  // namespace
}  // namespace zuro
