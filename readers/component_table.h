// The component table as every reader builds it: row 0 the column titles, column 0 the marks, one
// row per component, marked for conversion when loaded.
#pragma once

#include <string_view>

#include "readers/report_attributes.h"
#include "table/component_rows.h"
#include "table/grid_model.h"

namespace zuro::readers {

inline constexpr table::CellFormat kAttributeTitleFormat = table::kColumnTitleFormat;

// Empties the table to its title row and mark column, and the attributes with it.
void ResetComponentTable(table::GridModel& table, ReportAttributes& attributes);
// Appends a column for the next attribute name; false (and no column) once the report has named
// ReportAttributes::kMaxNames attributes. Returns the new table column in `column`.
bool AppendAttributeColumn(table::GridModel& table,
                           ReportAttributes& attributes,
                           std::string_view name,
                           table::CellFormat format = kAttributeTitleFormat);
using table::AppendComponentRow;

}  // namespace zuro::readers
