#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "table/grid_model.h"
#include "table/grid_pages.h"

namespace zuro::table {
namespace {

// A component table as the converter windows build it: header row 0, mark column 0, and the
// given attribute columns.
class ComponentTable : public ::testing::Test {
 protected:
  void Build(const std::vector<std::string>& headings, int components) {
    model.SetColumnCount(1);
    model.SetFixedRowCount(1);
    model.SetFixedColumnCount(1);
    for (const std::string& heading : headings)
      model.InsertColumn(heading, kFormatCentre | kFormatSingleLine, -1);
    for (int i = 1; i <= components; ++i) {
      const int row = model.InsertRow(" ", -1);
      model.SetItemImage(row, 0, 1);
      model.SetItemData(row, 0, 0);
      for (int col = 1; col < model.GetColumnCount(); ++col)
        model.SetItemText(row, col, "c" + std::to_string(row) + "." + std::to_string(col));
    }
  }

  // The whole table as text, one line per row, cells after "|".
  std::string Dump() const {
    std::string out;
    for (int row = 0; row < model.GetRowCount(); ++row) {
      for (int col = 0; col < model.GetColumnCount(); ++col)
        out += "|" + model.GetItemText(row, col);
      out += "\n";
    }
    return out;
  }

  void TearDown() override {
    for (const std::string& fault : tester.Faults())
      ADD_FAILURE() << "model invariant broken: " << fault;
  }

