// Operations on reference designators and their lists ("R1,R3...R7,R9": items separated by ",",
// ranges written first...last), shared by the three document generators.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::generation {

// The parts of a list between commas, empty ones included; a list without a comma is one item.
std::vector<std::string_view> DesignatorItems(std::string_view list);
// Calls visit(item) for each of those parts in turn, without a vector of them.
template <typename Visit>
void ForEachDesignatorItem(std::string_view list, Visit visit) {
  for (size_t start = 0;;) {
    const size_t end = list.find(',', start);
    visit(list.substr(start, end - start));
    if (end == std::string_view::npos)
      return;
    start = end + 1;
  }
}
// True when an item holds nothing but blanks (spaces, tabs, line ends): it names no designator.
bool IsBlankItem(std::string_view item);

std::string DesignatorPrefix(std::string_view designator);
int32_t DesignatorNumber(std::string_view designator);
int64_t CountDesignators(std::string_view list);
std::string JoinPairRanges(std::string_view list);
// The designators in order; their number is size().
std::vector<std::string> ExpandDesignators(std::string_view list);

// The section of a list-of-elements object: from the first character after leading spaces.
int32_t DesignatorSection(std::string_view designators);
// The purchased-items list's variant: leading spaces are not removed (a leading space gives 200).
int32_t DesignatorSectionNoTrim(std::string_view designators);

}  // namespace zuro::generation
