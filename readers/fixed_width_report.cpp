#include "readers/fixed_width_report.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "readers/report_lines.h"

namespace zuro::readers {

namespace {

constexpr std::string_view kBlanks = " \t\f\r\n";
constexpr char kDash = '-';
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kRefDesName = "RefDes";
// A component of more parts than this is no component a report lists: its quantity is taken for
// a damaged one, and the report is refused rather than read into a list of millions.
constexpr int64_t kMostParts = 1000000;

bool IsBlank(char c) {
  return kBlanks.find(c) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// A quantity written as digits alone, 1 to kMostParts; 0 for anything else.
int64_t PartCount(std::string_view text) {
  if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != text.npos)
    return 0;
  const int64_t count = LeadingInteger(text);
  return count <= kMostParts ? count : 0;
}

bool BlankBetween(std::string_view line, size_t from, size_t to) {
  for (size_t i = from; i < to && i < line.size(); ++i) {
    if (!IsBlank(line[i]))
      return false;
  }
  return true;
}

// The cut of one line into its values: the cheapest reading in which every value starts at its
// column moved right by as much as the values before it ran over theirs. Every value that runs
// over its column costs one, and one more for every later column whose start it covers; so does a
// value that does not start at its column (it stands further in, as the value of a column it does
// not belong to would); a column that would start in the middle of a word is no reading at all.
// One value swallowing the rest of a line thus costs more than the two or three values that
// really run over. Of two readings as cheap, the one whose values end sooner wins. Most lines
// have a reading of cost 0 found on the first try. The readings of a line are tried once per
// column and shift, a value tries at most kMostEnds ends, and a line gets kTriesPerColumn tries a
// column in all: past them every value takes its first end that fits, so a line of hundreds of
// columns and words, which no CAD system writes, still costs little.
class FixedWidthCut {
 public:
  FixedWidthCut(std::string_view line, const std::vector<FixedColumn>& columns)
      : line_(line), columns_(columns), tries_left_(kTriesPerColumn * columns.size()) {}

  std::vector<std::string> Values() {
    std::vector<std::string> values(columns_.size());
    size_t shift = 0;
    for (size_t column = 0; column < columns_.size(); ++column) {
      const size_t start = columns_[column].start + shift;
      if (start >= line_.size())
        break;
      const size_t end = Cheapest(column, shift).end;
      values[column] = Trimmed(line_.substr(start, end - start));
      shift = std::max(shift, end - std::min(end, columns_[column].end));
    }
    return values;
  }

 private:
  static constexpr size_t kNoReading = SIZE_MAX / 4;
  static constexpr size_t kMostEnds = 64;
  static constexpr size_t kTriesPerColumn = 64;
  // A value misread: one that runs over, or one that does not start at its column.
  static constexpr size_t kValueCost = 1;
  struct Reading {
    size_t cost = kNoReading;
    size_t end = 0;
  };

  Reading Cheapest(size_t column, size_t shift) {
    const auto key = std::make_pair(column, shift);
    if (const auto known = readings_.find(key); known != readings_.end())
      return known->second;
    Reading best = Read(column, shift);
    readings_[key] = best;
    return best;
  }

  Reading Read(size_t column, size_t shift) {
    const size_t start = columns_[column].start + shift;
    if (start >= line_.size())
      return {0, line_.size()};
    if (start > 0 && !IsBlank(line_[start - 1]))
      return {};
    const size_t misplaced = IsBlank(line_[start]) ? kValueCost : 0;
    if (column + 1 == columns_.size()) {
      const bool empty = Trimmed(line_.substr(start)).empty();
      return {empty ? 0 : misplaced, line_.size()};
    }
    const size_t gap = columns_[column + 1].start - columns_[column].end;
    const size_t column_end = std::min(columns_[column].end + shift, line_.size());
    Reading best;
    const size_t most_ends = tries_left_ > 0 ? kMostEnds : 1;
    size_t tried = 0;
    for (size_t end = column_end; end <= line_.size() && tried < most_ends; ++end) {
      const bool word_end = end > start && !IsBlank(line_[end - 1]);
      if (end != column_end && !word_end)
        continue;
      if ((end < line_.size() && !IsBlank(line_[end])) || !BlankBetween(line_, end, end + gap))
        continue;
      ++tried;
      tries_left_ -= tries_left_ > 0 ? 1 : 0;
      const bool empty = Trimmed(line_.substr(start, end - start)).empty();
      const size_t here = RunOver(column, shift, end) + (empty ? 0 : misplaced);
      if (here >= best.cost)
        break;  // an end further on costs no less here
      const size_t rest =
          Cheapest(column + 1, std::max(shift, end - std::min(end, columns_[column].end))).cost;
      if (here + rest < best.cost)
        best = {here + rest, end};
      if (best.cost == 0)
        break;
    }
    if (best.cost == kNoReading)  // no end fits: the value takes the rest of the line
      best = {RunOver(column, shift, line_.size()) + misplaced, line_.size()};
    return best;
  }

