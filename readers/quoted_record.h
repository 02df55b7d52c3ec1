// The lines of a P-CAD report: fields in double quotes separated by ";". The PDM window reads
// the same records by its own rules, so the pieces are shared.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::readers {

// A line cut at every double quote: the pieces at odd positions are the field values, those at
// even positions the separators between them (and whatever stands before the first and after the
// last quote).
std::vector<std::string_view> SplitAtQuotes(std::string_view line);
// The piece at `index`, or an empty one past the end.
std::string_view PieceAt(const std::vector<std::string_view>& pieces, int index);
std::string WithoutLineFeeds(std::string_view text);
// A record is complete when it has a field for every attribute and its last field is closed by a
// quote.
bool IsCompleteRecord(std::string_view line, size_t attribute_count);

}  // namespace zuro::readers
