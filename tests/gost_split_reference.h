// The GOST split of the list of elements as it was first written: every gap between neighbouring
// designators of a list scans every designator cell of the table. It is kept beside the tests as
// the rule that the indexed split in generation/ must follow result for result.
#pragma once

#include <string>

#include "generation/gost_split.h"
#include "table/grid_model.h"

namespace zuro::testing_support::quadratic {

generation::GostSplitResult GostSplit(table::GridModel& table,
                                      int w,
                                      int designator_column,
                                      int count_column,
                                      std::string count_text,
                                      std::string designator_text);

}  // namespace zuro::testing_support::quadratic
