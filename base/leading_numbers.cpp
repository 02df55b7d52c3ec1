#include "base/leading_numbers.h"

#include <charconv>
#include <limits>

namespace zuro {

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

double LeadingReal(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string_view::npos)
    return 0;
  text.remove_prefix(start);
  if (text.starts_with('+'))
    text.remove_prefix(1);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace zuro
