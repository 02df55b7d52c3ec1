// Delimited text read by the quoting rules that spreadsheet programs and CAD systems write: a
// field in double quotes may hold the separator, line breaks and quotes (each written twice, or
// once where the quote cannot end the field).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuro::readers {

using DelimitedRecord = std::vector<std::string>;

// The records of a text whose fields are separated by `separator` (',' or '\t'). A line break
// inside a quoted field becomes one blank, so that a value stays on one line of the table.
std::vector<DelimitedRecord> ReadDelimitedRecords(std::string_view text, char separator);

// True when no field of the record holds any text.
bool IsEmptyRecord(const DelimitedRecord& record);

}  // namespace zuro::readers
