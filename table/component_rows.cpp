#include "table/component_rows.h"

namespace zuro::table {

void ResetComponentTable(GridModel& table) {
  table.DeleteAllItems();
  table.SetRowCount(1);
  table.SetColumnCount(1);
  table.SetFixedRowCount(1);
  table.SetFixedColumnCount(1);
}

// The heading is one blank: the mark column shows only the check box.
int AppendComponentRow(GridModel& table) {
  const int row = table.InsertRow(" ");
  table.SetItemImage(row, 0, kMarked);
  table.SetItemData(row, 0, 0);
  return row;
}

}  // namespace zuro::table
