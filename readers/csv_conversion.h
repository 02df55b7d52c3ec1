// The Altium Designer and Cadence Allegro reports rewritten as the quoted CSV that the Protel
// reader reads (readers/csv_reader.h). The converted text is what the window writes beside the
// report, byte for byte: every field written "text", (a field holding a double quote is written
// unquoted, followed by ","), every line ended by a line feed.
#pragma once

#include <string>
#include <string_view>

namespace zuro::readers {

// Altium Designer's text report (tab-separated, or already a quoted CSV) as quoted CSV text.
std::string ConvertAltiumText(std::string_view report);
// Cadence Allegro's HTML report (one table cell per line) as quoted CSV text.
std::string ConvertAllegroHtml(std::string_view report);

}  // namespace zuro::readers
