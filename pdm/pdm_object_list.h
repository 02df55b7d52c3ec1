// The object list as Create writes it: each row passed on gives its object line, composed by the
// attribute templates of its kind, and an adjustable component's line also gets its value range
// in its name and an extra line for every series value inside the range.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pdm/attribute_object_lines.h"
#include "pdm/range_lines.h"

namespace zuro::pdm {

class PdmObjectList : public AttributeObjectLines {
 public:
  using AttributeObjectLines::AttributeObjectLines;

  // The templates, bom.ini and the settings (SKO, SYMBOL) are read afresh for every Create.
  bool Begin(const std::string& library_folder) override;
  void AppendLines(const table::GridModel& table,
                   const readers::ReportAttributes& attributes,
                   int row,
                   std::string& list) override;
  std::vector<std::string> TakeWarnings() override;

 private:
  std::optional<ValueRangeStep> ranges_;
  std::optional<RangeCellColumns> range_columns_;  // of the report attributes of the rows
  std::vector<std::string> warnings_;
};

}  // namespace zuro::pdm
