// The P-CAD bill-of-materials report reader: double-quoted fields separated by ";", a header
// line naming the attributes, one record per placed part. Converted Mentor lists are read by it
// as well.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/grid_model.h"
#include "readers/report_attributes.h"
#include "readers/read_result.h"

namespace zuro::readers {

// Fills the component table from the report's text (code page 1251) and sets the report's
// attributes.
ReadResult ReadReport(std::string_view text, table::GridModel& table, ReportAttributes& attributes);

// The quantity that a component's first record carries in its "Count" field; a record with a
// quantity of 0 or less makes no row.
int64_t ComponentQuantity(std::string_view count_field);

// The character between the first two quoted names of the report's first header line (a line
// mentioning "Count"): ";" in the layout this reader was made for, another one in P-CAD's
// "separated" layout; ";" when there is no such line.
char HeaderSeparator(std::string_view report);

}  // namespace zuro::readers
