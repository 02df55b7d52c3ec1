#include "table/grid_pages.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace zuro::table {

namespace {

// Cuts sizes[fixed..] into runs that fit `room` beside the fixed part. A run holds at least one
// item, so an item larger than the page (or fixed headers that fill it) still gets printed
// instead of stopping the pagination.
std::vector<std::pair<int, int>> Bands(const std::vector<int>& sizes, int fixed, int room) {
  const int count = static_cast<int>(sizes.size());
  fixed = std::clamp(fixed, 0, count);
  const int fixed_size = std::accumulate(sizes.begin(), sizes.begin() + fixed, 0);
  const int free = room - fixed_size;
  std::vector<std::pair<int, int>> bands;
  int first = fixed;
  while (first < count) {
    int last = first;
    int used = sizes[first];
    while (last + 1 < count && used + sizes[last + 1] <= free)
      used += sizes[++last];
    bands.emplace_back(first, last);
    first = last + 1;
  }
  if (bands.empty())
    bands.emplace_back(fixed, fixed - 1);
  return bands;
}

}  // namespace

std::vector<PrintPage> PaginateGrid(const std::vector<int>& row_heights,
                                    const std::vector<int>& column_widths,
                                    int fixed_rows,
                                    int fixed_cols,
                                    int page_width,
                                    int page_height) {
  std::vector<PrintPage> pages;
  for (auto [first_col, last_col] : Bands(column_widths, fixed_cols, page_width))
    for (auto [first_row, last_row] : Bands(row_heights, fixed_rows, page_height))
      pages.push_back({first_row, last_row, first_col, last_col});
  return pages;
}

}  // namespace zuro::table
