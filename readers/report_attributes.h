// The attributes of the report loaded into the component table: the column names in table-column
// order and the columns that the generation run looks for by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zuro::readers {

struct ReportAttributes {
  // A report names at most this many attributes; later names get no column.
  static constexpr std::size_t kMaxNames = 100;

  std::vector<std::string> names;  // attribute n is table column n + 1
  int32_t refdes_column = -1;      // table column of "RefDes", -1 when absent
  int32_t partlib_column = -1;     // table column of "ID PartLib", -1 when absent
  // Why a refused report was refused, for the designer who asks: the line and what was expected
  // there ("line 12: 3 designators listed for a quantity of 4"). Empty when it was read.
  std::string refusal;
};

}  // namespace zuro::readers
