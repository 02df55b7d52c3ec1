#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "generation/designator_index.h"
#include "generation/designators.h"
#include "table/component_rows.h"
#include "table/grid_model.h"

namespace zuro::generation {
namespace {

constexpr int kRefDes = 1;

class DesignatorIndexTest : public ::testing::Test {
 protected:
  DesignatorIndexTest() {
    table::ResetComponentTable(table_);
    table_.InsertColumn("RefDes");
    table_.InsertColumn("Count");
  }

  int AddRow(const std::string& designators) {
    const int row = table::AppendComponentRow(table_);
    table_.SetItemText(row, kRefDes, designators);
    return row;
  }

  // What the index must answer, read from every cell.
  bool AnyBetweenByScan(const std::string& prefix, int32_t first, int32_t last) const {
    return !Scan(prefix, first, last, false).empty();
  }
  std::vector<DesignatorPlace> ReachingPastByScan(const std::string& prefix,
                                                  int32_t first,
                                                  int32_t last) const {
    return Scan(prefix, first, last, true);
  }

  table::GridModel table_;

 private:
  std::vector<DesignatorPlace> Scan(const std::string& prefix,
                                    int32_t first,
                                    int32_t last,
                                    bool reaching_past) const {
    std::vector<DesignatorPlace> places;
    for (int row = 1; row < table_.GetRowCount(); ++row) {
      const std::string list = table_.GetItemText(row, kRefDes);
      const std::vector<std::string_view> items = DesignatorItems(list);
      for (size_t j = 0; j < items.size(); ++j) {
        const int32_t number = DesignatorNumber(items[j]);
        if (DesignatorPrefix(items[j]) != prefix || number <= first || number >= last)
          continue;
        if (reaching_past && (j + 1 == items.size() || DesignatorNumber(items[j + 1]) <= last))
          continue;
        places.push_back({row, static_cast<int>(j)});
      }
    }
    return places;
  }
};

TEST_F(DesignatorIndexTest, StrictlyBetweenAndOfTheSamePrefix) {
  AddRow("R1,R5");
  AddRow("C3,r3,VR3");
  AddRow("R3");
  const DesignatorIndex index(table_, kRefDes);

  EXPECT_TRUE(index.AnyBetween("R", 1, 5));
  EXPECT_TRUE(index.AnyBetween("R", 2, 4));
  EXPECT_FALSE(index.AnyBetween("R", 3, 5));  // the ends are not between
  EXPECT_FALSE(index.AnyBetween("R", 1, 3));
  EXPECT_FALSE(index.AnyBetween("R", 3, 4));  // neighbours
  EXPECT_FALSE(index.AnyBetween("R", 5, 1));  // descending
  EXPECT_FALSE(index.AnyBetween("R", 3, 3));
  EXPECT_TRUE(index.AnyBetween("C", 2, 4));
  EXPECT_TRUE(index.AnyBetween("r", 2, 4));  // lower case is a prefix of its own
  EXPECT_FALSE(index.AnyBetween("V", 2, 4));
  EXPECT_TRUE(index.AnyBetween("VR", 2, 4));
  EXPECT_FALSE(index.AnyBetween("D", 0, 100));  // a prefix never seen
}

TEST_F(DesignatorIndexTest, ReachingPastNeedsANextItemAboveLast) {
  AddRow("R2,R9");     // R2 reaches past 5
  AddRow("R3,R5");     // R5 is not above 5
  AddRow("R4");        // no next item
  AddRow("R3,C9,R8");  // the next item's number counts, whatever its prefix
  AddRow("R6,R7");     // R6 is not between
  const DesignatorIndex index(table_, kRefDes);

  EXPECT_EQ(index.ReachingPast("R", 1, 5), (std::vector<DesignatorPlace>{{1, 0}, {4, 0}}));
  EXPECT_EQ(index.ReachingPast("R", 1, 9), (std::vector<DesignatorPlace>{}));
  EXPECT_EQ(index.ReachingPast("R", 5, 1), (std::vector<DesignatorPlace>{}));
  EXPECT_EQ(index.ReachingPast("C", 1, 10), (std::vector<DesignatorPlace>{}));
}

// Items without a number read 0, blank items are of the empty prefix, and numbers beyond 32 bits
// saturate: all of them are found as the scan finds them.
TEST_F(DesignatorIndexTest, BlankItemsNumberlessItemsAndTheEndsOfTheNumbers) {
  AddRow("-3, ,R,R99999999999,R-99999999999");
  AddRow(",R0,-1");
  const DesignatorIndex index(table_, kRefDes);
  const int32_t lowest = std::numeric_limits<int32_t>::min();
  const int32_t highest = std::numeric_limits<int32_t>::max();

  for (const std::string prefix : {"", "R"}) {
    for (const int32_t first : {lowest, -4, -1, 0, 1}) {
      for (const int32_t last : {-2, 0, 1, highest}) {
        EXPECT_EQ(index.AnyBetween(prefix, first, last), AnyBetweenByScan(prefix, first, last))
            << prefix << " " << first << " " << last;
        EXPECT_EQ(index.ReachingPast(prefix, first, last), ReachingPastByScan(prefix, first, last))
            << prefix << " " << first << " " << last;
      }
    }
  }
  // R's numbers: 0 twice, and the two ends.
  EXPECT_FALSE(index.AnyBetween("R", 0, highest));
  EXPECT_TRUE(index.AnyBetween("R", -1, highest));
  EXPECT_TRUE(index.AnyBetween("R", lowest, 1));
  EXPECT_FALSE(index.AnyBetween("R", lowest, 0));
  EXPECT_FALSE(index.AnyBetween("R", highest, lowest));
}

// Cells rewritten, emptied, appended and cut in any order, each followed by Reindex or, for a cut,
// MoveTail: the answers stay those of a scan of the table as it is.
TEST_F(DesignatorIndexTest, FollowsRewrittenAppendedAndCutRows) {
  std::mt19937 random(7);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const auto list = [&] {
    std::string text;
    const int items = 1 + pick(6);
    for (int i = 0; i < items; ++i)
      text += (i ? "," : "") + std::string(pick(3) ? "R" : "C") + std::to_string(pick(40));
    return text;
  };
  for (int row = 0; row < 30; ++row)
    AddRow(list());
  DesignatorIndex index(table_, kRefDes);
  for (int step = 0; step < 1000; ++step) {
    const int kind = pick(8);
    if (kind == 0) {
      index.Reindex(AddRow(list()));
    } else if (kind <= 3) {
      // A cut after item j: the items after it go to a new row, as the GOST split moves them.
      const int row = 1 + pick(table_.GetRowCount() - 1);
      const std::string cell = table_.GetItemText(row, kRefDes);
      const std::vector<std::string_view> items = DesignatorItems(cell);
      if (items.size() < 2)
        continue;
      const int j = pick(static_cast<int>(items.size()) - 1);
      std::string head;
      std::string tail;
      for (size_t i = 0; i < items.size(); ++i) {
        const bool in_head = static_cast<int>(i) <= j;
        std::string& part = in_head ? head : tail;
        if (i != 0 && static_cast<int>(i) != j + 1)
          part += ',';
        part += items[i];
      }
      const int copy = AddRow(tail);
      table_.SetItemText(row, kRefDes, head);
      index.MoveTail(row, j, copy);
    } else {
      const int row = 1 + pick(table_.GetRowCount() - 1);
      table_.SetItemText(row, kRefDes, pick(10) ? list() : "");
      index.Reindex(row);
    }
    const std::string prefix = pick(3) ? "R" : "C";
    const int32_t first = pick(40) - 1;
    const int32_t last = first + pick(20);
    ASSERT_EQ(index.AnyBetween(prefix, first, last), AnyBetweenByScan(prefix, first, last))
        << "step " << step;
    ASSERT_EQ(index.ReachingPast(prefix, first, last), ReachingPastByScan(prefix, first, last))
        << "step " << step;
  }
}

// A rewritten cell whose first items stay keeps their nodes: the number after them may grow, and
// the search must see it from the top of the tree. R5 is the first designator in the tree's order
// and its next one the last, so that the two lie far apart in the tree, among many designators
// followed by none.
TEST_F(DesignatorIndexTest, ANextNumberRaisedInPlaceIsFound) {
  const int row = AddRow("R5,C999");
  for (int c = 1; c <= 200; ++c)
    AddRow("C" + std::to_string(c));
  DesignatorIndex index(table_, kRefDes);
  EXPECT_EQ(index.ReachingPast("R", 1, 1500), (std::vector<DesignatorPlace>{}));

  table_.SetItemText(row, kRefDes, "R5,C2000");
  index.Reindex(row);
  EXPECT_EQ(index.ReachingPast("R", 1, 1500), (std::vector<DesignatorPlace>{{row, 0}}));

  table_.SetItemText(row, kRefDes, "R5");
  index.Reindex(row);
  EXPECT_EQ(index.ReachingPast("R", 1, 1500), (std::vector<DesignatorPlace>{}));
  EXPECT_TRUE(index.AnyBetween("R", 1, 10));
}

TEST_F(DesignatorIndexTest, TheTitleRowAndRowsOutsideTheTableAreNotIndexed) {
  table_.SetItemText(0, kRefDes, "R3,R9");
  AddRow("R1");
  DesignatorIndex index(table_, kRefDes);
  EXPECT_FALSE(index.AnyBetween("R", 2, 4));

  index.Reindex(0);
  index.Reindex(-1);
  index.Reindex(5);
  EXPECT_FALSE(index.AnyBetween("R", 2, 4));
  EXPECT_TRUE(index.AnyBetween("R", 0, 2));

  // A row deleted from the table takes its designators with it once reindexed.
  table_.SetRowCount(1);
  index.Reindex(1);
  EXPECT_FALSE(index.AnyBetween("R", 0, 2));
}

}  // namespace
}  // namespace zuro::generation
