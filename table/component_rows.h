// The component table's shape, shared by the readers and the table files: row 0 holds the column
// titles, column 0 the marks, every further row one component, marked for conversion when loaded.
#pragma once

#include "table/grid_model.h"

namespace zuro::table {

// Mark images of column 0: an empty and a ticked check box.
inline constexpr int kUnmarked = 0;
inline constexpr int kMarked = 1;

// Titles of attribute columns: centred on one line.
inline constexpr CellFormat kColumnTitleFormat = kFormatCentre | kFormatVCentre | kFormatSingleLine;

// Empties the table to its title row and mark column.
void ResetComponentTable(GridModel& table);
// Appends a component row: heading " ", marked, RowMark (the data value of column 0) 0.
int AppendComponentRow(GridModel& table);

}  // namespace zuro::table
