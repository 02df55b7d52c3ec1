// The OrCAD bill-of-materials report reader: title lines, a header line naming the columns
// (separated by tabs, or standing over fixed-width columns), then one line per item with its
// quantity and its reference designators, which a long item continues on further lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "readers/report_attributes.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {

// What the reader remembers from one report to the next.
struct OrcadReadOptions {
  // The column of the part value among the header's columns: a header without a part column
  // leaves it as the report before set it.
  int32_t part_column = 0;
};

// Fills the component table from the report's text (code page 1251) and sets the report's
// attributes.
ReadResult ReadOrcadReport(std::string_view text,
                           table::GridModel& table,
                           ReportAttributes& attributes,
                           OrcadReadOptions& options);

}  // namespace zuro::readers
