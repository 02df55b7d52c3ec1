// The three choices of a converter window that decide what a generation run writes.
#pragma once

#include <cstdint>

namespace zuro::generation {

enum class DocumentKind : int32_t { kSpecification = 0, kListOfElements = 1, kPurchasedItems = 2 };
enum class SortMode : int32_t { kByElements = 0, kByGost = 1 };
enum class OutputDevice : int32_t { kGraphic = 0, kVector = 1 };

}  // namespace zuro::generation
