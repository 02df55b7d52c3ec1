#include "table/cell_store.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zuro::table {
namespace {

// The store against the plainest table there is, a vector of rows of cells with strings of their
// own, under long random sequences of every change: the flat layout, the shared texts and their
// compaction and the shared attribute sets must never show through.
struct PlainCell {
  std::string text;
  CellAttributes attributes;
};

class PlainTable {
 public:
  void Resize(int rows, int columns, CellFormat format) {
    while (static_cast<int>(column_formats_.size()) > columns)
      EraseColumn(static_cast<int>(column_formats_.size()) - 1);
    while (static_cast<int>(column_formats_.size()) < columns)
      InsertColumn(static_cast<int>(column_formats_.size()), format);
    rows_.resize(rows, NewRow());
  }
  void InsertRow(int row) { rows_.insert(rows_.begin() + row, NewRow()); }
  void EraseRow(int row) { rows_.erase(rows_.begin() + row); }
  void InsertColumn(int col, CellFormat format) {
    PlainCell cell;
    cell.attributes.format = format;
    for (auto& row : rows_)
      row.insert(row.begin() + col, cell);
    column_formats_.insert(column_formats_.begin() + col, format);
  }
  void EraseColumn(int col) {
    for (auto& row : rows_)
      row.erase(row.begin() + col);
    column_formats_.erase(column_formats_.begin() + col);
  }
  void Clear() {
    rows_.clear();
    column_formats_.clear();
  }
  int Rows() const { return static_cast<int>(rows_.size()); }
  int Columns() const { return static_cast<int>(column_formats_.size()); }
  PlainCell& At(int row, int col) { return rows_[row][col]; }
  size_t LiveBytes() const {
    size_t bytes = 0;
    for (const auto& row : rows_)
      for (const PlainCell& cell : row)
        bytes += cell.text.size();
    return bytes;
  }

