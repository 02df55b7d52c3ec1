#include "readers/report_lines.h"

#include <limits>

namespace zuro::readers {

// Lines are not cut at any length: a reader that splits a long line would turn the rest of a
// record into a record of its own. The reports come from Windows tools that end lines with CR LF;
// the CR belongs to the line end and never reaches the line, while a CR elsewhere is kept.
bool ReportLineReader::Read(std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(file_)) != EOF) {
    if (c == '\r') {
      const int next = std::getc(file_);
      if (next == '\n')
        c = '\n';
      else if (next != EOF)
        std::ungetc(next, file_);
    }
    line += static_cast<char>(c);
    if (c == '\n')
      break;
  }
  return !line.empty();
}

int64_t LeadingInteger(std::string_view text) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string_view::npos)
    return 0;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+')
    ++i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace zuro::readers
