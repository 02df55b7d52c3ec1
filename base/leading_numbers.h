// Numbers read from the start of a text as the C library's atoi and atof read them, but whatever
// locale the host has set and without overflow: the quantities, counts and values of reports,
// tables and settings.
#pragma once

#include <cstdint>
#include <string_view>

namespace zuro {

// The integer at the start of a text as atoi reads it (white space, sign, digits; 0 when there
// are no digits), saturated instead of overflowing.
int64_t LeadingInteger(std::string_view text);

// The number at the start of a text as atof reads it (white space, sign, digits with a decimal
// point), whatever locale the host has set: a decimal comma ends the number, so "0,5" reads 0.
double LeadingReal(std::string_view text);

}  // namespace zuro
