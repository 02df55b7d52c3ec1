// The OrCAD bill-of-materials report reader: title lines, a header line naming the columns
// (separated by tabs, or standing over fixed-width columns), then one line per item with its
// quantity and its reference designators, which a long item continues on further lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "readers/report_attributes.h"
#include "readers/report_lines.h"
#include "table/grid_model.h"

namespace zuro::readers {

// Fills the component table from the report's text (code page 1251) and sets the report's
// attributes. `part_column` is the column of the part value among the header's columns; it
// outlives a read, and a header without a part column leaves it as it is.
ReadResult ReadOrcadReport(std::string_view text,
                           table::GridModel& table,
                           ReportAttributes& attributes,
                           int32_t& part_column);

// The reference cell of an item from three or more reference slots (empty slots included):
// sorted by number, runs of consecutive numbers written first...last. Empty when the slots make
// no list of two characters or more and the cell keeps its text.
std::string CompactReferences(std::vector<std::string> references);

// A reference of an item that has a number, and the slot it stands in.
struct NumberedReference {
  size_t slot = 0;
  int64_t number = 0;
  std::string_view text;
};

// The numbered references, given in slot order, in the order a selection sort by number over all
// of the item's slots leaves them, where the slots of references without a number hold places.
std::vector<NumberedReference> SortByNumber(std::vector<NumberedReference> remaining);
// The same order found by picking and moving in a vector, in quadratic time: the rule itself,
// which SortByNumber keeps for lists of every length, and the way it sorts short ones.
std::vector<NumberedReference> SelectBySlots(std::vector<NumberedReference> remaining);

}  // namespace zuro::readers
