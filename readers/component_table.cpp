#include "readers/component_table.h"

#include <string>

namespace zuro::readers {

namespace {
constexpr std::string_view kRowHeading = " ";
constexpr int kMarked = 1;
}  // namespace

void ResetComponentTable(table::GridModel& table, ReportAttributes& attributes) {
  table.DeleteAllItems();
  table.SetRowCount(1);
  table.SetColumnCount(1);
  table.SetFixedRowCount(1);
  table.SetFixedColumnCount(1);
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

int AppendComponentRow(table::GridModel& table) {
  const int row = table.InsertRow(kRowHeading);
  table.SetItemImage(row, 0, kMarked);
  table.SetItemData(row, 0, 0);
  return row;
}

}  // namespace zuro::readers
