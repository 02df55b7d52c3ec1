// The designator operations of the three document generators: the list rules of
// readers/designator_lists.h, which the readers write by, and the section a list of elements gives
// to a designator's class letter.
#pragma once

#include <cstdint>
#include <string_view>

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

}  // namespace zuro::generation
