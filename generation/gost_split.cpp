#include "generation/gost_split.h"

#include <deque>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "generation/designators.h"
#include "table/component_rows.h"

namespace zuro::generation {

namespace {

constexpr int kFirstComponentRow = 1;
constexpr int kFirstAttributeColumn = 1;
// The RowMark of a row that no group has taken yet.
constexpr int32_t kUngroupedRowMark = 0;

// Row 0 holds the titles and column 0 the marks; the split reads and writes component cells only,
// so a column the caller could not find (-1) or the mark column is never touched.
bool IsComponentCell(const table::GridModel& table, int row, int col) {
  return row >= kFirstComponentRow && row < table.GetRowCount() && col >= kFirstAttributeColumn &&
         col < table.GetColumnCount();
}

// A list whose items are all blank names no designator; cutting it off would make an object
// without designators.
bool IsBlankList(std::string_view list) {
  bool blank = true;
  ForEachDesignatorItem(list, [&](std::string_view item) { blank = blank && IsBlankItem(item); });
  return blank;
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

// One split of row w: its list L against the designator cells of every row of the table, found
// through the index, which the split keeps up to date as it writes cells and appends rows.
class RowSplit {
 public:
  RowSplit(table::GridModel& table,
           DesignatorIndex& index,
           int w,
           int designator_column,
           int count_column,
           std::string count_text,
           std::string designator_text)
      : table_(table),
        index_(index),
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
  void SplitGap(size_t k);
  void SplitBaseRow(size_t k);
  std::optional<int> SplitOtherRow(int row, size_t j);
  void WriteCount(int row, int64_t count);

  table::GridModel& table_;
  DesignatorIndex& index_;
  const int w_;
  const int designator_column_;
  const int count_column_;
  std::string count_text_;
  std::string designator_text_;     // L
  std::vector<std::string> items_;  // the items of L
};

// GostSplitter::Split has made sure that row w's designators cell is a component cell.
//
// The split ends: each cut moves the items after some item of a row into one new row, so the
// rows' items are only ever shared out anew, and a row of one item is never cut.
GostSplitResult RowSplit::Run() {
  table::GridUpdate update(table_);
  // A cut of row w leaves L with k + 1 items, which ends the loop.
  for (size_t k = 0; k + 1 < items_.size(); ++k)
    SplitGap(k);
  return {std::move(count_text_), std::move(designator_text_)};
}

// The rule of a gap between e and d is that of a scan of every designator cell of the table in
// row order, the rows appended by the gap's own cuts included (the designators moved into a copy
// still belong to the table): a designator with d's prefix whose number lies strictly between
// e's and d's cuts row w after e (once: its tail is gone then), and cuts its own cell after it
// when the cell goes on past d.
//
// Only such designators have an effect, so only they are looked up. The first one found cuts row
// w before any other cut, whichever row it stands in; then the designators followed by a number
// above d's cut their cells in table order. A cut moves the designators after it to a new row
// at the end of the table, where the scan would meet them again after every row it has still to
// read, so they go to the end of the queue with their new places. No cut makes another
// designator reach past d.
//
// Row w's own cell takes part only in the first of these: its cut is that of L, which is what the
// caller writes, while a second cut of the cell after one of its own designators would leave the
// cell and L different and put the designators after it into two rows.
void RowSplit::SplitGap(size_t k) {
  const int32_t first = DesignatorNumber(items_[k]);
  const int32_t last = DesignatorNumber(items_[k + 1]);
  const std::string prefix = DesignatorPrefix(items_[k + 1]);
  if (!index_.AnyBetween(prefix, first, last))
    return;
  SplitBaseRow(k);
  const std::vector<DesignatorPlace> found = index_.ReachingPast(prefix, first, last);
  std::deque<DesignatorPlace> places(found.begin(), found.end());
  while (!places.empty()) {
    const DesignatorPlace place = places.front();
    places.pop_front();
    if (place.row == w_)
      continue;
    const std::optional<int> copy = SplitOtherRow(place.row, place.position);
    if (!copy)
      continue;
    while (!places.empty() && places.front().row == place.row) {
      if (*copy >= 0)
        places.push_back({*copy, places.front().position - place.position - 1});
      places.pop_front();
    }
  }
}

// L keeps its items 0 to k; the rest go with their count to a copy of row w.
void RowSplit::SplitBaseRow(size_t k) {
  const std::string tail = JoinItems(items_, k + 1, items_.size());
  if (IsBlankList(tail))
    return;
  const int64_t tail_count = CountDesignators(tail);
  const int64_t head_count = CountDesignators(designator_text_) - tail_count;
  // Mostly the cell holds L's designators: its cut is then that of any other row, whose later
  // items keep their entries in the index with their new places.
  const bool cell_is_list = index_.Holds(w_, items_);
  WriteCount(w_, head_count);
  const int copy = AppendRowCopy(table_, w_, designator_column_, count_column_, tail, tail_count);
  items_.resize(k + 1);
  designator_text_ = JoinItems(items_, 0, items_.size());
  table_.SetItemText(w_, designator_column_, designator_text_);
  count_text_ = std::to_string(head_count);
  if (cell_is_list) {
    index_.MoveTail(w_, static_cast<int>(k), copy);
  } else {
    index_.Reindex(w_);
    index_.Reindex(copy);
  }
}

// The row keeps its items 0 to j; the rest go with their count to a copy of it, which is marked
// selected whether the row is or not, so its designators are written. Returns the copy (-1 when
// none could be appended), or nothing when the rest is blank and the row stays whole.
std::optional<int> RowSplit::SplitOtherRow(int row, size_t j) {
  const std::string list = table_.GetItemText(row, designator_column_);
  const std::vector<std::string_view> items = DesignatorItems(list);
  const std::string tail = JoinItems(items, j + 1, items.size());
  if (IsBlankList(tail))
    return std::nullopt;
  const int64_t tail_count = CountDesignators(tail);
  WriteCount(row, CountDesignators(list) - tail_count);
  const int copy = AppendRowCopy(table_, row, designator_column_, count_column_, tail, tail_count);
  table_.SetItemText(row, designator_column_, JoinItems(items, 0, j + 1));
  index_.MoveTail(row, static_cast<int>(j), copy);
  return copy;
}

void RowSplit::WriteCount(int row, int64_t count) {
  if (IsComponentCell(table_, row, count_column_))
    table_.SetItemText(row, count_column_, std::to_string(count));
}

}  // namespace

int AppendRowCopy(table::GridModel& table,
                  int source,
                  int designator_column,
                  int count_column,
                  const std::string& designators,
                  int64_t count) {
  if (source < kFirstComponentRow || source >= table.GetRowCount())
    return -1;
  table::GridUpdate update(table);
  const int row = table.InsertRow(table.GetItemText(source, 0));
  if (row < 0)
    return -1;
  // The table copies a text it is given as a view of its own.
  for (int col = kFirstAttributeColumn; col < table.GetColumnCount(); ++col)
    table.SetItemText(row, col, table.ItemText(source, col));
  if (IsComponentCell(table, row, designator_column))
    table.SetItemText(row, designator_column, designators);
  // The designators win a column that both name: the copy exists to carry them.
  if (count_column != designator_column && IsComponentCell(table, row, count_column))
    table.SetItemText(row, count_column, std::to_string(count));
  table.SetItemImage(row, 0, table::kMarked);
  table.SetItemData(row, 0, kUngroupedRowMark);
  return row;
}

GostSplitter::GostSplitter(table::GridModel& table) : table_(table) {}

// Without a designators column there is nothing to compare with and no cell to keep the cut
// lists in, so the row stays whole.
//
// The index is built at the first split and kept while the table changes only through the
// splits: the table's revision after a split tells whether anyone else wrote it since, in which
// case, as for another designators column, the index is read anew.
// A cut only shares a list's designators out anew, one row keeping some and a new row taking the
// rest, so the splits of a whole list append fewer rows than the designators column holds items.
// A list composed of that column and another one of several items is different: every copy of a
// row brings the other column's list along, the run composes it into the copy's list again and
// cuts that too, without end, until the memory is gone. Once the splits have appended as many
// rows as the column held items (twice over, and some), further rows are written unsplit: the
// list ends, every designator still written.
GostSplitResult GostSplitter::Split(int w,
                                    int designator_column,
                                    int count_column,
                                    std::string count_text,
                                    std::string designator_text) {
  if (!IsComponentCell(table_, w, designator_column))
    return {std::move(count_text), std::move(designator_text)};
  if (rows_allowed_ < 0) {
    int64_t items = 0;
    for (int row = kFirstComponentRow; row < table_.GetRowCount(); ++row)
      ForEachDesignatorItem(table_.ItemText(row, designator_column), [&](auto) { ++items; });
    rows_at_start_ = table_.GetRowCount();
    rows_allowed_ = 2 * items + 64;
  }
  if (table_.GetRowCount() - rows_at_start_ >= rows_allowed_)
    return {std::move(count_text), std::move(designator_text)};
  if (!index_ || index_->Column() != designator_column || table_.Revision() != indexed_revision_)
    index_.emplace(table_, designator_column);
  GostSplitResult result = RowSplit(table_, *index_, w, designator_column, count_column,
                                    std::move(count_text), std::move(designator_text))
                               .Run();
  indexed_revision_ = table_.Revision();
  return result;
}

GostSplitResult GostSplit(table::GridModel& table,
                          int w,
                          int designator_column,
                          int count_column,
                          std::string count_text,
                          std::string designator_text) {
  return GostSplitter(table).Split(w, designator_column, count_column, std::move(count_text),
                                   std::move(designator_text));
}

}  // namespace zuro::generation
