// What the report readers share: their result and the reading of numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zuro::readers {

enum class ReadResult {
  kLoaded,        // the table holds the report (possibly no component rows)
  kBadStructure,  // the report shows itself to be no report of its kind; the table is emptied
};

// The integer at the start of a text as atoi reads it (white space, sign, digits; 0 when there
// are no digits), saturated instead of overflowing.
int64_t LeadingInteger(std::string_view text);

// The number at the start of a text as atof reads it (white space, sign, digits with a decimal
// point), whatever locale the host has set: a decimal comma ends the number, so "0,5" reads 0.
double LeadingReal(std::string_view text);

}  // namespace zuro::readers
