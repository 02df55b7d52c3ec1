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
// The same into `pieces`, whose room a reader keeps from line to line.
void SplitAtQuotes(std::string_view line, std::vector<std::string_view>& pieces);
// The piece at `index`, or an empty one past the end.
std::string_view PieceAt(const std::vector<std::string_view>& pieces, int index);
std::string WithoutLineFeeds(std::string_view text);
// The text without its line feeds: the text itself when it has none, which a value usually has
// not, else a copy in `room`.
std::string_view WithoutLineFeeds(std::string_view text, std::string& room);
// A record is complete when it has a field for every attribute and its last field is closed by a
// quote.
bool IsCompleteRecord(std::string_view line, size_t attribute_count);
// SplitAtQuotes and IsCompleteRecord in one pass over the line, which a reader of a large report
// does for every line.
// The fields are counted between `separator`s, ";" in the reports this reader was made for.
bool SplitRecord(std::string_view line,
                 size_t attribute_count,
                 std::vector<std::string_view>& pieces,
                 char separator = ';');

}  // namespace zuro::readers
