#include "table/table_file.h"

namespace zuro::table {

// "#" opens every cell, so an empty cell shows as two adjacent "#" and a line always begins with
// one; a table of only the mark column gives empty lines.
std::vector<std::string> TableFileText(const GridModel& table) {
  std::vector<std::string> lines;
  lines.reserve(table.GetRowCount());
  for (int row = 0; row < table.GetRowCount(); ++row) {
    std::string line;
    for (int col = 1; col < table.GetColumnCount(); ++col)
      line += "#" + table.GetItemText(row, col);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zuro::table
