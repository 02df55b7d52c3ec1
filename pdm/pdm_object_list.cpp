#include "pdm/pdm_object_list.h"

#include <utility>

#include "pdm/pdm_settings.h"

namespace zuro::pdm {

bool PdmObjectList::Begin(const std::string& library_folder) {
  warnings_.clear();
  ranges_.reset();
  range_columns_.reset();
  if (!AttributeObjectLines::Begin(library_folder))
    return false;
  ranges_.emplace(ValueRangeStep::ForCreate(library_folder, ReadPdmSettings(library_folder)));
  return true;
}

void PdmObjectList::AppendLines(const table::GridModel& table,
                                const readers::ReportAttributes& attributes,
                                int row,
                                std::string& list) {
  const ObjectLine& line = Compose(table, attributes, row);
  if (!range_columns_)
    range_columns_.emplace(attributes.names);
  const RangeCells cells = ranges_ ? range_columns_->Read(table, row) : RangeCells();
  if (!ranges_ || !ranges_->Touches(cells.designation)) {
    list += line.name;
    list += '#';
    list += line.attributes;
    list += '\n';
    return;
  }
  RangeLines range = ranges_->Apply(line.Text(), cells);
  list += range.object_line;
  for (const std::string& extra : range.extra_lines)
    list += extra;
  for (std::string& warning : range.warnings)
    warnings_.push_back(std::move(warning));
}

std::vector<std::string> PdmObjectList::TakeWarnings() {
  std::vector<std::string> warnings = std::exchange(warnings_, {});
  for (std::string& warning : AttributeObjectLines::TakeWarnings())
    warnings.push_back(std::move(warning));
  return warnings;
}

}  // namespace zuro::pdm
