// A component table as the tests compare it: its columns 1.. as "#cell#cell", one row a line.
#pragma once

#include <string>

#include "table/grid_model.h"
#include "table/table_file.h"

namespace zuro::testing_support {

inline std::string TableText(const table::GridModel& table) {
  std::string text;
  for (const std::string& line : table::TableFileText(table))
    text += line + "\n";
  return text;
}

}  // namespace zuro::testing_support
