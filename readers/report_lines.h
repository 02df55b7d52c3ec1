// Line reading and number reading shared by the report readers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zuro::readers {

// Reads a report line by line, each line with its line feed; a CR LF line end reads as LF.
class ReportLineReader {
 public:
  explicit ReportLineReader(std::FILE* file) : file_(file) {}
  // False at the end of the file, when nothing is left to read.
  bool Read(std::string& line);

 private:
  std::FILE* file_;
};

// The integer at the start of a text as atoi reads it (white space, sign, digits; 0 when there
// are no digits), saturated instead of overflowing.
int64_t LeadingInteger(std::string_view text);

}  // namespace zuro::readers
