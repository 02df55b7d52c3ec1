#include "tests/gost_split_reference.h"

#include <string_view>
#include <utility>
#include <vector>

#include "generation/designators.h"

namespace zuro::testing_support::quadratic {

using generation::AppendRowCopy;  // the row copy is shared: only the search was rewritten
using generation::CountDesignators;
using generation::DesignatorItems;
using generation::DesignatorNumber;
using generation::DesignatorPrefix;
using generation::GostSplitResult;
using generation::IsBlankItem;

namespace {

constexpr int kFirstComponentRow = 1;
constexpr int kFirstAttributeColumn = 1;

// Row 0 holds the titles and column 0 the marks; the split reads and writes component cells only,
// so a column the caller could not find (-1) or the mark column is never touched.
bool IsComponentCell(const table::GridModel& table, int row, int col) {
  return row >= kFirstComponentRow && row < table.GetRowCount() && col >= kFirstAttributeColumn &&
         col < table.GetColumnCount();
}

// A list whose items are all blank names no designator; cutting it off would make an object
// without designators.
bool IsBlankList(std::string_view list) {
  for (const std::string_view item : DesignatorItems(list)) {
    if (!IsBlankItem(item))
      return false;
  }
  return true;
}

template <typename Item>
std::string JoinItems(const std::vector<Item>& items, size_t first, size_t end) {
  std::string list;
  for (size_t index = first; index < end; ++index) {
    if (index > first)
      list += ',';
    list.append(items[index]);
  }
  return list;
}

// Two neighbouring designators e and d of the list being split; a designator with d's prefix
// whose number lies strictly between theirs falls into the gap.
struct Gap {
  int32_t first_number;  // of e
  int32_t last_number;   // of d
  std::string prefix;    // of d

  bool Holds(std::string_view designator) const {
    if (DesignatorPrefix(designator) != prefix)
      return false;
    const int32_t number = DesignatorNumber(designator);
    return first_number < number && number < last_number;
  }
};

// One split of row w: its list L against the designator cells of every row of the table.
class GostSplitter {
 public:
  GostSplitter(table::GridModel& table,
               int w,
               int designator_column,
               int count_column,
               std::string count_text,
               std::string designator_text)
      : table_(table),
        w_(w),
        designator_column_(designator_column),
        // A count column that is the designators' own would overwrite them: such a table keeps
        // its count cells as they are, and only the returned count text changes.
        count_column_(count_column == designator_column ? -1 : count_column),
        count_text_(std::move(count_text)),
        designator_text_(std::move(designator_text)) {
    for (const std::string_view item : DesignatorItems(designator_text_))
      items_.emplace_back(item);
  }

  GostSplitResult Run();

 private:
  void ScanRow(int row, const Gap& gap, size_t k);
  void SplitBaseRow(size_t k);
  bool SplitOtherRow(int row,
                     const std::string& list,
                     const std::vector<std::string_view>& items,
                     size_t j);
  void WriteCount(int row, int64_t count);

  table::GridModel& table_;
  const int w_;
  const int designator_column_;
  const int count_column_;
  std::string count_text_;
  std::string designator_text_;     // L
  std::vector<std::string> items_;  // the items of L
};

// Without a designators column there is nothing to compare with and no cell to keep the cut
// lists in, so the row stays whole.
//
// Every row is scanned, the rows appended by earlier cuts as well (the row count is read again):
// the designators moved into a copy still belong to the table. The scan ends: each cut moves the
// items after some item of a row into one new row, so the rows' items are only ever shared out
// anew, and a row of one item is never cut.
GostSplitResult GostSplitter::Run() {
  if (!IsComponentCell(table_, w_, designator_column_))
    return {std::move(count_text_), std::move(designator_text_)};
  table::GridUpdate update(table_);
  // A cut of row w leaves L with k + 1 items, which ends the loop.
  for (size_t k = 0; k + 1 < items_.size(); ++k) {
    const Gap gap{DesignatorNumber(items_[k]), DesignatorNumber(items_[k + 1]),
                  DesignatorPrefix(items_[k + 1])};
    for (int row = kFirstComponentRow; row < table_.GetRowCount(); ++row)
      ScanRow(row, gap, k);
  }
  return {std::move(count_text_), std::move(designator_text_)};
}

// A designator of the row inside the gap cuts row w after e (once: its tail is gone then), and
// cuts the row itself after that designator when the row goes on past d.
//
// Row w's own cell takes part only in the first of these: its cut is that of L, which is what the
// caller writes, while a second cut of the cell after one of its own designators would leave the
// cell and L different and put the designators after it into two rows.
void GostSplitter::ScanRow(int row, const Gap& gap, size_t k) {
  const std::string list = table_.GetItemText(row, designator_column_);
  const std::vector<std::string_view> items = DesignatorItems(list);
  for (size_t j = 0; j < items.size(); ++j) {
    if (!gap.Holds(items[j]))
      continue;
    if (k + 1 < items_.size())
      SplitBaseRow(k);
    if (row == w_ || j + 1 >= items.size() || DesignatorNumber(items[j + 1]) <= gap.last_number)
      continue;
    // The rest of this cell has moved to the copy, which the scan reaches as a row of its own.
    if (SplitOtherRow(row, list, items, j))
      return;
  }
}

// L keeps its items 0 to k; the rest go with their count to a copy of row w.
void GostSplitter::SplitBaseRow(size_t k) {
  const std::string tail = JoinItems(items_, k + 1, items_.size());
  if (IsBlankList(tail))
    return;
  const int64_t tail_count = CountDesignators(tail);
  const int64_t head_count = CountDesignators(designator_text_) - tail_count;
  WriteCount(w_, head_count);
  AppendRowCopy(table_, w_, designator_column_, count_column_, tail, tail_count);
  items_.resize(k + 1);
  designator_text_ = JoinItems(items_, 0, items_.size());
  table_.SetItemText(w_, designator_column_, designator_text_);
  count_text_ = std::to_string(head_count);
}

// The row keeps its items 0 to j; the rest go with their count to a copy of it, which is marked
// selected whether the row is or not, so its designators are written.
bool GostSplitter::SplitOtherRow(int row,
                                 const std::string& list,
                                 const std::vector<std::string_view>& items,
                                 size_t j) {
  const std::string tail = JoinItems(items, j + 1, items.size());
  if (IsBlankList(tail))
    return false;
  const int64_t tail_count = CountDesignators(tail);
  WriteCount(row, CountDesignators(list) - tail_count);
  AppendRowCopy(table_, row, designator_column_, count_column_, tail, tail_count);
  table_.SetItemText(row, designator_column_, JoinItems(items, 0, j + 1));
  return true;
}

void GostSplitter::WriteCount(int row, int64_t count) {
  if (IsComponentCell(table_, row, count_column_))
    table_.SetItemText(row, count_column_, std::to_string(count));
}

}  // namespace

GostSplitResult GostSplit(table::GridModel& table,
                          int w,
                          int designator_column,
                          int count_column,
                          std::string count_text,
                          std::string designator_text) {
  return GostSplitter(table, w, designator_column, count_column, std::move(count_text),
                      std::move(designator_text))
      .Run();
}

}  // namespace zuro::testing_support::quadratic
