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

// The number that orders a reference designator in the OrCAD, Protel, Altium Designer and
// Cadence Allegro lists: all its digits read as one decimal number (DA10 10, R1A2 12, C1.02 102),
// 0 when it has no digit other than zeros; saturated instead of overflowing.
int64_t ReferenceNumber(std::string_view reference);

}  // namespace zuro::readers
