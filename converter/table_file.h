// The text of a table file (".tbl"): one line per table row, header row first, each line the
// cells of columns 1.. each preceded by "#". The mark column is not stored.
#pragma once

#include <string>
#include <vector>

#include "converter/grid/grid_model.h"

namespace zuro::converter {

// The lines of the table's file, without line ends, in code page 1251.
std::vector<std::string> TableFileText(const grid::GridModel& table);

}  // namespace zuro::converter
