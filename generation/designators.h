// The designator operations of the three document generators: the list rules of
// readers/designator_lists.h, which the readers write by, and the section a list of elements gives
// to a designator's class letter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "readers/designator_lists.h"

namespace zuro::generation {

using readers::CountDesignators;
using readers::DesignatorItems;
using readers::DesignatorNumber;
using readers::DesignatorPrefix;
using readers::ExpandDesignators;
using readers::ForEachDesignatorItem;
using readers::IsBlankItem;
using readers::JoinPairRanges;

// The section of a list-of-elements object: from the first character after leading spaces.
int32_t DesignatorSection(std::string_view designators);
// The purchased-items list's variant: leading spaces are not removed (a leading space gives 200).
int32_t DesignatorSectionNoTrim(std::string_view designators);

// A list's items grouped by the letters they begin with (all before the first digit), in the
// order those first appear, each group's items trimmed of blanks and joined by ",": "P2, R3, C1,
// R5" gives P2, R3,R5 and C1. Letters after the number do not count: C2A and C2B are channels of
// one class of parts, not two. Blank items are left out. A list whose items all begin alike gives
// no groups: it stays as it is written.
std::vector<std::string> PrefixGroups(std::string_view list);

// The designators as a document writes them for the designer: every run "R1...R5" with the
// separator the settings chose ("R1-R5"). Only the text handed to a host object changes; every
// operation on designators (sections, groups, counts, lookups) works on the "..." form before.
std::string DocumentRanges(std::string_view designators, RangeSeparator separator);

}  // namespace zuro::generation
