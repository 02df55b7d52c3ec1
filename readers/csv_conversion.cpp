#include "readers/csv_conversion.h"

#include <algorithm>
#include <cstddef>

#include "base/text_encoding.h"
#include "base/text_file.h"

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kTab = '\t';
constexpr char kLineFeed = '\n';
constexpr std::string_view kSeparator = ",";
constexpr std::string_view kAltiumHeaderMark = "Quantity";
// Lines of one or two characters between the rows of a text report hold no component.
constexpr size_t kShortestAltiumRow = 3;
constexpr std::string_view kRowEnd = "</tr>";
constexpr std::string_view kHeaderCellOpen = "<td><b>";
constexpr std::string_view kHeaderCellClose = "</b></td>";
constexpr std::string_view kCellOpen = "<td";
constexpr std::string_view kBold = "<b>";
constexpr std::string_view kNoWrap = "nowrap";

// TextLines reads a "\r\n" line end as "\n"; a carriage return elsewhere belongs to the line.
void RemoveLineEnd(std::string& line) {
  if (line.ends_with(kLineFeed))
    line.pop_back();
}

// A field is written in quotes and followed by a comma. The reader cuts lines at quotes, so a
// text holding a quote of its own cannot be quoted; it is written as it is, and the reader then
// takes its quotes for field bounds.
void AppendField(std::string& csv, std::string_view field) {
  if (field.find(kQuote) == std::string_view::npos)
    csv.append(1, kQuote).append(field).append(1, kQuote);
  else
    csv.append(field);
  csv.append(kSeparator);
}

// Where `pattern` (in lower case) first stands in `line` from `from` on, without regard to the
// case of ASCII letters; Cyrillic texts (code page 1251) compare as they are. Tags are found by
// their first character, which none of them has as a letter.
size_t FindTag(std::string_view line, std::string_view pattern, size_t from = 0) {
  const auto matches = [&](size_t at) {
    for (size_t i = 0; i < pattern.size(); ++i) {
      if (AsciiLower(line[at + i]) != pattern[i])
        return false;
    }
    return true;
  };
  if (pattern.empty() || line.size() < pattern.size())
    return std::string_view::npos;
  const size_t last = line.size() - pattern.size();
  const bool letter = pattern[0] >= 'a' && pattern[0] <= 'z';
  for (size_t at = from; at <= last; ++at) {
    if (!letter) {
      at = line.find(pattern[0], at);
      if (at == std::string_view::npos || at > last)
        return std::string_view::npos;
    }
    if (matches(at))
      return at;
  }
  return std::string_view::npos;
}

// The name between "<td><b>" and "</b></td>"; a cell left unclosed runs to the end of the line.
std::string_view HeaderCellText(std::string_view line, size_t open) {
  const size_t start = open + kHeaderCellOpen.size();
  const size_t end = std::min(FindTag(line, kHeaderCellClose, start), line.size());
  return line.substr(start, end - start);
}

// The report writes a value as <td nowrap>value</td> and an empty cell without "nowrap", so the
// text of a cell without it is not taken. The text lies after the first ">"
// behind the line's first character (that of the cell's own "<") up to the next "<" or the end of
// the line; a "<" before any ">" leaves no text. Designators come separated by ";", which the
// reader wants as ",".
std::string DataCellText(std::string_view line) {
  if (FindTag(line, kNoWrap) == std::string_view::npos)
    return {};
  const size_t bracket = line.find_first_of("<>", 1);
  if (bracket == std::string_view::npos || line[bracket] == '<')
    return {};
  const size_t start = bracket + 1;
  const size_t end = std::min(line.find('<', start), line.size());
  std::string text(line.substr(start, end - start));
  std::replace(text.begin(), text.end(), ';', ',');
  return text;
}

// Calls `take` with every piece of the line between tabs, empty ones included.
template <typename Take>
void ForEachTabbedPiece(std::string_view line, Take take) {
  for (size_t start = 0; start <= line.size();) {
    const size_t end = std::min(line.find(kTab, start), line.size());
    take(line.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

// Each line becomes one line of fields, cut at tabs. An empty cell of a component keeps its
// field, so the values stay under their names; the header has no empty names to keep, and an
// empty line follows it, which the reader skips. A piece that is only "," would read back as a
// separator, so it is left out. A report saved as quoted CSV has no tabs: each line is one piece
// holding quotes, written as it is with a comma added.
std::string ConvertAltiumText(std::string_view report) {
  std::string csv;
  csv.reserve(report.size() + report.size() / 4);
  TextLines lines(report);
  for (std::string line; lines.Read(line);) {
    RemoveLineEnd(line);
    if (line.empty())
      continue;
    const bool header = line.find(kAltiumHeaderMark) != std::string::npos;
    if (!header && line.size() < kShortestAltiumRow)
      continue;
    ForEachTabbedPiece(line, [&](std::string_view piece) {
      if (piece != kSeparator && !(header && piece.empty()))
        AppendField(csv, piece);
    });
    csv.append(header ? 2 : 1, kLineFeed);
  }
  return csv;
}

// The report is an HTML table written one cell per line: header cells <td><b>Name</b></td>, data
// cells <td nowrap>value</td>, each row closed by a line with "</tr>". Tags are found without
// regard to letter case, texts are taken as written. Lines of anything else (the page around the
// table, "<tr>") add nothing, and a row is written only when its "</tr>" comes.
std::string ConvertAllegroHtml(std::string_view report) {
  std::string csv;
  csv.reserve(report.size() / 2);  // the tags go, the texts stay
  std::string row;
  TextLines lines(report);
  for (std::string_view raw; lines.Next(raw);) {
    const std::string_view line = WithoutLineEnd(raw);
    if (line.empty())
      continue;
    if (FindTag(line, kRowEnd) != std::string_view::npos) {
      csv.append(row).append(1, kLineFeed);
      row.clear();
    } else if (const size_t open = FindTag(line, kHeaderCellOpen); open != std::string_view::npos) {
      AppendField(row, HeaderCellText(line, open));
    } else if (FindTag(line, kCellOpen) != std::string_view::npos &&
               FindTag(line, kBold) == std::string_view::npos) {
      AppendField(row, DataCellText(line));
    }
  }
  return csv;
}

}  // namespace zuro::readers
