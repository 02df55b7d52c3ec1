#include "readers/component_table.h"

#include <string>

namespace zuro::readers {

void ResetComponentTable(table::GridModel& table, ReportAttributes& attributes) {
  table::ResetComponentTable(table);
  attributes = ReportAttributes();
}

bool AppendAttributeColumn(table::GridModel& table,
                           ReportAttributes& attributes,
                           std::string_view name,
                           table::CellFormat format) {
  if (attributes.names.size() >= ReportAttributes::kMaxNames)
    return false;
  table.InsertColumn(name, format);
  attributes.names.emplace_back(name);
  return true;
}

}  // namespace zuro::readers
