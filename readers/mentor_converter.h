// The Mentor parts list (".lst": ";"-separated fields without quotes, a header line naming them)
// rewritten as a P-CAD report, which the P-CAD reader then reads.
#pragma once

#include <string>
#include <string_view>

namespace zuro::readers {

// The converted report's name: the list's name with a blank before it (" board.lst"). The report
// is never written; the name is the one the window shows.
std::string ConvertedReportPath(const std::string& list_path);

// What the rewritten report is for.
enum class MentorReportStyle {
  // The converter window's: one record per component as P-CAD writes it, its fields renamed to
  // "Count" and "RefDes".
  kComponents,
  // The PDM window's: every placed part a record of quantity 1; the names stay as the list gives
  // them, and "RefDes" and "Count" are taken for header names too.
  kPlacedParts,
};

// The list's text (code page 1251) rewritten as the text of a P-CAD report.
std::string ConvertMentor(std::string_view list_text,
                          MentorReportStyle style = MentorReportStyle::kComponents);

}  // namespace zuro::readers
