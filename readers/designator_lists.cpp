#include "readers/designator_lists.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "base/leading_numbers.h"
#include "readers/selection_order.h"

namespace zuro::readers {

namespace {

constexpr char kItemSeparator = ',';
constexpr char kDot = '.';
constexpr std::string_view kRange = "...";
// Counting takes two dots for a range mark, so a range mistyped with two still counts as one.
constexpr std::string_view kShortRange = "..";
constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::string_view kDigits = "0123456789";
// Where the number of a range's first end starts when that end is not plain (R1.5...R7): its
// prefix ends before the first significant digit.
constexpr std::string_view kSignificantDigits = "123456789";
// An expanded list is read as at most this many items; the rest of a longer list is dropped.
constexpr size_t kMaxExpandedItems = 101;
// A guard, not a rule of the lists: one range gives at most this many designators, so a damaged
// or hostile text such as R1...R2000000000 cannot make billions of them. Real ranges stay far
// below it: every designator becomes an object of the document.
constexpr int64_t kMaxRangeDesignators = 10000;
// More digits than this may not fit 64 bits; such a number makes no run.
constexpr size_t kMaxRunDigits = 18;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// How many Latin letters the text starts with.
size_t LeadingLetters(std::string_view text) {
  size_t letters = 0;
  while (letters < text.size() && IsLetter(text[letters]))
    ++letters;
  return letters;
}

bool EndsDesignator(char c) {
  return c == kDot || c == kItemSeparator;
}

// atoi of a 32-bit int: a value beyond its range saturates, as the Windows runtime's atoi does.
int32_t AtoiOf(std::string_view text) {
  return static_cast<int32_t>(std::clamp<int64_t>(LeadingInteger(text),
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A designator that can stand in a run: Latin letters (or none), then digits only (R12, VD3, 12).
// C2A, R1A2, DA1-1 or C3_CH1 are not: they name one part of a multi-part component or of a
// channel, and there is no telling which parts lie between two of them.
struct PlainDesignator {
  std::string_view letters;
  std::string_view digits;
  int64_t number = 0;
};

std::optional<PlainDesignator> AsPlain(std::string_view designator) {
  const size_t letters = LeadingLetters(designator);
  const std::string_view digits = designator.substr(letters);
  if (digits.empty() || digits.size() > kMaxRunDigits ||
      digits.find_first_not_of(kDigits) != std::string_view::npos)
    return std::nullopt;
  return PlainDesignator{designator.substr(0, letters), digits, LeadingInteger(digits)};
}

// `next` goes on the run that `last` ends: the same letters, the next number, and digits of one
// width when either is written with leading zeros (R08, R09, R10 but not R09, R010).
bool ContinuesRun(const PlainDesignator& last, const PlainDesignator& next) {
  const bool padded = last.digits.front() == '0' || next.digits.front() == '0';
  return last.letters == next.letters && next.number == last.number + 1 &&
         (!padded || last.digits.size() == next.digits.size());
}

// The text without its blanks; the text itself when it has none, a copy in `room` otherwise. The
// documents count ranges item by item, and a range seldom holds a blank.
std::string_view WithoutBlanks(std::string_view text, std::string& room) {
  if (text.find_first_of(kBlanks) == std::string_view::npos)
    return text;
  room.clear();
  for (const char c : text) {
    if (kBlanks.find(c) == std::string_view::npos)
      room += c;
  }
  return room;
}

// A range item names the designators between its ends only when they could have made a run: both
// plain with the same letters, or the last end a bare number (R1...3). Any other "..." item (one
// that a table saved by an earlier version may hold, C2B...C3A) names its two ends alone. Blanks
// inside the ends are not read.
bool NamesARun(std::string_view first, std::string_view last) {
  std::string first_room;
  std::string last_room;
  const std::optional<PlainDesignator> a = AsPlain(WithoutBlanks(first, first_room));
  const std::optional<PlainDesignator> b = AsPlain(WithoutBlanks(last, last_room));
  return a && b && (a->letters == b->letters || b->letters.empty());
}

bool IsLoneRange(std::string_view first, std::string_view last) {
  return !IsBlankItem(first) && !IsBlankItem(last) && !NamesARun(first, last);
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
int64_t NumberSpan(std::string_view item, size_t mark) {
  return int64_t{DesignatorNumber(RangeLast(item, mark))} - DesignatorNumber(RangeFirst(item)) + 1;
}

// How many designators a range item names: its span, or its two ends when they make no run.
int64_t RangeLength(std::string_view item, size_t mark) {
  return IsLoneRange(RangeFirst(item), RangeLast(item, mark)) ? 2 : NumberSpan(item, mark);
}

// The designators of one range item "left...right". A plain first end (R1, R08) gives its letters
// followed by each number from its own to right's, right's letters taken off (or none: R1...3);
// written with leading zeros, it gives every number that width, so a run that crosses a power of
// ten (R08...R10) reads whole. Any other first end (R1.5) gives its prefix up to its first
// significant digit followed by each number.
void AppendRange(std::string_view left,
                 std::string_view right,
                 std::vector<std::string>& designators) {
  if (IsLoneRange(RangeFirst(left), right)) {
    designators.emplace_back(left);
    designators.emplace_back(right);
    return;
  }
  const std::optional<PlainDesignator> plain = AsPlain(left);
  const std::string_view prefix =
      plain ? plain->letters : left.substr(0, left.find_first_of(kSignificantDigits));
  const size_t width =
      plain && plain->digits.size() > 1 && plain->digits.front() == '0' ? plain->digits.size() : 0;
  if (right.starts_with(prefix))
    right.remove_prefix(prefix.size());
  const int64_t first = AtoiOf(left.substr(prefix.size()));
  const int64_t last = std::min<int64_t>(AtoiOf(right), first + kMaxRangeDesignators - 1);
  for (int64_t number = first; number <= last; ++number) {
    std::string digits = std::to_string(number);
    if (digits.size() < width)
      digits.insert(0, width - digits.size(), '0');
    designators.push_back(std::string(prefix) + digits);
  }
}

}  // namespace

// Every run of digits contributes its digits without its leading zeros, and the contributions
// are read as one number: R12 gives 12, R05 5, C1.2 12, DD3A 3, R0 0. Numbers too long for 64
// bits saturate, so they still sort after all shorter ones.
int64_t DesignatorSortNumber(std::string_view designator) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  int64_t number = 0;
  bool run_started = false;
  for (const char c : designator) {
    const bool digit = c >= '0' && c <= '9';
    run_started = digit && (run_started || c != '0');
    if (run_started)
      number = number > (kLimit - (c - '0')) / 10 ? kLimit : number * 10 + (c - '0');
  }
  return number;
}

int64_t ReferenceNumber(std::string_view reference) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  int64_t number = 0;
  for (const char c : reference) {
    if (c < '0' || c > '9')
      continue;
    const int digit = c - '0';
    number = number > (kLimit - digit) / 10 ? kLimit : number * 10 + digit;
  }
  return number;
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

// Digits, signs and Cyrillic letters are passed over.
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

// A selection sort: each position gets the first smallest number after it by an exchange. The
// exchange may put designators of equal numbers (C2, DA2) out of their file order, and the lists
// users know from their reports depend on that order, so no stable sort is used instead. A long
// list (a quantity typed wrong swallows the rest of a report) finds its smallest numbers in a
// tree, so that no report keeps the window busy for minutes.
void SortDesignators(std::vector<NumberedDesignator>& designators) {
  const size_t count = designators.size();
  if (count <= kPlainSelectionLimit) {
    for (size_t position = 0; position < count; ++position) {
      size_t smallest = position;
      for (size_t candidate = position + 1; candidate < count; ++candidate) {
        if (designators[candidate].number < designators[smallest].number)
          smallest = candidate;
      }
      if (smallest != position)
        std::swap(designators[position], designators[smallest]);
    }
    return;
  }
  SelectionTree after(count);
  for (size_t place = 0; place < count; ++place)
    after.Fill(place, designators[place].number);
  for (size_t position = 0; position < count; ++position) {
    const size_t smallest = after.FirstSmallest();
    if (smallest != position) {
      std::swap(designators[position], designators[smallest]);
      after.Fill(smallest, designators[smallest].number);
    }
    after.Clear(position);
  }
}

// Orders the numbered references as a selection sort over the slots does: each place takes the
// first slot of the smallest number from that place on, by exchanging the two. References without
// a number never get chosen and stay behind, but they hold places: where they stand decides which
// of two equal numbers (C2, DA2) comes first, and users know their lists by that order. So the
// selection is run on the numbered references with their slots: a numbered reference standing at
// the place being filled moves to the chosen one's slot. `remaining` is in slot order.
std::vector<NumberedReference> SelectBySlots(std::vector<NumberedReference> remaining) {
  const auto by_number = [](const NumberedReference& a, const NumberedReference& b) {
    return a.number < b.number;
  };
  std::vector<NumberedReference> sorted;
  sorted.reserve(remaining.size());
  for (size_t place = 0; !remaining.empty(); ++place) {
    const auto chosen = std::min_element(remaining.begin(), remaining.end(), by_number);
    sorted.push_back(*chosen);
    const bool exchanged = chosen != remaining.begin() && remaining.front().slot == place;
    remaining.erase(chosen);
    if (exchanged) {
      NumberedReference displaced = remaining.front();
      remaining.erase(remaining.begin());
      displaced.slot = sorted.back().slot;
      const auto after =
          std::upper_bound(remaining.begin(), remaining.end(), displaced,
                           [](const auto& a, const auto& b) { return a.slot < b.slot; });
      remaining.insert(after, displaced);
    }
  }
  return sorted;
}

// A long list (a report of tens of thousands of designators in one item) finds its smallest
// numbers in a tree over the references' ranks in slot order, so that no report keeps the window
// busy.
std::vector<NumberedReference> SortByNumber(std::vector<NumberedReference> remaining) {
  if (remaining.size() <= kPlainSelectionLimit)
    return SelectBySlots(std::move(remaining));
  std::vector<NumberedReference> sorted;
  sorted.reserve(remaining.size());
  // A displaced reference takes the chosen one's slot, and so its rank: ranks keep slot order.
  SelectionTree ranks(remaining.size());
  for (size_t rank = 0; rank < remaining.size(); ++rank)
    ranks.Fill(rank, remaining[rank].number);
  for (size_t place = 0; sorted.size() < remaining.size(); ++place) {
    const size_t chosen = ranks.FirstSmallest();
    const size_t front = ranks.FirstFilled();
    sorted.push_back(remaining[chosen]);
    ranks.Clear(chosen);
    if (chosen != front && remaining[front].slot == place) {
      remaining[chosen] = {remaining[chosen].slot, remaining[front].number, remaining[front].text};
      ranks.Clear(front);
      ranks.Fill(chosen, remaining[chosen].number);
    }
  }
  return sorted;
}

// A run grows while each next designator continues it; `run_start` is the length of the list up
// to and with the run's first designator, so a longer run only rewrites its last end. Letters are
// compared, so R1, C2, VD3 stay three items, and a repeated number starts a new item (C2,C2...C3).
// An empty text is no designator.
std::string JoinRuns(const std::vector<std::string_view>& ordered) {
  std::string list;
  size_t run_start = 0;
  std::optional<PlainDesignator> last;
  for (const std::string_view designator : ordered) {
    if (designator.empty())
      continue;
    const std::optional<PlainDesignator> plain = AsPlain(designator);
    if (last && plain && ContinuesRun(*last, *plain)) {
      list.resize(run_start);
      list += kRange;
    } else {
      if (!list.empty())
        list += kItemSeparator;
      run_start = list.size() + designator.size();
    }
    list += designator;
    last = plain;
  }
  return list;
}

std::string CompactDesignators(const std::vector<std::string>& designators) {
  std::vector<NumberedDesignator> numbered;
  numbered.reserve(designators.size());
  for (const std::string& designator : designators)
    numbered.push_back({designator, DesignatorSortNumber(designator)});
  SortDesignators(numbered);
  std::vector<std::string_view> ordered;
  ordered.reserve(numbered.size());
  for (const NumberedDesignator& designator : numbered)
    ordered.push_back(designator.text);
  return JoinRuns(ordered);
}

// The selection puts references with a number first; the others (X, R0) are never chosen and
// follow them in the order the item listed them. A list of fewer than two characters leaves the
// cell as the item line wrote it.
std::string CompactReferenceSlots(const std::vector<ReferenceSlot>& filled) {
  std::vector<NumberedReference> numbered;
  std::vector<std::string_view> ordered;
  for (const ReferenceSlot& slot : filled) {
    const int64_t number = ReferenceNumber(slot.text);
    if (number > 0)
      numbered.push_back({slot.index, number, slot.text});
  }
  for (const NumberedReference& reference : SortByNumber(std::move(numbered)))
    ordered.push_back(reference.text);
  for (const ReferenceSlot& slot : filled) {
    if (!slot.text.empty() && ReferenceNumber(slot.text) == 0)
      ordered.push_back(slot.text);
  }
  std::string list = JoinPairRanges(JoinRuns(ordered));
  return list.size() >= 2 ? list : std::string();
}

size_t ReferenceSlots::Scan(std::string_view references, size_t start, bool closed_by_tab) {
  while (!filled_.empty() && filled_.back().index >= start)
    filled_.pop_back();
  size_t slot = start;
  std::string text;
  for (const char c : references) {
    if (c == kItemSeparator) {
      Put(slot++, std::move(text));
      text.clear();
    } else {
      text += c;
    }
  }
  Put(slot, std::move(text));
  return closed_by_tab ? slot + 1 : slot;
}

std::string_view ReferenceSlots::Text(size_t index) const {
  for (const ReferenceSlot& slot : filled_) {
    if (slot.index >= index)
      return slot.index == index ? std::string_view(slot.text) : std::string_view();
  }
  return {};
}

std::string ReferenceSlots::CellText(bool item_line_listed_none) const {
  const size_t count = item_line_listed_none ? filled_.size() : Count();
  if (count == 1 && item_line_listed_none)
    return filled_.front().text;
  if (count == 2 && item_line_listed_none)
    return filled_[0].text + kItemSeparator + filled_[1].text;
  if (count == 2)
    return std::string(Text(0)) + kItemSeparator + std::string(Text(1));
  if (count > 2)
    return CompactReferenceSlots(filled_);
  return {};
}

std::string CompactReferences(std::vector<std::string> references) {
  std::vector<ReferenceSlot> slots;
  for (size_t index = 0; index < references.size(); ++index) {
    if (!references[index].empty())
      slots.push_back({index, std::move(references[index])});
  }
  return CompactReferenceSlots(slots);
}

// The CAD systems write all designators of a component into one value, separated by commas and
// usually blanks. One or two of them are left as written, blanks included; more are ordered by
// their numbers and joined into runs, in the same order as the P-CAD lists. An empty piece (",,"
// or a closing ",") is no reference.
std::string RewriteReferences(std::string_view value) {
  std::vector<NumberedDesignator> references;
  ForEachDesignatorItem(value, [&](std::string_view piece) {
    std::string reference;
    for (const char c : piece) {
      if (c != ' ')
        reference += c;
    }
    if (!reference.empty())
      references.push_back({std::move(reference), 0});
  });
  if (references.size() <= 2)
    return std::string(value);
  for (NumberedDesignator& reference : references)
    reference.number = ReferenceNumber(reference.text);
  SortDesignators(references);
  std::vector<std::string_view> ordered;
  ordered.reserve(references.size());
  for (const NumberedDesignator& reference : references)
    ordered.push_back(reference.text);
  return JoinRuns(ordered);
}

std::vector<std::string_view> DesignatorItems(std::string_view list) {
  std::vector<std::string_view> items;
  ForEachDesignatorItem(list, [&](std::string_view item) { items.push_back(item); });
  return items;
}

bool IsBlankItem(std::string_view item) {
  return item.find_first_not_of(kBlanks) == std::string_view::npos;
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
  ForEachDesignatorItem(list, [&](std::string_view item) {
    if (!first)
      joined += kItemSeparator;
    first = false;
    const size_t mark = item.find(kRange);
    if (mark != std::string_view::npos && mark > 0 && NumberSpan(item, mark) == 2) {
      joined.append(item.substr(0, mark));
      joined += kItemSeparator;
      joined.append(item.substr(mark + kRange.size()));
    } else {
      joined.append(item);
    }
  });
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

}  // namespace zuro::readers
