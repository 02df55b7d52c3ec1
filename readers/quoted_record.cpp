#include "readers/quoted_record.h"

#include <algorithm>

namespace zuro::readers {

namespace {
constexpr char kQuote = '"';
constexpr char kLineFeed = '\n';
constexpr std::string_view kSeparator = ";";
}  // namespace

// A line cut at every double quote: the pieces at odd positions are the field values, those at
// even positions the separators between them (and whatever stands before the first and after the
// last quote).
std::vector<std::string_view> SplitAtQuotes(std::string_view line) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t quote; (quote = line.find(kQuote, start)) != std::string_view::npos;
       start = quote + 1)
    pieces.push_back(line.substr(start, quote - start));
  pieces.push_back(line.substr(start));
  return pieces;
}

std::string_view PieceAt(const std::vector<std::string_view>& pieces, int index) {
  return index >= 0 && static_cast<size_t>(index) < pieces.size() ? pieces[index]
                                                                  : std::string_view();
}

std::string WithoutLineFeeds(std::string_view text) {
  std::string result(text);
  std::erase(result, kLineFeed);
  return result;
}

// A record is complete when it has a field for every attribute and its last field is closed by a
// quote. Fields are the non-empty texts between ";"; the line feed is not part of the last one,
// so a record that ends with ";" (as converted Mentor lists do) is complete.
bool IsCompleteRecord(std::string_view line, size_t attribute_count) {
  const std::string text = WithoutLineFeeds(line);
  size_t fields = 0;
  std::string_view last;
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find(kSeparator, start), text.size());
    if (end > start) {
      ++fields;
      last = std::string_view(text).substr(start, end - start);
    }
    start = end + 1;
  }
  return fields >= attribute_count && last.find(kQuote, 1) != std::string_view::npos;
}

}  // namespace zuro::readers