  GridModel model;
  GridModelTester tester{model};
};

TEST_F(ComponentTable, InsertRowMinusOneOnHeaderOnlyTableAppendsRowOne) {
  Build({"RefDes"}, 0);
  EXPECT_EQ(model.GetRowCount(), 1);
  EXPECT_EQ(model.InsertRow(" ", -1), 1);
  EXPECT_EQ(model.GetRowCount(), 2);
  EXPECT_EQ(model.GetItemText(1, 0), " ");
  EXPECT_EQ(model.GetFixedRowCount(), 1);
  EXPECT_FALSE(model.IsCellFixed(1, 1));
  EXPECT_EQ(model.InsertRow(" ", 5), -1);
  EXPECT_EQ(model.InsertRow(" ", -2), -1);
}

TEST_F(ComponentTable, CellsOutsideTheTableChangeNothingAndReportFailure) {
  Build({"RefDes", "Value"}, 2);
  const std::string before = Dump();
  const std::uint64_t revision = model.Revision();
  for (auto [row, col] : {std::pair{-1, 0}, {0, -1}, {3, 1}, {1, 3}, {100, 100}}) {
    EXPECT_FALSE(model.SetItemText(row, col, "x"));
    EXPECT_FALSE(model.SetItemImage(row, col, 1));
    EXPECT_FALSE(model.SetItemData(row, col, 7));
    EXPECT_FALSE(model.SetItemBkColour(row, col, 0xFF));
    EXPECT_FALSE(model.SetFocusCell(row, col));
    EXPECT_FALSE(model.EnsureVisible(row, col));
    EXPECT_EQ(model.GetItemImage(row, col), -1);
    EXPECT_EQ(model.GetItemData(row, col), -1);
    EXPECT_EQ(model.GetItemFont(row, col), -1);
    EXPECT_EQ(model.GetItemText(row, col), "");
    EXPECT_FALSE(model.GetCell(row, col).has_value());
  }
  EXPECT_FALSE(model.DeleteRow(3));
  EXPECT_FALSE(model.DeleteColumn(-1));
  EXPECT_EQ(model.InsertColumn("x", kFormatCentre, 4), -1);
  EXPECT_FALSE(model.SetRowCount(-1));
  EXPECT_FALSE(model.SetFixedColumnCount(-1));
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(model.Revision(), revision);
  EXPECT_FALSE(model.GetFocusCell().IsValid());
}

TEST_F(ComponentTable, MarkAndRowMarkLiveInColumnZero) {
  Build({"RefDes"}, 2);
  EXPECT_EQ(model.GetItemImage(1, 0), 1);
  EXPECT_EQ(model.GetItemImage(0, 0), -1);
  EXPECT_TRUE(model.SetItemData(2, 0, -1));
  EXPECT_EQ(model.GetItemData(2, 0), -1);
  EXPECT_EQ(model.GetItemData(1, 0), 0);
  EXPECT_EQ(model.GetItemFormat(0, 1), kFormatCentre | kFormatSingleLine);
  // Rows added later take the column's format, not the default one.
  EXPECT_EQ(model.GetItemFormat(2, 1), kFormatCentre | kFormatSingleLine);
  EXPECT_EQ(model.GetItemFormat(2, 0), kDefaultCellFormat);
}

TEST_F(ComponentTable, DeletingColumnsKeepsTheOtherTexts) {
  Build({"A", "B", "C", "D"}, 2);
  EXPECT_TRUE(model.DeleteColumn(2));
  EXPECT_TRUE(model.DeleteColumn(3));  // the former column 4
  EXPECT_EQ(Dump(),
            "||A|C\n"
            "| |c1.1|c1.3\n"
            "| |c2.1|c2.3\n");
  EXPECT_EQ(model.GetFixedColumnCount(), 1);
  // The converter drops the two quantity columns as "the last two".
  EXPECT_TRUE(model.DeleteColumn(model.GetColumnCount() - 1));
  EXPECT_TRUE(model.DeleteColumn(model.GetColumnCount() - 1));
  EXPECT_EQ(model.GetColumnCount(), 1);
  EXPECT_EQ(model.GetItemText(1, 0), " ");
  EXPECT_FALSE(model.DeleteColumn(1));
}

TEST_F(ComponentTable, InsertingAndDeletingInsideTheHeadersKeepsThemFixed) {
  Build({"A", "B"}, 2);
  EXPECT_EQ(model.InsertColumn("Z", kFormatCentre, 0), 0);
  EXPECT_EQ(model.GetFixedColumnCount(), 2);
  EXPECT_EQ(model.GetItemText(0, 0), "Z");
  EXPECT_EQ(model.GetItemText(1, 1), " ");
  EXPECT_TRUE(model.DeleteRow(0));
  EXPECT_EQ(model.GetFixedRowCount(), 0);
  EXPECT_EQ(model.GetItemText(0, 2), "c1.1");
  EXPECT_TRUE(model.DeleteAllItems());
  EXPECT_EQ(model.GetRowCount(), 0);
  EXPECT_EQ(model.GetColumnCount(), 0);
  EXPECT_EQ(model.GetFixedRowCount(), 0);
  // On an empty table the first column brings the header row that holds its heading.
  EXPECT_EQ(model.InsertColumn("Count", kFormatCentre, -1), 0);
  EXPECT_EQ(model.GetRowCount(), 1);
  EXPECT_EQ(model.GetItemText(0, 0), "Count");
}

TEST_F(ComponentTable, ResizingKeepsFixedCountsFocusAndSelectionInside) {
  Build({"A", "B"}, 5);
  EXPECT_TRUE(model.SetFocusCell(5, 2));
  EXPECT_TRUE(model.SetSelectedRange({5, 2, 1, 1}));
  EXPECT_EQ(model.GetSelectedRange(), (CellRange{1, 1, 5, 2}));
  EXPECT_TRUE(model.SetRowCount(3));
  EXPECT_FALSE(model.GetFocusCell().IsValid());
  EXPECT_EQ(model.GetSelectedRange(), (CellRange{1, 1, 2, 2}));
  EXPECT_TRUE(model.SetFixedRowCount(6));
  EXPECT_EQ(model.GetRowCount(), 6);
  EXPECT_TRUE(model.SetRowCount(2));
  EXPECT_EQ(model.GetFixedRowCount(), 2);
  EXPECT_TRUE(model.SetColumnCount(0));
  EXPECT_EQ(model.GetFixedColumnCount(), 0);
  EXPECT_TRUE(model.GetSelectedRange().IsEmpty());
}

TEST_F(ComponentTable, FocusFollowsItsCellAcrossInsertsAndDeletes) {
  Build({"A", "B"}, 3);
  model.SetFocusCell(2, 1);
  model.InsertRow(" ", 1);
  EXPECT_EQ(model.GetFocusCell(), (CellId{3, 1}));
  model.InsertColumn("Z", kFormatCentre, 1);
  EXPECT_EQ(model.GetFocusCell(), (CellId{3, 2}));
  EXPECT_EQ(model.GetItemText(3, 2), "c2.1");
  model.DeleteRow(1);
  EXPECT_EQ(model.GetFocusCell(), (CellId{2, 2}));
  model.DeleteColumn(2);
  EXPECT_FALSE(model.GetFocusCell().IsValid());
}

TEST_F(ComponentTable, EditableCellsExcludeHeadersAndReadOnlyCells) {
  Build({"A"}, 1);
  EXPECT_TRUE(model.IsCellEditable(1, 1));
  EXPECT_FALSE(model.IsCellEditable(0, 1));
  EXPECT_FALSE(model.IsCellEditable(1, 0));
  model.SetItemState(1, 1, kStateReadOnly);
  EXPECT_FALSE(model.IsCellEditable(1, 1));
  model.SetItemState(1, 1, 0);
  model.SetEditable(false);
  EXPECT_FALSE(model.IsCellEditable(1, 1));
}

TEST_F(ComponentTable, PastingACommaListFillsNeighbouringCells) {
  Build({"A", "B", "C"}, 3);
  EXPECT_EQ(PasteText(model, {1, 1}, "R1,R2"), 2);
  EXPECT_EQ(model.GetItemText(1, 1), "R1");
  EXPECT_EQ(model.GetItemText(1, 2), "R2");
  EXPECT_EQ(model.GetItemText(1, 3), "c1.3");
  // Tabs, commas, blanks, empty pieces and Windows line ends together.
  EXPECT_EQ(PasteText(model, {2, 1}, "  x ,, y\t\tz\r\n\t w \r\n"), 4);
  EXPECT_EQ(Dump(),
            "||A|B|C\n"
            "| |R1|R2|c1.3\n"
            "| |x|y|z\n"
            "| |w|c3.2|c3.3\n");
  // A piece of blanks is no empty piece: it is trimmed and clears its cell.
  EXPECT_EQ(PasteText(model, {3, 1}, "R1, ,R2"), 3);
  EXPECT_EQ(model.GetItemText(3, 2), "");
  EXPECT_EQ(model.GetItemText(3, 3), "R2");
}

TEST_F(ComponentTable, PasteIsClippedAtTheTableEdge) {
  Build({"A", "B"}, 2);
  EXPECT_EQ(PasteText(model, {2, 2}, "1,2,3\n4,5\n6"), 1);
  EXPECT_EQ(model.GetItemText(2, 2), "1");
  EXPECT_EQ(model.GetRowCount(), 3);
  EXPECT_EQ(model.GetColumnCount(), 3);
  EXPECT_EQ(PasteText(model, {7, 1}, "x"), 0);
  EXPECT_EQ(PasteText(model, {}, "x"), 0);
  // Lines split at a lone CR or LF as well; an empty line keeps its row.
  EXPECT_EQ(PasteText(model, {1, 1}, "a\n\rb"), 1);
  EXPECT_EQ(model.GetItemText(1, 1), "a");
  EXPECT_EQ(model.GetItemText(2, 1), "c2.1");
}

TEST_F(ComponentTable, PasteLeavesHeadersAndReadOnlyCellsAlone) {
  Build({"A", "B"}, 1);
  model.SetItemState(1, 1, kStateReadOnly);
  EXPECT_EQ(PasteText(model, {0, 1}, "h1,h2\nr1,r2"), 1);
  EXPECT_EQ(model.GetItemText(0, 1), "A");
  EXPECT_EQ(model.GetItemText(1, 1), "c1.1");
  EXPECT_EQ(model.GetItemText(1, 2), "r2");
}

TEST_F(ComponentTable, CopyAndCutARange) {
  Build({"A", "B"}, 2);
  EXPECT_EQ(CopyText(model, {1, 1, 2, 2}), "c1.1\tc1.2\r\nc2.1\tc2.2\r\n");
  EXPECT_EQ(CopyText(model, {2, 2, 9, 9}), "c2.2\r\n");
  EXPECT_EQ(CopyText(model, {}), "");
  EXPECT_EQ(CutText(model, {0, 0, 1, 2}), "\tA\tB\r\n \tc1.1\tc1.2\r\n");
  EXPECT_EQ(Dump(),
            "||A|B\n"
            "| ||\n"
            "| |c2.1|c2.2\n");
  // Pasting what was copied restores the cells.
  EXPECT_EQ(PasteText(model, {1, 1}, "c1.1\tc1.2\r\n"), 2);
  EXPECT_EQ(model.GetItemText(1, 2), "c1.2");
}

TEST(GridModelNotification, BatchedChangesArriveMerged) {
  GridModel model(3, 3, 1, 1);
  std::vector<GridChange> seen;
  const int id = model.AddListener([&](const GridChange& change) { seen.push_back(change); });
  model.SetItemText(1, 1, "a");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, ChangeKind::kCells);
  EXPECT_EQ(seen[0].range, (CellRange{1, 1, 1, 1}));
  seen.clear();
  {
    GridUpdate batch(model);
    model.SetItemText(1, 2, "b");
    model.SetItemImage(2, 1, 1);
    model.EnsureVisible(2, 2);
    EXPECT_TRUE(seen.empty());
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].kind, ChangeKind::kCells);
  EXPECT_EQ(seen[0].range, (CellRange{1, 1, 2, 2}));
  EXPECT_EQ(seen[1].kind, ChangeKind::kEnsureVisible);
  seen.clear();
  {
    GridUpdate batch(model);
    model.SetItemText(1, 2, "c");
    model.InsertRow(" ");
  }
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, ChangeKind::kStructure);
  model.RemoveListener(id);
  model.SetItemText(1, 1, "d");
  EXPECT_EQ(seen.size(), 1u);
}

