// The PDM window's reading of a P-CAD report: every record is one placed part, split into the
// electrical items (ЭРИ), shown first, and the assembly units (СЕ, records that name "Сборочные"),
// shown after them; each row is numbered within its kind and counts as one piece. A Mentor list
// is rewritten first into such a report with one record per designator.
#pragma once

#include <string>
#include <string_view>

#include "readers/report_attributes.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::pdm {

// The rows of each kind that the last reading gave.
struct PdmRowCounts {
  int items = 0;  // electrical items (ЭРИ)
  int units = 0;  // assembly units (СЕ)
};

// Column 0 texts of the two kinds; a row's kind is found by them ("ЭРИ(2/5)" holds "ЭРИ").
inline constexpr std::string_view kItemKind = "ЭРИ";
inline constexpr std::string_view kUnitKind = "СЕ";

// Fills the table from the report's text (code page 1251) and sets its attributes; a text whose
// first line has no double quote is no report: the table is emptied and kBadStructure returned.
readers::ReadResult ReadPdmReport(std::string_view text,
                                  table::GridModel& table,
                                  readers::ReportAttributes& attributes,
                                  PdmRowCounts& counts);

// A Mentor list is known by its name's ending ".lst" (in any case), not by "lst" anywhere in its
// path: a report kept in a folder "lst-files" is a P-CAD report.
bool IsMentorListPath(std::string_view path);

// The list's text rewritten as a P-CAD report: its fields quoted, and each component line once for
// every designator of its list, with that designator and quantity 1.
std::string ConvertMentorListForPdm(std::string_view list_text);

}  // namespace zuro::pdm