  // What a value of `column` ending at `end` costs for running over its column: nothing when it
  // does not, else a value run over, one for every later column whose start it covers and one
  // for every run of two or more blanks inside it, which stands between the values of two
  // columns far more often than inside one.
  size_t RunOver(size_t column, size_t shift, size_t end) const {
    if (end <= columns_[column].end + shift)
      return 0;
    const auto later = columns_.begin() + static_cast<std::ptrdiff_t>(column) + 1;
    const auto first_beyond =
        std::lower_bound(later, columns_.end(), end - shift,
                         [](const FixedColumn& c, size_t position) { return c.start < position; });
    const auto covered = static_cast<size_t>(first_beyond - later);
    size_t wide_blanks = 0;
    const std::string_view value =
        Trimmed(line_.substr(columns_[column].start + shift, end - columns_[column].start - shift));
    for (size_t i = 1; i < value.size(); ++i) {
      if (IsBlank(value[i]) && IsBlank(value[i - 1]) && (i < 2 || !IsBlank(value[i - 2])))
        ++wide_blanks;
    }
    return kValueCost + covered + wide_blanks;
  }

  std::string_view line_;
  const std::vector<FixedColumn>& columns_;
  std::map<std::pair<size_t, size_t>, Reading> readings_;
  size_t tries_left_;
};

// A report of quoted fields separated by ";", built line by line. A double quote inside a value
// would end the field early, so it is written as an apostrophe.
class QuotedReport {
 public:
  void Line(const std::vector<std::string>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      text_ += i == 0 ? "\"" : ";\"";
      for (const char c : values[i])
        text_ += c == '"' ? '\'' : c;
      text_ += '"';
    }
    text_ += '\n';
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The column names and the columns of a report printed under an underline, and the lines after.
struct FixedWidthTable {
  std::vector<FixedColumn> columns;
  std::vector<std::string> names;
  std::vector<std::string_view> body;  // the lines after the underline, line ends taken off
};

// The first line that an underline follows and that `is_header` accepts, with the lines after
// the underline; blank lines, underlines and the header repeated (as on a new page) are left out
// of the body.
template <typename IsHeader>
std::optional<FixedWidthTable> FindFixedWidthTable(std::string_view text, IsHeader is_header) {
  TextLines lines(text);
  std::string_view line, previous, header;
  std::optional<FixedWidthTable> table;
  while (lines.Next(line)) {
    line = WithoutLineEnd(line);
    if (!table) {
      std::vector<FixedColumn> columns = UnderlineColumns(line);
      if (!columns.empty() && !Trimmed(previous).empty()) {
        std::vector<std::string> names = CutFixedWidthLine(previous, columns);
        if (is_header(names)) {
          table = FixedWidthTable{std::move(columns), std::move(names), {}};
          header = previous;
        }
      }
      previous = line;
      continue;
    }
    if (Trimmed(line).empty() || Trimmed(line) == Trimmed(header) ||
        !UnderlineColumns(line).empty())
      continue;
    table->body.push_back(line);
  }
  return table;
}

int IndexOf(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualNoCase(names[i], name))
      return static_cast<int>(i);
  }
  return -1;
}

bool OnlyThisValue(const std::vector<std::string>& values, int index) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].empty() != (static_cast<int>(i) != index))
      return false;
  }
  return true;
}

// The designators of a Part Lister item: its list cut at ",", blanks and empty pieces left out.
std::vector<std::string> ListedDesignators(std::string_view list) {
  std::vector<std::string> designators;
  for (size_t start = 0; start <= list.size();) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view designator = Trimmed(list.substr(start, comma - start));
    if (!designator.empty())
      designators.emplace_back(designator);
    start = comma + 1;
  }
  return designators;
}

}  // namespace