TEST(GridModelNotification, ListenerMayRemoveItselfWhileNotified) {
  GridModel model(2, 2);
  int calls = 0;
  int id = 0;
  id = model.AddListener([&](const GridChange&) {
    ++calls;
    model.RemoveListener(id);
  });
  int other = 0;
  model.AddListener([&](const GridChange&) { ++other; });
  model.SetItemText(0, 0, "a");
  model.SetItemText(0, 0, "b");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(other, 2);
}

// 100 000 components of 20 columns load, change and are copied in well under a few seconds even
// in a debug build; a quadratic step (re-checking every row per change) would take minutes.
TEST(GridModelScale, HundredThousandRowsLoadQuickly) {
  const auto start = std::chrono::steady_clock::now();
  GridModel model(1, 1, 1, 1);
  std::vector<GridChange> seen;
  model.AddListener([&](const GridChange& change) { seen.push_back(change); });
  {
    GridUpdate batch(model);
    for (int col = 1; col < 20; ++col)
      model.InsertColumn("Attribute" + std::to_string(col), kFormatCentre, -1);
    for (int i = 0; i < 100000; ++i) {
      const int row = model.InsertRow(" ", -1);
      model.SetItemImage(row, 0, 1);
      for (int col = 1; col < 20; ++col)
        model.SetItemText(row, col, "C" + std::to_string(i));
    }
  }
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(model.GetRowCount(), 100001);
  EXPECT_TRUE(model.DeleteColumn(10));
  EXPECT_TRUE(model.DeleteRow(50000));
  EXPECT_EQ(model.GetItemText(99999, 18), "C99999");
  EXPECT_TRUE(model.CheckInvariants());
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
  EXPECT_LT(seconds.count(), 20.0);
}

