#include "base/leading_numbers.h"

#include <charconv>
#include <limits>

namespace zuro {

namespace {

// The white space atoi and atof skip: blank, tab, and line feed to carriage return. Looked at
// byte by byte: the numbers read are short, and most have no space before them.
size_t FirstNonSpace(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    ++i;
  return i;
}

}  // namespace

int64_t LeadingInteger(std::string_view text) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  size_t i = FirstNonSpace(text);
  if (i == text.size())
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
  const size_t start = FirstNonSpace(text);
  if (start == text.size())
    return 0;
  text.remove_prefix(start);
  if (text.starts_with('+'))
    text.remove_prefix(1);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace zuro
