#include "generation/designators.h"

#include <array>

#include "base/text_edit.h"

namespace zuro::generation {

namespace {

// The section of a designators text that does not start with an upper-case Latin letter.
constexpr int32_t kOtherSection = 200;

}  // namespace

// The section orders the objects of the list of elements by the class letter their designators
// start with. Only upper-case Latin letters have one of their own; N and O do not, and share the
// last section with everything else.
int32_t DesignatorSectionNoTrim(std::string_view designators) {
  static constexpr std::array<int32_t, 26> kSections = {1,
                                                        5,
                                                        10,
                                                        15,
                                                        20,
                                                        25,
                                                        30,
                                                        35,
                                                        36,
                                                        37,
                                                        40,
                                                        45,
                                                        50,  // A-M
                                                        kOtherSection,
                                                        kOtherSection,
                                                        55,
                                                        60,
                                                        65,
                                                        70,
                                                        75,
                                                        80,
                                                        85,
                                                        90,
                                                        95,
                                                        100,
                                                        105};  // N-Z
  if (designators.empty() || designators[0] < 'A' || designators[0] > 'Z')
    return kOtherSection;
  return kSections[designators[0] - 'A'];
}

int32_t DesignatorSection(std::string_view designators) {
  const size_t first = designators.find_first_not_of(' ');
  return DesignatorSectionNoTrim(first == std::string_view::npos ? std::string_view()
                                                                 : designators.substr(first));
}

std::vector<std::string> PrefixGroups(std::string_view list) {
  std::vector<std::string_view> prefixes;
  std::vector<std::string> groups;
  ForEachDesignatorItem(list, [&](std::string_view item) {
    if (IsBlankItem(item))
      return;
    const size_t first = item.find_first_not_of(" \t\r\n");
    item = item.substr(first, item.find_last_not_of(" \t\r\n") - first + 1);
    const std::string_view prefix = item.substr(0, item.find_first_of("0123456789"));
    size_t group = 0;
    while (group < prefixes.size() && prefixes[group] != prefix)
      ++group;
    if (group == prefixes.size()) {
      prefixes.push_back(prefix);
      groups.emplace_back();
    }
    if (!groups[group].empty())
      groups[group] += ',';
    groups[group] += item;
  });
  if (groups.size() < 2)
    groups.clear();
  return groups;
}

std::string DocumentRanges(std::string_view designators, RangeSeparator separator) {
  std::string text(designators);
  if (separator == RangeSeparator::kDash)
    ReplaceAll(text, "...", "-");
  return text;
}

}  // namespace zuro::generation
