// The text of a table file (".tbl"): one line per table row, header row first, each line the
// cells of columns 1.. each preceded by "#". The mark column is not stored.
#pragma once

#include <string>
#include <vector>

#include "table/grid_model.h"

namespace zuro::table {

// The lines of the table's file, without line ends, in code page 1251.
std::vector<std::string> TableFileText(const GridModel& table);

}  // namespace zuro::table
