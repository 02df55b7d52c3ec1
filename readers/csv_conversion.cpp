#include "readers/csv_conversion.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "readers/html_table.h"

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
constexpr std::string_view kCellClose = "</td>";

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

// The text of a data cell as a browser shows it, from the end of its "<td ...>" tag to "</td>"
// (or as far as the cell runs): tags left out, references decoded, blanks and line breaks one
// blank, none at either end. Designators come separated by ";", which the reader wants as ",".
std::string DataCellText(std::string_view content) {
  std::string text = HtmlCellText(content);
  std::replace(text.begin(), text.end(), ';', ',');
  return text;
}

// The report as it is written, one line at a time: header cells <td><b>Name</b></td>, data cells
// <td ...>value</td> with any attributes, each row closed by a line with "</tr>". A data cell
// whose "</td>" is not on its line runs on over the lines that follow (long designator lists
// wrap) up to its "</td>", or up to the next cell or row end. Tags are found without regard to
// letter case. Lines of anything else (the page around the table, "<tr>") add nothing, and a row
// is kept only when its "</tr>" comes.
class AllegroHtmlLines {
 public:
  std::vector<DelimitedRecord> Run(std::string_view report);

 private:
  void TakeLine(std::string_view line);
  void OpenDataCell(std::string_view line, size_t open);
  std::string_view ContinueCell(std::string_view line);
  void FinishCell();

  std::vector<DelimitedRecord> rows_;
  DelimitedRecord row_;
  std::optional<std::string> cell_;  // what a data cell running over lines holds so far
};

std::vector<DelimitedRecord> AllegroHtmlLines::Run(std::string_view report) {
  TextLines lines(report);
  for (std::string_view raw; lines.Next(raw);) {
    std::string_view line = WithoutLineEnd(raw);
    if (cell_)
      line = ContinueCell(line);
    if (!line.empty())
      TakeLine(line);
  }
  FinishCell();
  return std::move(rows_);
}

void AllegroHtmlLines::TakeLine(std::string_view line) {
  if (FindTag(line, kRowEnd) != std::string_view::npos) {
    rows_.push_back(std::move(row_));
    row_.clear();
  } else if (const size_t open = FindTag(line, kHeaderCellOpen); open != std::string_view::npos) {
    row_.emplace_back(HeaderCellText(line, open));
  } else if (const size_t open = FindTag(line, kCellOpen);
             open != std::string_view::npos && FindTag(line, kBold) == std::string_view::npos) {
    OpenDataCell(line, open);
  }
}

// The cell's text starts after the ">" that ends its tag; a tag cut short by the line end leaves
// the cell empty. What follows "</td>" on the line is no part of the cell.
void AllegroHtmlLines::OpenDataCell(std::string_view line, size_t open) {
  const size_t tag_end = line.find('>', open);
  if (tag_end == std::string_view::npos) {
    row_.emplace_back();
    return;
  }
  const std::string_view content = line.substr(tag_end + 1);
  const size_t close = FindTag(content, kCellClose);
  if (close != std::string_view::npos)
    row_.push_back(DataCellText(content.substr(0, close)));
  else
    cell_ = std::string(content);
}

// A line of a cell that runs on: up to "</td>" it belongs to the cell, and the rest of the line
// is left; up to the next cell or row end it belongs to the cell, and the line from there is read
// as any line. The part of the line left for the line rules is returned.
std::string_view AllegroHtmlLines::ContinueCell(std::string_view line) {
  const size_t close = FindTag(line, kCellClose);
  const size_t next = std::min(FindTag(line, kCellOpen), FindTag(line, kRowEnd));
  const size_t end = std::min({close, next, line.size()});
  cell_->append(1, kLineFeed).append(line.substr(0, end));
  if (end == line.size())
    return {};
  FinishCell();
  return end == close ? std::string_view() : line.substr(end);
}

void AllegroHtmlLines::FinishCell() {
  if (!cell_)
    return;
  row_.push_back(DataCellText(*cell_));
  cell_.reset();
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

std::vector<DelimitedRecord> ReadAllegroHtmlLines(std::string_view report) {
  return AllegroHtmlLines().Run(report);
}

std::string ConvertAllegroHtml(std::string_view report) {
  return AllegroLinesCsv(ReadAllegroHtmlLines(report));
}

// Each row becomes one line of fields; a row without cells an empty line, which the reader skips.
std::string AllegroLinesCsv(const std::vector<DelimitedRecord>& rows) {
  std::string csv;
  for (const DelimitedRecord& row : rows) {
    for (const std::string& field : row)
      AppendField(csv, field);
    csv.append(1, kLineFeed);
  }
  return csv;
}

}  // namespace zuro::readers
