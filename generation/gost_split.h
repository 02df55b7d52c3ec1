// The GOST split of the list of elements: a row's designator list is cut wherever a designator of
// another row with the same letter prefix falls inside it, so that each object's designators run
// without a gap that another object fills.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "generation/designator_index.h"
#include "table/grid_model.h"

namespace zuro::generation {

// Appends a copy of `source` (all column texts) with the designators in `designator_column` and
// the count in `count_column`, marked selected with RowMark 0; returns the new row (-1 when
// `source` is no component row).
int AppendRowCopy(table::GridModel& table,
                  int source,
                  int designator_column,
                  int count_column,
                  const std::string& designators,
                  int64_t count);

struct GostSplitResult {
  std::string count_text;
  std::string designator_text;
};

// The GOST split of one list of elements: the run splits its rows in turn through one splitter,
// which keeps the table's designators indexed between the rows.
class GostSplitter {
 public:
  explicit GostSplitter(table::GridModel& table);

  // Splits row w's designator list `designator_text` (its composed designators after
  // JoinPairRanges) so that no list spans a designator of another row with the same letter
  // prefix; returns the (possibly shortened) count text and designator text of row w.
  GostSplitResult Split(int w,
                        int designator_column,
                        int count_column,
                        std::string count_text,
                        std::string designator_text);

 private:
  table::GridModel& table_;
  std::optional<DesignatorIndex> index_;
  uint64_t indexed_revision_ = 0;
  // The rows the splits may still append (see Split); -1 until the first split.
  int64_t rows_allowed_ = -1;
  int rows_at_start_ = 0;
};

// The split of row w alone, as GostSplitter::Split.
GostSplitResult GostSplit(table::GridModel& table,
                          int w,
                          int designator_column,
                          int count_column,
                          std::string count_text,
                          std::string designator_text);

}  // namespace zuro::generation
