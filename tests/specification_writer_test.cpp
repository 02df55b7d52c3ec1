// The specification writer: the order the work database gives its records (component, then power
// and voltage within 0.001, then the nominal value scaled by its unit), the text output, and the
// part library id a record takes: found by its designators among the table's "RefDes" cells,
// whole designators only, else the item's own when it is written at once.
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "generation/generation_run.h"
#include "generation/specification.h"
#include "automation/host_objects.h"
#include "standin/sim_host.h"

namespace zuro::generation {
namespace {

// A table below its heading row, with the attributes named as a report names them, and the host's
// graphic document to write into.
class SpecificationWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.OpenGraphicDocument();
    graphic_ = application_.ActiveGraphicDocument();
  }

  void Fill(const std::vector<std::string>& names,
            const std::vector<std::vector<std::string>>& rows) {
    attributes_.names = names;
    table_.SetColumnCount(static_cast<int>(names.size()) + 1);
    table_.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c)
        table_.SetItemText(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
    }
  }
  // "RefDes" and "ID PartLib" cells, as the P-CAD reader leaves them; a report without "RefDes"
  // keeps the ids alone.
  void FillPartLibraries(const std::vector<std::pair<std::string, std::string>>& rows,
                         bool with_refdes) {
    std::vector<std::vector<std::string>> cells;
    for (const auto& [designators, id] : rows)
      cells.push_back({designators, id});
    Fill({"RefDes", "ID PartLib"}, cells);
    attributes_.refdes_column = with_refdes ? 1 : -1;
    attributes_.partlib_column = 2;
  }

  static ItemTexts Item(const std::string& name,
                        const std::string& designators,
                        const std::string& part_library_id = "") {
    ItemTexts item;
    item.spec_name = name;
    item.count = "1";
    item.designators = designators;
    item.part_library_id = part_library_id;
    return item;
  }
  const std::vector<standin::SimObject>& Objects() const {
    return host_.ActiveGraphicDocument()->objects;
  }
  static std::string Text(const standin::SimObject& object, int32_t column) {
    for (const standin::SimColumnValue& value : object.columns) {
      if (value.column == column)
        return value.text;
    }
    return "<none>";
  }

  testing_support::TestFolder files_{"specification"};
  table::GridModel table_;
  readers::ReportAttributes attributes_;
  standin::SimHost host_;
  automation::ZentarObject application_{host_.Application()};
  automation::GraphicDocument graphic_;
  automation::SpecDocument spec_;
  automation::ModelDocument model_;
  automation::SpecStyleColumns columns_;
  const SpecTarget target_{{application_, graphic_, spec_},
                           model_,
                           columns_,
                           OutputDevice::kGraphic};
};

TEST_F(SpecificationWriterTest, RecordsFindTheRowHoldingTheirWholeDesignators) {
  FillPartLibraries({{"A1", "PL-9001"},
                     {"DA1", "PL-4117"},
                     {"R1...R5,R7...R9", "PL-1103"},
                     {"R6", "PL-1102"},
                     {"C1...C10", "PL-2104"},
                     {"C21,C22", "PL-2105"},
                     {"R6,R60", "PL-1106"}},
                    true);
  const PartLibraryLookup lookup(table_, attributes_);
  EXPECT_EQ(lookup.Find("A1"), "PL-9001");  // not the end of DA1, a later row
  EXPECT_EQ(lookup.Find("DA1"), "PL-4117");
  EXPECT_EQ(lookup.Find("R1...R5,\nR7...R9"), "PL-1103");
  EXPECT_EQ(lookup.Find("R7...R9"), "PL-1103");
  EXPECT_EQ(lookup.Find("R6"), "PL-1106");  // the last row holding it
  EXPECT_EQ(lookup.Find("R60"), "PL-1106");
  EXPECT_EQ(lookup.Find("C1...C10,\nC21,C22"), "");  // merged rows: no one row holds them all
  EXPECT_EQ(lookup.Find("R16"), "");
  EXPECT_EQ(lookup.Find("1"), "");

  FillPartLibraries({{"A1", "PL-9001"}}, false);
  EXPECT_EQ(PartLibraryLookup(table_, attributes_).Find("A1"), "");
}

// The lookup against the rule in its plainest form, every row read from the last: lists of a few
// designators from a small set (so that lists overlap, repeat, and hold one another), ranges,
// line feeds, empty entries.
TEST_F(SpecificationWriterTest, LookupAgreesWithReadingEveryRow) {
  const auto compared = [](std::string text) {
    std::erase(text, '\n');
    for (size_t at; (at = text.find("...")) != std::string::npos;)
      text.replace(at, 3, ",");
    return text + ",";
  };
  std::mt19937 random(11);
  const std::vector<std::string> names = {"R1", "R11", "R2", "DA1", "A1", "C1", ""};
  const auto list = [&] {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < count; ++i) {
      if (i > 0)
        text += random() % 4 == 0 ? "..." : (random() % 3 == 0 ? ",\n" : ",");
      text += names[random() % names.size()];
    }
    return text;
  };
  for (int round = 0; round < 30; ++round) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < 12; ++row)
      rows.emplace_back(list(), "PL-" + std::to_string(row));
    FillPartLibraries(rows, true);
    const PartLibraryLookup lookup(table_, attributes_);
    for (int query = 0; query < 60; ++query) {
      const std::string wanted = list();
      std::string expected;
      for (size_t i = rows.size(); i-- > 0 && expected.empty();) {
        const std::string row = compared(rows[i].first);
        const std::string key = compared(wanted);
        for (size_t at = row.find(key); at != std::string::npos; at = row.find(key, at + 1)) {
          if (at == 0 || row[at - 1] == ',') {
            expected = rows[i].second;
            break;
          }
        }
      }
      ASSERT_EQ(lookup.Find(wanted), expected) << "round " << round << ": \"" << wanted << "\"";
    }
  }
}

