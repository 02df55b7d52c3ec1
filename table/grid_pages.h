// How a printed table is cut into pages: every page repeats the fixed rows at its top and the
// fixed columns at its left, and shows as many component rows and columns as fit beside them.
#pragma once

#include <vector>

namespace zuro::table {

// One printed page: the non-fixed rows first_row..last_row and columns first_col..last_col
// (last < first when the table has none).
struct PrintPage {
  int first_row = 0;
  int last_row = -1;
  int first_col = 0;
  int last_col = -1;
};

// Pages in printing order: down the rows, then across to the next group of columns.
std::vector<PrintPage> PaginateGrid(const std::vector<int>& row_heights,
                                    const std::vector<int>& column_widths,
                                    int fixed_rows,
                                    int fixed_cols,
                                    int page_width,
                                    int page_height);

}  // namespace zuro::table
