#include "generation/designators.h"

#include <algorithm>
#include <array>
#include <limits>

#include "readers/report_lines.h"

namespace zuro::generation {

namespace {

constexpr char kItemSeparator = ',';
constexpr char kDot = '.';
constexpr std::string_view kRange = "...";
// Counting takes two dots for a range mark, so a range mistyped with two still counts as one.
constexpr std::string_view kShortRange = "..";
constexpr std::string_view kBlanks = " \t\r\n";
// Where the number of a range's first designator starts: the prefix ends before the first
// significant digit, so leading zeros stay part of it (R01...R03 gives R01, R02, R03).
constexpr std::string_view kSignificantDigits = "123456789";
// An expanded list is read as at most this many items; the rest of a longer list is dropped.
constexpr size_t kMaxExpandedItems = 101;
// A guard, not a rule of the lists: one range gives at most this many designators, so a damaged
// or hostile text such as R1...R2000000000 cannot make billions of them. Real ranges stay far
// below it: every designator becomes an object of the document.
constexpr int64_t kMaxRangeDesignators = 10000;
// The section of a designators text that does not start with an upper-case Latin letter.
constexpr int32_t kOtherSection = 200;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool EndsDesignator(char c) {
  return c == kDot || c == kItemSeparator;
}

// atoi of a 32-bit int: a value beyond its range saturates, as the Windows runtime's atoi does.
int32_t AtoiOf(std::string_view text) {
  return static_cast<int32_t>(std::clamp<int64_t>(readers::LeadingInteger(text),
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The two ends of a range item whose mark starts at `mark`: the first designator is the text
// before the item's first dot, the last one the text after the three characters of the mark.
std::string_view RangeFirst(std::string_view item) {
  return item.substr(0, item.find(kDot));
}

std::string_view RangeLast(std::string_view item, size_t mark) {
  return item.substr(std::min(mark + kRange.size(), item.size()));
}

// Last minus first plus one; a reversed range gives zero or less, and the callers see it so.
int64_t RangeLength(std::string_view item, size_t mark) {
  return int64_t{DesignatorNumber(RangeLast(item, mark))} - DesignatorNumber(RangeFirst(item)) + 1;
}

// The designators of one range item "left...right": the prefix (left up to its first significant
// digit) followed by each number from left's to right's. Right's copy of the prefix is taken off
// when it has one; a right end written as a bare number (R1...3) then reads the same.
void AppendRange(std::string_view left,
                 std::string_view right,
                 std::vector<std::string>& designators) {
  const std::string_view prefix = left.substr(0, left.find_first_of(kSignificantDigits));
  left.remove_prefix(prefix.size());
  if (right.starts_with(prefix))
    right.remove_prefix(prefix.size());
  const int64_t first = AtoiOf(left);
  const int64_t last = std::min<int64_t>(AtoiOf(right), first + kMaxRangeDesignators - 1);
  for (int64_t number = first; number <= last; ++number)
    designators.push_back(std::string(prefix) + std::to_string(number));
}

}  // namespace

std::vector<std::string_view> DesignatorItems(std::string_view list) {
  std::vector<std::string_view> items;
  ForEachDesignatorItem(list, [&](std::string_view item) { items.push_back(item); });
  return items;
}

bool IsBlankItem(std::string_view item) {
  return item.find_first_not_of(kBlanks) == std::string_view::npos;
}

// The letters of the designator's first part (up to a range mark or the next item): VD12 gives
// VD, R3...R7 gives R. Digits, signs and Cyrillic letters are passed over.
std::string DesignatorPrefix(std::string_view designator) {
  std::string prefix;
  for (const char c : designator) {
    if (EndsDesignator(c))
      break;
    if (IsLetter(c))
      prefix += c;
  }
  return prefix;
}

// The number of the designator's last part (after a range mark or a previous item): everything
// but Latin letters and spaces, read with atoi. R3...R7 gives 7, C3A gives 3, a text without
// digits 0. Spaces are dropped so that a number split by blanks still reads whole.
int32_t DesignatorNumber(std::string_view designator) {
  size_t start = designator.size();
  while (start > 0 && !EndsDesignator(designator[start - 1]))
    --start;
  std::string number;
  for (const char c : designator.substr(start)) {
    if (!IsLetter(c) && c != ' ')
      number += c;
  }
  return AtoiOf(number);
}

// A range item (a mark of two or more dots after its first character) counts its span, any other
// item one designator. An item of blanks alone names none and counts nothing: such items come
// from a cell ending in "," or from an empty text, which hold no designator.
int64_t CountDesignators(std::string_view list) {
  int64_t count = 0;
  ForEachDesignatorItem(list, [&](std::string_view item) {
    const size_t mark = item.find(kShortRange);
    if (mark != std::string_view::npos && mark > 0)
      count += RangeLength(item, mark);
    else if (!IsBlankItem(item))
      ++count;
  });
  return count;
}

// The readers write every run of consecutive designators as a range; a run of two reads better
// as a pair (R4...R5 becomes R4,R5). An item whose "..." stands first has no first designator and
// is no range, as for counting and expanding.
std::string JoinPairRanges(std::string_view list) {
  std::string joined;
  joined.reserve(list.size());
  bool first = true;
  for (const std::string_view item : DesignatorItems(list)) {
    if (!first)
      joined += kItemSeparator;
    first = false;
    const size_t mark = item.find(kRange);
    if (mark != std::string_view::npos && mark > 0 && RangeLength(item, mark) == 2) {
      joined.append(item.substr(0, mark));
      joined += kItemSeparator;
      joined.append(item.substr(mark + kRange.size()));
    } else {
      joined.append(item);
    }
  }
  return joined;
}

// Spaces go first, so "R1, R2" and "R1,R2" are the same list and a single character left after
// them (a lone letter) is no designator. The first empty item ends the list. An item that is no
// complete range (no "...", "..." first, or nothing after it) is taken as one designator as it
// is written.
std::vector<std::string> ExpandDesignators(std::string_view list) {
  std::string text(list);
  std::erase(text, ' ');
  std::vector<std::string> designators;
  if (text.size() <= 1)
    return designators;
  if (text.find(kRange) == std::string::npos && text.find(kItemSeparator) == std::string::npos) {
    designators.push_back(std::move(text));
    return designators;
  }
  size_t taken = 0;
  for (const std::string_view item : DesignatorItems(text)) {
    if (item.empty() || taken == kMaxExpandedItems)
      break;
    ++taken;
    const size_t mark = item.find(kRange);
    if (mark == std::string_view::npos || mark == 0 || mark + kRange.size() == item.size())
      designators.emplace_back(item);
    else
      AppendRange(item.substr(0, mark), item.substr(mark + kRange.size()), designators);
  }
  return designators;
}

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

}  // namespace zuro::generation
