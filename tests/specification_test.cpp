// The part library id a specification record takes: found by its designators among the table's
// "RefDes" cells, whole designators only, else the item's own when it is written at once.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "generation/generation_run.h"
#include "generation/specification.h"
#include "host/host_objects.h"
#include "standin/sim_host.h"

namespace zuro::generation {
namespace {

// Rows of "RefDes" and "ID PartLib" cells below the heading row, as the P-CAD reader leaves them;
// a report without "RefDes" keeps the ids alone.
class PartLibraryTest : public ::testing::Test {
 protected:
  void Fill(const std::vector<std::pair<std::string, std::string>>& rows, bool with_refdes) {
    attributes_.names = {"RefDes", "ID PartLib"};
    attributes_.refdes_column = with_refdes ? 1 : -1;
    attributes_.partlib_column = 2;
    table_.SetColumnCount(3);
    table_.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
      table_.SetItemText(static_cast<int>(i) + 1, 1, rows[i].first);
      table_.SetItemText(static_cast<int>(i) + 1, 2, rows[i].second);
    }
  }

  table::GridModel table_;
  readers::ReportAttributes attributes_;
};

TEST_F(PartLibraryTest, RecordsFindTheRowHoldingTheirWholeDesignators) {
  Fill({{"A1", "PL-9001"},
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

  Fill({{"A1", "PL-9001"}}, false);
  EXPECT_EQ(PartLibraryLookup(table_, attributes_).Find("A1"), "");
}

// The windows that write in table order have no "RefDes" column to search: each object takes its
// item's own id, and a record of an item without one gets none.
TEST_F(PartLibraryTest, ItemsWrittenAtOnceKeepTheirOwnId) {
  Fill({{"VD1,VD2", "PL-3148"}, {"X1", ""}}, false);
  standin::SimHost host;
  host.OpenGraphicDocument();
  host::ZentarObject application(host.Application());
  host::GraphicDocument graphic = application.ActiveGraphicDocument();
  host::SpecDocument spec;
  host::ModelDocument model;
  host::SpecStyleColumns columns;
  const SpecTarget target{{application, graphic, spec}, model, columns, OutputDevice::kGraphic};
  SpecificationRun run(table_, attributes_, target, nullptr);
  ItemTexts diodes;
  diodes.spec_name = "Диод LL4148";
  diodes.count = "2";
  diodes.designators = "VD1,VD2";
  diodes.part_library_id = "PL-3148";
  run.WriteNow(diodes);
  ItemTexts socket = diodes;
  socket.designators = "X1";
  socket.part_library_id = "";
  run.WriteNow(socket);

  const std::vector<standin::SimObject>& objects = host.ActiveGraphicDocument()->objects;
  ASSERT_EQ(objects.size(), 2u);
  ASSERT_GT(columns.part_library, 0);
  const auto part_library = [&](const standin::SimObject& object) {
    for (const standin::SimColumnValue& value : object.columns) {
      if (value.column == columns.part_library)
        return value.text;
    }
    return std::string("<none>");
  };
  EXPECT_EQ(part_library(objects[0]), "PL-3148");
  EXPECT_EQ(part_library(objects[1]), "");
}

}  // namespace
}  // namespace zuro::generation
