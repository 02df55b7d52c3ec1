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

// The quoted CSV a window keeps beside a report it converted: the records before the header (their
// fields with text), the header and an empty line, then one line per record; of the header and
// the records after it only the fields whose `column` is not 0, a record short of fields filled
// with empty ones. Every field is in quotes, a quote inside written twice, and followed by ",".
// Records `skip` says are blank are left out.
std::string QuotedCsv(const std::vector<DelimitedRecord>& records,
                      size_t header,
                      const std::vector<int>& column,
                      bool (*skip)(const DelimitedRecord&));

}  // namespace zuro::readers