// Printed pages: header row of 10 and mark column of 5 repeat on every page.
TEST(GridPages, RowsThenColumnGroupsWithRepeatedHeaders) {
  const std::vector<int> heights{10, 20, 20, 20, 20, 20};
  const std::vector<int> widths{5, 30, 30, 30};
  const auto pages = PaginateGrid(heights, widths, 1, 1, 70, 50);
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_EQ(pages[0].first_row, 1);
  EXPECT_EQ(pages[0].last_row, 2);
  EXPECT_EQ(pages[0].first_col, 1);
  EXPECT_EQ(pages[0].last_col, 2);
  EXPECT_EQ(pages[2].first_row, 5);
  EXPECT_EQ(pages[2].last_row, 5);
  EXPECT_EQ(pages[3].first_col, 3);
  EXPECT_EQ(pages[3].last_col, 3);
  EXPECT_EQ(pages[5].first_row, 5);
}

TEST(GridPages, OversizedRowsAndHeadersStillProgress) {
  // A row taller than the page, and headers that fill the page alone, get one row per page.
  auto pages = PaginateGrid({10, 500, 20}, {5, 30}, 1, 1, 100, 100);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].first_row, 1);
  EXPECT_EQ(pages[0].last_row, 1);
  EXPECT_EQ(pages[1].first_row, 2);
  pages = PaginateGrid({200, 20, 20}, {5, 30}, 1, 1, 100, 100);
  EXPECT_EQ(pages.size(), 2u);
  // A table of headers only, or no table at all, still prints one page.
  pages = PaginateGrid({10}, {5, 30}, 1, 1, 100, 100);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_LT(pages[0].last_row, pages[0].first_row);
  EXPECT_EQ(PaginateGrid({}, {}, 0, 0, 100, 100).size(), 1u);
  EXPECT_EQ(PaginateGrid({10}, {5}, 3, 3, 100, 100).size(), 1u);
}

}  // namespace
}  // namespace zuro::table
