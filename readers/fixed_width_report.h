// Reports printed in columns under a rule of dashes: the "formatted" P-CAD report and the Mentor
// "Part Lister" text report. Each is rewritten as a P-CAD report of quoted fields, which the P-CAD
// reader then reads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::readers {

// One column: where its dash run starts and the position after its last dash.
struct FixedColumn {
  size_t start = 0;
  size_t end = 0;
};

// The columns of an underline: a line of dash runs separated by blanks and nothing else.
std::vector<FixedColumn> UnderlineColumns(std::string_view line);

// The values of a line cut at the columns, blanks around them taken off. A value wider than its
// column pushes the values after it to the right; a text two blanks or more after a value may be
// the next column's value begun before its column.
std::vector<std::string> CutFixedWidthLine(std::string_view line,
                                           const std::vector<FixedColumn>& columns);

// A P-CAD report in its "formatted" layout (a title line "P-CAD Bill of Materials ...", a rule of
// "=", the column names over an underline, a component a line, its further designators each on a
// line of its own, long values wrapped onto the lines below) as the text of a report of quoted
// fields. Nothing when the text is not in that layout. An empty text, which the reader refuses,
// when it is but cannot be read whole; `refusal` then tells the line and why ("line 12: ...").
std::optional<std::string> FormattedPcadReportAsQuoted(std::string_view text,
                                                       std::string* refusal = nullptr);

// A Mentor "Part Lister" text report (title lines, a header naming "QTY" and "REFDES" or "Ref
// Designator" over a rule of dashes, columns of fixed width or separated by tabs, the designators
// of an item separated by "," or blanks) the same way.
std::optional<std::string> PartListerReportAsQuoted(std::string_view text,
                                                    std::string* refusal = nullptr);

}  // namespace zuro::readers
