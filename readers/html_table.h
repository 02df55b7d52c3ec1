// The rows of the tables of an HTML page, as a browser shows them: each row its cells' texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "readers/delimited_records.h"

namespace zuro::readers {

struct HtmlTableRow {
  int table = 0;  // which <table> of the page holds the row, counted from 1 (0: none)
  DelimitedRecord cells;
};

// Rows may stand on one line or over many, cells may carry any attributes and tags; a cell's
// text has its character references decoded and its white space runs (line breaks, <br>)
// reduced to one blank, without blanks at either end.
std::vector<HtmlTableRow> ReadHtmlTableRows(std::string_view page);

// The text of what stands between a cell's tags, by the same rules: its tags left out.
std::string HtmlCellText(std::string_view content);

}  // namespace zuro::readers