 private:
  std::vector<PlainCell> NewRow() const {
    std::vector<PlainCell> row(column_formats_.size());
    for (size_t col = 0; col < row.size(); ++col)
      row[col].attributes.format = column_formats_[col];
    return row;
  }
  std::vector<std::vector<PlainCell>> rows_;
  std::vector<CellFormat> column_formats_;
};

std::string Mismatch(const CellStore& store, PlainTable& plain) {
  if (store.Rows() != plain.Rows() || store.Columns() != plain.Columns())
    return "size " + std::to_string(store.Rows()) + "x" + std::to_string(store.Columns()) +
           " against " + std::to_string(plain.Rows()) + "x" + std::to_string(plain.Columns());
  for (int row = 0; row < plain.Rows(); ++row) {
    for (int col = 0; col < plain.Columns(); ++col) {
      const PlainCell& cell = plain.At(row, col);
      if (store.Text(row, col) != cell.text)
        return "text of " + std::to_string(row) + "," + std::to_string(col) + ": \"" +
               std::string(store.Text(row, col)) + "\" against \"" + cell.text + "\"";
      if (!(store.Attributes(row, col) == cell.attributes))
        return "attributes of " + std::to_string(row) + "," + std::to_string(col);
    }
  }
  return "";
}

TEST(CellStoreTest, LongRandomSequencesOfChangesReadAsAPlainTable) {
  std::mt19937 random(20261208);
  const auto pick = [&random](int bound) {  // 0 .. bound - 1
    return static_cast<int>(random() % static_cast<unsigned>(bound));
  };
  for (int round = 0; round < 40; ++round) {
    CellStore store;
    PlainTable plain;
    // Long texts in some rounds, so that the unused bytes pass the compaction threshold.
    const size_t longest = round % 4 == 0 ? 300000 : 12;
    for (int step = 0; step < 400; ++step) {
      const int rows = plain.Rows();
      const int columns = plain.Columns();
      const int action = pick(100);
      std::string what;
      if (action < 3) {
        const int new_rows = pick(6);
        const int new_columns = pick(5);
        const CellFormat format = static_cast<CellFormat>(pick(4));
        store.Resize(new_rows, new_columns, format);
        plain.Resize(new_rows, new_columns, format);
        what = "resize";
      } else if (action < 5) {
        store.Clear();
        plain.Clear();
        what = "clear";
      } else if (action < 15) {
        const int row = pick(rows + 1);
        store.InsertRow(row);
        plain.InsertRow(row);
        what = "insert row " + std::to_string(row);
      } else if (action < 20 && rows > 0) {
        const int row = pick(rows);
        store.EraseRow(row);
        plain.EraseRow(row);
        what = "erase row " + std::to_string(row);
      } else if (action < 27) {
        const int col = pick(columns + 1);
        const CellFormat format = static_cast<CellFormat>(pick(3));
        store.InsertColumn(col, format);
        plain.InsertColumn(col, format);
        what = "insert column " + std::to_string(col);
      } else if (action < 31 && columns > 0) {
        const int col = pick(columns);
        store.EraseColumn(col);
        plain.EraseColumn(col);
        what = "erase column " + std::to_string(col);
      } else if (action < 80 && rows > 0 && columns > 0) {
        const int row = pick(rows);
        const int col = pick(columns);
        std::string text(static_cast<size_t>(pick(static_cast<int>(longest) + 1)),
                         static_cast<char>('a' + pick(26)));
        if (pick(4) == 0) {
          // Another cell's own text, or a part of it, handed back without a copy.
          const int from_row = pick(rows);
          const int from_col = pick(columns);
          const std::string_view source = store.Text(from_row, from_col);
          const size_t start =
              source.empty() ? 0 : static_cast<size_t>(pick(static_cast<int>(source.size())));
          const std::string_view part = source.substr(start);
          text = std::string(part);
          ASSERT_TRUE(store.SetText(row, col, part));
        } else {
          ASSERT_TRUE(store.SetText(row, col, text));
        }
        plain.At(row, col).text = text;
        what = "text of " + std::to_string(row) + "," + std::to_string(col);
      } else if (rows > 0 && columns > 0) {
        const int row = pick(rows);
        const int col = pick(columns);
        CellAttributes attributes = store.Attributes(row, col);
        attributes.image = pick(3) - 1;
        attributes.data = pick(3);
        attributes.background = pick(2) ? kSystemColour : 0x00FF00u;
        attributes.state = static_cast<CellState>(pick(3));
        store.SetAttributes(row, col, attributes);
        plain.At(row, col).attributes = attributes;
        what = "attributes of " + std::to_string(row) + "," + std::to_string(col);
      } else {
        continue;
      }
      const std::string mismatch = Mismatch(store, plain);
      ASSERT_EQ(mismatch, "") << "round " << round << ", step " << step << ", after " << what;
      // Texts no cell uses are given back: the buffer never holds much more than twice the texts
      // in use.
      ASSERT_LE(store.TextBytes(), 2 * plain.LiveBytes() + (1 << 20) + 2 * longest)
          << "round " << round << ", step " << step;
    }
  }
}

// A table of many rows in the shape readers make: every row the same few attribute sets, so the
// sets are kept once, not once per cell.
TEST(CellStoreTest, KeepsEachDistinctSetOfAttributesOnce) {
  CellStore store;
  store.Resize(1, 1, kDefaultHeadingFormat);
  store.InsertColumn(1, kDefaultCellFormat);
  const size_t before = store.AttributeSets();
  CellAttributes marked = store.Attributes(0, 0);
  marked.image = 1;
  for (int row = 1; row <= 10000; ++row) {
    store.InsertRow(row);
    store.SetAttributes(row, 0, marked);
    ASSERT_TRUE(store.SetText(row, 1, "R" + std::to_string(row)));
  }
  EXPECT_EQ(store.AttributeSets(), before + 1);
  EXPECT_EQ(store.Attributes(10000, 0).image, 1);
  EXPECT_EQ(store.Attributes(10000, 1).format, kDefaultCellFormat);
  EXPECT_EQ(store.Text(10000, 1), "R10000");
}

}  // namespace
}  // namespace zuro::table
