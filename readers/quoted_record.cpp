#include "readers/quoted_record.h"

#include <algorithm>

namespace zuro::readers {

namespace {
constexpr char kQuote = '"';
constexpr char kLineFeed = '\n';
}  // namespace

// A line cut at every double quote: the pieces at odd positions are the field values, those at
// even positions the separators between them (and whatever stands before the first and after the
// last quote).
std::vector<std::string_view> SplitAtQuotes(std::string_view line) {
  std::vector<std::string_view> pieces;
  SplitAtQuotes(line, pieces);
  return pieces;
}

void SplitAtQuotes(std::string_view line, std::vector<std::string_view>& pieces) {
  pieces.clear();
  size_t start = 0;
  for (size_t quote; (quote = line.find(kQuote, start)) != std::string_view::npos;
       start = quote + 1)
    pieces.push_back(line.substr(start, quote - start));
  pieces.push_back(line.substr(start));
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

std::string_view WithoutLineFeeds(std::string_view text, std::string& room) {
  if (text.find(kLineFeed) == std::string_view::npos)
    return text;
  room.assign(text);
  std::erase(room, kLineFeed);
  return room;
}

bool IsCompleteRecord(std::string_view line, size_t attribute_count) {
  std::vector<std::string_view> pieces;
  return SplitRecord(line, attribute_count, pieces);
}

// A record is complete when it has a field for every attribute and its last field is closed by a
// quote. Fields are the non-empty texts between ";", line feeds left out; the line feed is not
// part of the last one, so a record that ends with ";" (as converted Mentor lists do) is complete.
// Every line of a report passes here, so the line is read once, as it stands, without a copy.
bool SplitRecord(std::string_view line,
                 size_t attribute_count,
                 std::vector<std::string_view>& pieces,
                 char separator) {
  pieces.clear();
  size_t fields = 0;
  size_t length = 0;
  bool closed = false;
  bool last_closed = false;
  size_t start = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == kQuote) {
      pieces.push_back(line.substr(start, i - start));
      start = i + 1;
      closed = closed || length > 0;
      ++length;
    } else if (c == separator) {
      if (length > 0) {
        ++fields;
        last_closed = closed;
      }
      length = 0;
      closed = false;
    } else if (c != kLineFeed) {
      ++length;
    }
  }
  pieces.push_back(line.substr(start));
  if (length > 0) {
    ++fields;
    last_closed = closed;
  }
  return fields >= attribute_count && last_closed;
}

}  // namespace zuro::readers