std::vector<FixedColumn> UnderlineColumns(std::string_view line) {
  line = WithoutLineEnd(line);
  std::vector<FixedColumn> columns;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == kDash) {
      if (columns.empty() || columns.back().end != i)
        columns.push_back({i, i + 1});
      else
        columns.back().end = i + 1;
    } else if (!IsBlank(line[i])) {
      return {};
    }
  }
  return columns;
}

std::vector<std::string> CutFixedWidthLine(std::string_view line,
                                           const std::vector<FixedColumn>& columns) {
  return FixedWidthCut(WithoutLineEnd(line), columns).Values();
}

// Every component line carries its quantity and its first designator; the lines that follow it
// with a designator alone carry the others. A component followed by more or fewer of them than
// its quantity says leaves the report refused: the table would not be the board.
std::optional<std::string> FormattedPcadReportAsQuoted(std::string_view text) {
  const auto table = FindFixedWidthTable(text, [](const std::vector<std::string>& names) {
    return std::find(names.begin(), names.end(), kCountName) != names.end();
  });
  if (!table)
    return std::nullopt;
  const int count = IndexOf(table->names, kCountName);
  const int refdes = IndexOf(table->names, kRefDesName);
  if (refdes < 0)
    return std::string();
  QuotedReport report;
  report.Line(table->names);
  int64_t parts_left = 0;
  for (const std::string_view line : table->body) {
    std::vector<std::string> values = CutFixedWidthLine(line, table->columns);
    if (values[count].empty()) {
      if (parts_left == 0 || !OnlyThisValue(values, refdes))
        return std::string();
      --parts_left;
    } else {
      const int64_t quantity = PartCount(values[count]);
      if (parts_left > 0 || quantity == 0 || values[refdes].empty())
        return std::string();
      parts_left = quantity - 1;
    }
    report.Line(values);
  }
  if (parts_left > 0)
    return std::string();
  return report.Take();
}

// The item number "#" is left out; "QTY" becomes "Count" and the designators column "RefDes", as
// the reader knows them. A line holding designators alone goes on with the list of the item
// before it. Every item is written as one record per designator, the first carrying the values.
std::optional<std::string> PartListerReportAsQuoted(std::string_view text) {
  const auto designators_at = [](const std::vector<std::string>& names) {
    const int refdes = IndexOf(names, "REFDES");
    return refdes >= 0 ? refdes : IndexOf(names, "Ref Designator");
  };
  const auto table = FindFixedWidthTable(text, [&](const std::vector<std::string>& names) {
    return IndexOf(names, "QTY") >= 0 && designators_at(names) >= 0;
  });
  if (!table)
    return std::nullopt;
  const int quantity_at = IndexOf(table->names, "QTY");
  const int refdes = designators_at(table->names);
  const int number_at = IndexOf(table->names, "#");
  const auto kept = [&](const std::vector<std::string>& values) {
    std::vector<std::string> record;
    for (size_t i = 0; i < values.size(); ++i) {
      if (static_cast<int>(i) != number_at)
        record.push_back(values[i]);
    }
    return record;
  };
  std::vector<std::string> names = table->names;
  names[quantity_at] = kCountName;
  names[refdes] = kRefDesName;
  const int record_refdes = refdes - (number_at >= 0 && number_at < refdes ? 1 : 0);
  QuotedReport report;
  report.Line(kept(names));
  std::vector<std::vector<std::string>> items;
  for (const std::string_view line : table->body) {
    std::vector<std::string> values = CutFixedWidthLine(line, table->columns);
    if (values[quantity_at].empty()) {
      if (items.empty() || !OnlyThisValue(values, refdes))
        return std::string();
      std::string& list = items.back()[refdes];
      if (!list.empty() && list.back() != ',')
        list += ',';
      list += values[refdes];
      continue;
    }
    items.push_back(std::move(values));
  }
  for (std::vector<std::string>& item : items) {
    const std::vector<std::string> designators = ListedDesignators(item[refdes]);
    const int64_t quantity = PartCount(item[quantity_at]);
    if (quantity == 0 || static_cast<int64_t>(designators.size()) != quantity)
      return std::string();
    std::vector<std::string> record = kept(item);
    record[record_refdes] = designators[0];
    report.Line(record);
    for (size_t part = 1; part < designators.size(); ++part) {
      std::vector<std::string> further(record.size());
      further[record_refdes] = designators[part];
      report.Line(further);
    }
  }
  return report.Take();
}

}  // namespace zuro::readers
