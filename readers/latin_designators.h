// Designators typed with Cyrillic letters that look like Latin ones ("С1" with a Cyrillic С) read
// as the Latin designators they stand for, so that they get their section, join their runs and
// sort among their kind. Only the designator columns change; names and values keep their
// letters.
#pragma once

#include <string>
#include <string_view>

#include "base/library_command.h"
#include "readers/report_attributes.h"
#include "table/grid_model.h"

namespace zuro::readers {

// The text with each designator whose letters are all Latin or look-alike Cyrillic (А В Е К М Н
// О Р С Т Х, either case) written in Latin letters. A designator with another letter ("ДД1") is
// the designer's own name and keeps it. Designators end at commas, blanks and line breaks.
std::string LatinDesignatorText(std::string_view text);

// Rewrites the designator columns of a table the window of `command` has just read: "RefDes"
// (and the other names of that window's designator column). A list that changed and names three
// designators or more is joined again as that window's reader joins one, so that runs the
// Cyrillic letters broke are whole. Returns the number of cells changed.
int UseLatinDesignators(table::GridModel& table,
                        const ReportAttributes& attributes,
                        LibraryCommand command);

}  // namespace zuro::readers
