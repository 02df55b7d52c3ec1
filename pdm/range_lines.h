// The value-range step of the object list: once per composed object line, an adjustable
// component's line gets its range in the object name and is followed by one extra line per
// series value inside the range, each with that value's expected share as its quantity.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pdm/object_line.h"
#include "pdm/pdm_settings.h"
#include "pdm/value_ranges.h"

namespace zuro::table {
class GridModel;
}

namespace zuro::pdm {

// The cells of one table row that the step reads, found by their attribute names.
struct RangeCells {
  std::string designation;  // "RefDes"
  std::string nominal;      // the attribute whose name holds "Nominal"
  std::string range;        // the attribute whose name holds "Range"
  std::string series;       // "*Е", "*E", "Е" or "E" (Cyrillic or Latin), the last of them
  std::string value;        // "Value"
  std::string unit;         // "Unit"
  // The report names attributes holding "Value", "*Range", and "*Е" or "*E".
  bool report_has_range = false;
};

// `cells[i]` is the cell of attribute `attribute_names[i]` (table column i + 1).
RangeCells ReadRangeCells(const std::vector<std::string>& attribute_names,
                          const std::vector<std::string>& cells);
RangeCells ReadRangeCells(const table::GridModel& table,
                          int row,
                          const std::vector<std::string>& attribute_names);

// ReadRangeCells for the rows of one table: the attributes are found by their names once.
class RangeCellColumns {
 public:
  explicit RangeCellColumns(const std::vector<std::string>& attribute_names);

  // `cell(i)` is the cell of attribute i (from 0), empty past the row's cells.
  template <typename Cell>
  RangeCells Read(const Cell& cell) const {
    RangeCells read;
    read.report_has_range = report_has_range_;
    const auto take = [&](int index, std::string& text) {
      if (index >= 0)
        text = cell(static_cast<size_t>(index));
    };
    take(designation_, read.designation);
    take(nominal_, read.nominal);
    take(range_, read.range);
    take(series_, read.series);
    take(value_, read.value);
    take(unit_, read.unit);
    return read;
  }
  RangeCells Read(const table::GridModel& table, int row) const;

 private:
  // The last attribute of each name, -1 without one.
  int designation_ = -1, nominal_ = -1, range_ = -1, series_ = -1, value_ = -1, unit_ = -1;
  bool report_has_range_ = false;
};

struct RangeLines {
  std::string object_line;               // the object line to write, with its LF
  std::vector<std::string> extra_lines;  // to follow it, each with its LF
  // Texts of the "Внимание" messages to show, one per adjustment mark of a component whose
  // range found no series values.
  std::vector<std::string> warnings;
};

class ValueRangeStep {
 public:
  ValueRangeStep(SeriesTable series, float sko, std::vector<std::string> adjustment_marks);
  // The step of one Create: bom.ini of the library folder, SKO and SYMBOL of the settings.
  static ValueRangeStep ForCreate(const std::string& library_folder, const PdmSettings& settings);

  // `object_line` is the composed line: the object name, "#", the attributes ending with
  // "Абсолютная величина=...;", with or without its LF.
  RangeLines Apply(std::string_view object_line, const RangeCells& cells) const;
  // Whether Apply can change anything for a component of this designation: only a designation
  // holding an adjustment mark gets a range in its name, lines or warnings.
  bool Touches(std::string_view designation) const;

 private:
  std::vector<RangeMember> Members(const RangeCells& cells, const ValueRange& range) const;

  SeriesTable series_;
  float sko_;
  std::vector<std::string> marks_;
};

// The factor of a unit's prefix: "М" 10^6, "к" 10^3, "мк" 10^-6, "м" 10^-3, "н" 10^-9, "п"
// 10^-12, otherwise 1.
double UnitPrefixFactor(std::string_view unit);

}  // namespace zuro::pdm