// The windows that write in table order have no "RefDes" column to search: each object takes its
// item's own id, and a record of an item without one gets none.
TEST_F(SpecificationWriterTest, ItemsWrittenAtOnceKeepTheirOwnId) {
  FillPartLibraries({{"VD1,VD2", "PL-3148"}, {"X1", ""}}, false);
  SpecificationRun run(table_, attributes_, target_, nullptr);
  run.WriteNow(Item("Диод LL4148", "VD1,VD2", "PL-3148"));
  run.WriteNow(Item("Розетка DB-9F", "X1"));
  ASSERT_EQ(Objects().size(), 2u);
  ASSERT_GT(columns_.part_library, 0);
  EXPECT_EQ(Text(Objects()[0], columns_.part_library), "PL-3148");
  EXPECT_EQ(Text(Objects()[1], columns_.part_library), "");
}

// Components in the database's text order; within one, powers closer than 0.001 are one power,
// then voltages, then nominal values scaled by the unit's first letters (case counts: "М" mega,
// "м" milli, "мк" micro).
TEST_F(SpecificationWriterTest, SortedByComponentPowerVoltageAndValue) {
  Fill({"TypeElement", "Name", "Nominal", "Unit", "Watt", "Volt"},
       {{"Резистор", "С2-33", "4,7", "кОм", "0,25", ""},
        {"Резистор", "С2-33", "470", "Ом", "0,2505", ""},
        {"Резистор", "С2-33", "1", "МОм", "0,25", ""},
        {"Резистор", "С2-33", "10", "Ом", "0,252", ""},
        {"Конденсатор", "К10", "1", "мФ", "", "50"},
        {"Конденсатор", "К10", "100", "мкФ", "", "50"},
        {"Конденсатор", "К10", "22", "пФ", "", "16"},
        {"Конденсатор", "К10", "2", "нФ", "", "50,0004"}});
  SpecificationRun run(table_, attributes_, target_, nullptr);
  ASSERT_TRUE(run.OpenWorkTables(files_.path())) << run.LastError();
  const char* const names[] = {"R 4,7 кОм", "R 470 Ом",  "R 1 МОм", "R 10 Ом",
                               "C 1 мФ",    "C 100 мкФ", "C 22 пФ", "C 2 нФ"};
  for (int row = 1; row <= 8; ++row)
    run.Collect(Item(names[row - 1], "X" + std::to_string(row)), row);
  ASSERT_TRUE(run.SortAndWrite()) << run.LastError();
  ASSERT_TRUE(run.Close());

  std::vector<std::string> written;
  for (const standin::SimObject& object : Objects())
    written.push_back(Text(object, 5));
  EXPECT_EQ(written, (std::vector<std::string>{"C 22 пФ", "C 2 нФ", "C 100 мкФ", "C 1 мФ",
                                               "R 470 Ом", "R 4,7 кОм", "R 1 МОм", "R 10 Ом"}));
}

// In text output the records become lines after the header, the name on one line, the
// designators as joined; the host gets nothing.
TEST_F(SpecificationWriterTest, TextOutputHasAHeaderAndOneLineARecord) {
  std::string text;
  SpecificationRun run(table_, attributes_, target_, &text);
  ItemTexts item = Item("Конденсатор К10 ОЖО.460.107 ТУ", "C1,C2");
  item.count = "2";
  item.standard = "ОЖО.460.107 ТУ";
  run.WriteNow(item);
  run.WriteNow(Item("Резистор", "R1,\nR2,\nR3"));
  EXPECT_EQ(text,
            "Наименование;Количество;Примечание\n"
            "Конденсатор К10 ОЖО.460.107 ТУ;2;C1,C2\n"
            "Резистор;1;R1,\nR2,\nR3\n");
  EXPECT_TRUE(Objects().empty());
}

// The supply document goes on a line of its own when the name holds it after its start, unless
// the name has a line break already.
TEST(BreakBeforeDocumentTest, OnlyWhereTheNameHoldsTheDocumentAfterItsStart) {
  const std::string document = "ОЖО.467.081 ТУ";
  const std::pair<std::string, std::string> cases[] = {
      {"Резистор С2-23 ОЖО.467.081 ТУ", "Резистор С2-23 \nОЖО.467.081 ТУ"},
      {"ОЖО.467.081 ТУ резистор", "ОЖО.467.081 ТУ резистор"},
      {"Резистор\nС2-23 ОЖО.467.081 ТУ", "Резистор\nС2-23 ОЖО.467.081 ТУ"},
      {"Резистор С2-23", "Резистор С2-23"}};
  for (const auto& [name, broken] : cases) {
    std::string text = name;
    BreakBeforeDocument(text, document);
    EXPECT_EQ(text, broken);
  }
  std::string text = "Резистор";
  BreakBeforeDocument(text, "");
  EXPECT_EQ(text, "Резистор");
}

}  // namespace
}  // namespace zuro::generation
