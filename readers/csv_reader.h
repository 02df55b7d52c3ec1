// The quoted CSV reader of the Protel, Altium Designer and Cadence Allegro reports: values in
// double quotes separated by commas, a header line naming the attributes, one line per component
// with all its designators in one value. Altium Designer and Cadence Allegro reports are first
// converted into this format (readers/csv_conversion.h).
#pragma once

#include <string>
#include <string_view>

#include "readers/report_attributes.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {

// Fills the component table from a quoted CSV text (code page 1251). Always kLoaded: the format
// has no structure check; a text without a header line gives the title row only.
ReadResult ReadQuotedCsv(std::string_view text,
                         table::GridModel& table,
                         ReportAttributes& attributes);

// True for the names of the columns whose values the reader rewrites as designators.
bool IsReferenceColumnName(std::string_view name);

}  // namespace zuro::readers
