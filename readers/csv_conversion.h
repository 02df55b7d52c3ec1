// The Altium Designer and Cadence Allegro reports rewritten as the quoted CSV that the Protel
// reader reads (readers/csv_reader.h). The converted text is what the window writes beside the
// report, byte for byte: every field written "text", (a field holding a double quote is written
// unquoted, followed by ","), every line ended by a line feed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "readers/delimited_records.h"

namespace zuro::readers {

// Altium Designer's text report (tab-separated, or already a quoted CSV) as quoted CSV text.
std::string ConvertAltiumText(std::string_view report);
// Cadence Allegro's HTML report (one table cell per line) as quoted CSV text.
std::string ConvertAllegroHtml(std::string_view report);
// The rows of that conversion, each the texts of its fields; a row without cells is empty.
std::vector<DelimitedRecord> ReadAllegroHtmlLines(std::string_view report);
// Those rows as the conversion writes them.
std::string AllegroLinesCsv(const std::vector<DelimitedRecord>& rows);

}  // namespace zuro::readers
