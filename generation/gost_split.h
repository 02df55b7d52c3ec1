// The GOST split of the list of elements: a row's designator list is cut wherever a designator of
// another row with the same letter prefix falls inside it, so that each object's designators run
// without a gap that another object fills.
#pragma once

#include <cstdint>
#include <string>

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

// Splits row w's designator list `designator_text` (its composed designators after
// JoinPairRanges) so that no list spans a designator of another row with the same letter prefix;
// returns the (possibly shortened) count text and designator text of row w.
GostSplitResult GostSplit(table::GridModel& table,
                          int w,
                          int designator_column,
                          int count_column,
                          std::string count_text,
                          std::string designator_text);

}  // namespace zuro::generation
