#include "readers/fixed_width_report.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "base/leading_numbers.h"

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

// Where a cut puts one value: where its column starts on the line (moved right by the values
// before it that ran over theirs) and where its text starts, blanks around it taken off.
struct CutValue {
  size_t column_start = 0;
  size_t text_start = 0;  // column_start when the value is empty
  std::string_view text;
};

// The cut of one line into its values: the cheapest reading in which every value starts at its
// column moved right by as much as the values before it ran over theirs. Every value that runs
// over its column costs one, and one more for every later column whose start it covers; so does a
// value that does not start at its column (it stands further in, as the value of a column it does
// not belong to would), unless it ends right at its column's end as numbers printed
// right-aligned do; a column that would start in the middle of a word is no reading at all.
// One value swallowing the rest of a line thus costs more than the two or three values that
// really run over. A text that covers the start of the next column and stands two blanks or more
// after the value before it may also be that next column's value begun early, at the cost of one
// value misread: printed apart from what stands before it, it is seldom part of it. Of two
// readings as cheap, the one whose values end sooner wins. Most lines have a reading of cost 0
// found on the first try. The readings of a line are tried once per column, shift and early
// start, a value tries at most kMostEnds ends, and a line gets kTriesPerColumn tries a column in
// all: past them every value takes its first end that fits, so a line of hundreds of columns and
// words, which no CAD system writes, still costs little.
class FixedWidthCut {
 public:
  FixedWidthCut(std::string_view line, const std::vector<FixedColumn>& columns)
      : line_(line),
        columns_(columns),
        tries_left_(kTriesPerColumn * columns.size()),
        wide_blanks_before_(line.size() + 1) {
    for (size_t i = 0; i < line.size(); ++i) {
      const bool wide = i >= 2 && IsBlank(line[i]) && IsBlank(line[i - 1]) && !IsBlank(line[i - 2]);
      wide_blanks_before_[i + 1] = wide_blanks_before_[i] + (wide ? 1 : 0);
    }
  }

  // What the cheapest reading of the line costs.
  size_t Cost() { return Cheapest(0, 0, kAtColumn).cost; }

  std::vector<CutValue> Values() {
    std::vector<CutValue> values(columns_.size());
    size_t shift = 0;
    size_t early = kAtColumn;
    for (size_t column = 0; column < columns_.size(); ++column) {
      CutValue& value = values[column];
      value.column_start = value.text_start = columns_[column].start + shift;
      const size_t start = early != kAtColumn ? early : value.column_start;
      if (start >= line_.size()) {
        early = kAtColumn;
        continue;
      }
      const Reading reading = Cheapest(column, shift, early);
      const std::string_view piece = line_.substr(start, reading.end - start);
      if (const size_t first = piece.find_first_not_of(kBlanks); first != piece.npos) {
        value.text = Trimmed(piece);
        value.text_start = start + first;
      }
      shift = std::max(shift, reading.end - std::min(reading.end, columns_[column].end));
      early = reading.next_start;
    }
    return values;
  }

 private:
  static constexpr size_t kNoReading = SIZE_MAX / 4;
  static constexpr size_t kAtColumn = SIZE_MAX;
  static constexpr size_t kMostEnds = 64;
  static constexpr size_t kTriesPerColumn = 64;
  // A value misread: one that runs over, or one that does not start at its column.
  static constexpr size_t kValueCost = 1;
  struct Reading {
    size_t cost = kNoReading;
    size_t end = 0;
    size_t next_start = kAtColumn;  // where the next value starts when it begins early
  };

  // The cheapest reading of the values from `column` on, that value starting at its column moved
  // by `shift`, or at `early`.
  Reading Cheapest(size_t column, size_t shift, size_t early) {
    const auto key = std::make_tuple(column, shift, early);
    if (const auto known = readings_.find(key); known != readings_.end())
      return known->second;
    Reading best = Read(column, shift, early);
    readings_[key] = best;
    return best;
  }

  Reading Read(size_t column, size_t shift, size_t early) {
    const bool at_column = early == kAtColumn;
    const size_t start = at_column ? columns_[column].start + shift : early;
    if (start >= line_.size())
      return {0, line_.size()};
    if (start > 0 && !IsBlank(line_[start - 1]))
      return {};
    const size_t misplaced = at_column && IsBlank(line_[start]) ? kValueCost : 0;
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
      const bool right_aligned = end == column_end && word_end;
      const size_t here =
          RunOver(column, shift, start, end) + (empty || right_aligned ? 0 : misplaced);
      if (here >= best.cost)
        break;  // an end further on costs no less here
      const size_t rest =
          Cheapest(column + 1, std::max(shift, end - std::min(end, columns_[column].end)),
                   kAtColumn)
              .cost;
      if (here + rest < best.cost)
        best = {here + rest, end};
      if (best.cost == 0)
        break;
    }
    if (best.cost > kValueCost) {
      if (const Reading early_next = EarlyNext(column, shift, start, misplaced);
          early_next.cost < best.cost)
        best = early_next;
    }
    if (best.cost == kNoReading)  // no end fits: the value takes the rest of the line
      best = {RunOver(column, shift, start, line_.size()) + misplaced, line_.size()};
    return best;
  }

  // The reading in which the next column's value begins before its column: the text that covers
  // the next column's start, from where it stands two blanks or more after this column's text,
  // which must itself end within its column.
  Reading EarlyNext(size_t column, size_t shift, size_t start, size_t misplaced) {
    const size_t next = columns_[column + 1].start + shift;
    if (next >= line_.size() || IsBlank(line_[next]) || IsBlank(line_[next - 1]))
      return {};
    size_t from = next;  // back over words and single blanks
    while (from > start &&
           (!IsBlank(line_[from - 1]) || (from - 1 > start && !IsBlank(line_[from - 2]))))
      --from;
    if (from < start + 2 || !IsBlank(line_[from - 1]))
      return {};
    size_t end = from;
    while (end > start && IsBlank(line_[end - 1]))
      --end;
    if (end > columns_[column].end + shift || from - end < 2)
      return {};
    const size_t rest = Cheapest(column + 1, shift, from).cost;
    if (rest >= kNoReading)
      return {};
    return {(end > start ? misplaced : 0) + kValueCost + rest, end, from};
  }

  // What a value of `column` from `start` to `end` costs for running over its column: nothing
  // when it does not, else a value run over, one for every later column whose start it covers and
  // one for every run of two or more blanks inside it, which stands between the values of two
  // columns far more often than inside one.
  size_t RunOver(size_t column, size_t shift, size_t start, size_t end) const {
    if (end <= columns_[column].end + shift)
      return 0;
    const auto later = columns_.begin() + static_cast<std::ptrdiff_t>(column) + 1;
    const auto first_beyond =
        std::lower_bound(later, columns_.end(), end - shift,
                         [](const FixedColumn& c, size_t position) { return c.start < position; });
    const auto covered = static_cast<size_t>(first_beyond - later);
    // The runs of two blanks or more inside the value, which starts and ends with a word.
    size_t wide_blanks = 0;
    if (const std::string_view value = Trimmed(line_.substr(start, end - start));
        value.size() > 2) {
      const auto first = static_cast<size_t>(value.data() - line_.data());
      wide_blanks = wide_blanks_before_[first + value.size()] - wide_blanks_before_[first + 2];
    }
    return kValueCost + covered + wide_blanks;
  }

  std::string_view line_;
  const std::vector<FixedColumn>& columns_;
  std::map<std::tuple<size_t, size_t, size_t>, Reading> readings_;
  size_t tries_left_;
  // How many runs of two blanks or more begin before each position, a word before each run.
  std::vector<size_t> wide_blanks_before_;
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
  size_t header_number = 0;            // the header's line in the text, from 1
  std::vector<std::string_view> body;  // the lines after the underline, line ends taken off
  std::vector<size_t> numbers;         // the line of each in the text
};

// The first line that an underline follows and that `is_header` accepts, with the lines after
// the underline; blank lines, underlines and the header repeated (as on a new page) are left out
// of the body.
template <typename IsHeader>
std::optional<FixedWidthTable> FindFixedWidthTable(std::string_view text, IsHeader is_header) {
  TextLines lines(text);
  std::string_view line, previous, header;
  std::optional<FixedWidthTable> table;
  for (size_t number = 1; lines.Next(line); ++number) {
    line = WithoutLineEnd(line);
    if (!table) {
      std::vector<FixedColumn> columns = UnderlineColumns(line);
      if (!columns.empty() && !Trimmed(previous).empty()) {
        std::vector<std::string> names = CutFixedWidthLine(previous, columns);
        if (is_header(names)) {
          table = FixedWidthTable{std::move(columns), std::move(names), number - 1, {}, {}};
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
    table->numbers.push_back(number);
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

// ---------------------------------------------------------------------------------------------
// The Mentor "Part Lister" report

constexpr std::string_view kQuantityName = "QTY";
constexpr std::string_view kItemNumberName = "#";
constexpr std::string_view kDesignatorNames[] = {"REFDES", "Ref Designator"};
constexpr char kTab = '\t';

int DesignatorColumn(const std::vector<std::string>& names) {
  for (const std::string_view name : kDesignatorNames) {
    if (const int at = IndexOf(names, name); at >= 0)
      return at;
  }
  return -1;
}

bool IsPartListerHeader(const std::vector<std::string>& names) {
  return IndexOf(names, kQuantityName) >= 0 && DesignatorColumn(names) >= 0;
}

// The cells of a line whose columns are separated by tabs and padded with blanks.
std::vector<std::string> TabbedCells(std::string_view line) {
  std::vector<std::string> cells;
  for (size_t start = 0;;) {
    const size_t tab = line.find(kTab, start);
    cells.emplace_back(Trimmed(line.substr(start, tab - start)));
    if (tab == std::string_view::npos)
      return cells;
    start = tab + 1;
  }
}

// The columns of a header printed over one unbroken rule: two blanks or more stand between its
// names, one blank inside a name ("Part Number"). A column runs from where its name starts to the
// blank before the next name; the values of the narrow columns ("#", "QTY") stand a little to the
// right of their names, but within them.
std::vector<FixedColumn> NamedColumns(std::string_view header) {
  std::vector<FixedColumn> columns;
  for (size_t at = header.find_first_not_of(kBlanks); at != std::string_view::npos;) {
    size_t end = at;
    while (end < header.size() &&
           !(IsBlank(header[end]) && (end + 1 == header.size() || IsBlank(header[end + 1]))))
      ++end;
    columns.push_back({at, end});
    at = header.find_first_not_of(kBlanks, end);
  }
  for (size_t i = 0; i + 1 < columns.size(); ++i)
    columns[i].end = columns[i + 1].start - 1;
  return columns;
}

// How a Part Lister header cuts the lines under it into cells. Mentor writes the table in one of
// three ways: columns separated by tabs and padded with blanks (the names separated by tabs too);
// fixed-width columns under an underline of one dash run a column; or fixed-width columns under
// one unbroken rule, each as wide as its setting, where a column is found by its name.
class PartListerCut {
 public:
  PartListerCut(std::string_view header, std::string_view rule)
      : tabbed_(header.find(kTab) != std::string_view::npos) {
    if (tabbed_) {
      names_ = TabbedCells(header);
      return;
    }
    columns_ = UnderlineColumns(rule);
    if (columns_.size() < 2)
      columns_ = NamedColumns(header);
    names_ = CutFixedWidthLine(header, columns_);
  }

  const std::vector<std::string>& names() const { return names_; }

  // Nothing when a tabbed line holds another number of cells than the header: a cell would go
  // under the wrong name. A line of blanks and tabs alone is a spacer of empty cells.
  std::optional<std::vector<std::string>> Cells(std::string_view line) const {
    if (!tabbed_)
      return CutFixedWidthLine(line, columns_);
    if (Trimmed(line).empty())
      return std::vector<std::string>(names_.size());
    std::vector<std::string> cells = TabbedCells(line);
    if (cells.size() != names_.size())
      return std::nullopt;
    return cells;
  }

 private:
  bool tabbed_;
  std::vector<FixedColumn> columns_;
  std::vector<std::string> names_;
};

// The header of a Part Lister report (the line over the first rule that names "QTY" and the
// designators), the header's text, and the lines after the rule with their numbers from 1.
struct PartListerTable {
  PartListerCut cut;
  std::string_view header;
  std::vector<std::pair<size_t, std::string_view>> body;
};

std::optional<PartListerTable> FindPartListerTable(std::string_view text) {
  TextLines lines(text);
  std::string_view line, previous;
  for (size_t number = 1; lines.Next(line); ++number) {
    line = WithoutLineEnd(line);
    if (!Trimmed(previous).empty() && !UnderlineColumns(line).empty()) {
      PartListerCut cut(previous, line);
      if (IsPartListerHeader(cut.names())) {
        PartListerTable table{std::move(cut), previous, {}};
        while (lines.Next(line))
          table.body.emplace_back(++number, WithoutLineEnd(line));
        return table;
      }
    }
    previous = line;
  }
  return std::nullopt;
}

bool AllEmpty(const std::vector<std::string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

// A line of dashes in some columns and nothing in the others: the rule over the total.
bool IsRule(const std::vector<std::string>& cells) {
  return !AllEmpty(cells) && std::all_of(cells.begin(), cells.end(), [](const std::string& c) {
    return c.find_first_not_of(kDash) == std::string::npos;
  });
}

// The designators of a Part Lister item: its list cut at "," and blanks (Mentor writes either),
// empty pieces left out.
std::vector<std::string> ListedDesignators(std::string_view list) {
  std::vector<std::string> designators;
  for (size_t start = 0; start < list.size();) {
    const size_t end = std::min(list.find_first_of(",\t ", start), list.size());
    if (end > start)
      designators.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return designators;
}

// The items of a Part Lister table and the report of quoted fields they make. An item's line
// carries its quantity; the lines after it with neither quantity nor item number carry the text
// that its cells could not hold. A rule under the quantities ends the items, and the total under
// it must be their sum. Every designator of an item is one record: the first carries the item's
// values, "QTY" becomes "Count" and the designators column "RefDes", as the reader knows them, and
// the item number "#" is left out. A table that does not hold together (a line of other cells
// than the header's, a quantity that is no number of parts, text that belongs to no item, a list
// of more or fewer designators than the quantity, a wrong total, text after it) gives the empty
// text, which the reader refuses: a table that is not the board is worse than none.
class PartListerReader {
 public:
  explicit PartListerReader(const PartListerTable& table)
      : table_(table),
        names_(table.cut.names()),
        quantity_at_(static_cast<size_t>(IndexOf(names_, kQuantityName))),
        refdes_at_(static_cast<size_t>(DesignatorColumn(names_))),
        number_at_(IndexOf(names_, kItemNumberName)),
        longest_(names_.size(), 0) {}

  // The report of quoted fields; empty, with refusal() saying why, for a table that does not hold
  // together.
  std::string Report() {
    for (const auto& [number, line] : table_.body) {
      if (!TakeLine(number, line))
        return {};
    }
    std::vector<size_t> kept;
    if (!KeptColumns(kept))
      return {};
    QuotedReport report;
    std::vector<std::string> names;
    for (const size_t column : kept) {
      names.push_back(column == quantity_at_ ? std::string(kCountName)
                      : column == refdes_at_ ? std::string(kRefDesName)
                                             : names_[column]);
    }
    report.Line(names);
    for (const Item& item : items_) {
      if (!WriteItem(item, kept, report))
        return {};
    }
    return report.Take();
  }
  const std::string& refusal() const { return refusal_; }

 private:
  // Where the lines are: among the items, after the header printed again (as on a new page),
  // after the rule that ends the items, after the total.
  enum class Stage { kItems, kHeaderAgain, kRuleRead, kTotalRead };
  struct Item {
    size_t line = 0;  // where the item's line stands in the report, from 1
    int64_t quantity = 0;
    std::vector<std::vector<std::string>> rows;  // the item's cells, then its further lines'
  };

  bool Refuse(std::string why) {
    refusal_ = std::move(why);
    return false;
  }
  bool RefuseAt(size_t number, const std::string& why) {
    return Refuse("line " + std::to_string(number) + ": " + why);
  }
  bool TakeLine(size_t number, std::string_view line);
  bool IsTotal(const std::vector<std::string>& cells) const;
  bool KeptColumns(std::vector<size_t>& kept);
  std::vector<std::string> Joined(const Item& item) const;
  bool WriteItem(const Item& item, const std::vector<size_t>& kept, QuotedReport& report);

  const PartListerTable& table_;
  const std::vector<std::string>& names_;
  const size_t quantity_at_;
  const size_t refdes_at_;
  const int number_at_;          // -1 without an item number
  std::vector<size_t> longest_;  // the longest value of each column
  std::vector<Item> items_;
  int64_t total_ = 0;
  Stage stage_ = Stage::kItems;
  std::string refusal_;
};

bool PartListerReader::TakeLine(size_t number, std::string_view line) {
  std::optional<std::vector<std::string>> cells = table_.cut.Cells(line);
  if (!cells)
    return RefuseAt(number, "the values do not stand in the header's columns");
  if (AllEmpty(*cells))
    return true;
  if (stage_ == Stage::kItems && Trimmed(line) == Trimmed(table_.header)) {
    stage_ = Stage::kHeaderAgain;
    return true;
  }
  const bool rule = IsRule(*cells);
  switch (stage_) {
    case Stage::kHeaderAgain:
      stage_ = Stage::kItems;
      if (rule)
        return true;
      break;
    case Stage::kRuleRead:
      stage_ = Stage::kTotalRead;
      return IsTotal(*cells) || RefuseAt(number, "the total is not " + std::to_string(total_) +
                                                     ", the sum of the quantities");
    case Stage::kTotalRead:
      return RefuseAt(number, "text after the total");
    case Stage::kItems:
      break;
  }
  if (rule) {
    stage_ = Stage::kRuleRead;
    return true;
  }
  for (size_t column = 0; column < cells->size(); ++column)
    longest_[column] = std::max(longest_[column], (*cells)[column].size());
  if (const std::string& quantity = (*cells)[quantity_at_]; !quantity.empty()) {
    const int64_t parts = PartCount(quantity);
    total_ += parts;
    items_.push_back({number, parts, {}});
    items_.back().rows.push_back(std::move(*cells));
    return parts > 0 || RefuseAt(number, "the quantity \"" + quantity + "\" is no number of parts");
  }
  if (number_at_ >= 0 && !(*cells)[number_at_].empty())
    return RefuseAt(number, "an item number without a quantity");
  if (items_.empty())
    return RefuseAt(number, "text before the first item");
  items_.back().rows.push_back(std::move(*cells));
  return true;
}

bool PartListerReader::IsTotal(const std::vector<std::string>& cells) const {
  const std::string& total = cells[quantity_at_];
  return OnlyThisValue(cells, static_cast<int>(quantity_at_)) && total.size() <= 18 &&
         total.find_first_not_of("0123456789") == std::string::npos &&
         LeadingInteger(total) == total_;
}

// Every column but the item number goes into the report. The reader takes no name shorter than
// two characters, so the values of such a column would move under the next name: a column so
// named without values is left out, one with values refuses the report. A further column that
// bears the name the quantity or the designators get would be taken for them.
bool PartListerReader::KeptColumns(std::vector<size_t>& kept) {
  for (size_t column = 0; column < names_.size(); ++column) {
    const std::string& name = names_[column];
    if (static_cast<int>(column) == number_at_)
      continue;
    if (column == quantity_at_ || column == refdes_at_) {
      kept.push_back(column);
    } else if (name == kCountName || name == kRefDesName) {
      return Refuse("column \"" + name + "\" would be taken for the quantity or the designators");
    } else if (name.size() >= 2) {
      kept.push_back(column);
    } else if (longest_[column] > 0) {
      return Refuse("column \"" + name + "\": a name of one character over values");
    }
  }
  return true;
}

// An item's cells with the text of its further lines put back. A designator list goes on after a
// separator. Mentor cuts a value where its column ends ("5.6KOH", then "M" on the next line), so a
// piece as long as the column's longest value goes on directly; a shorter one was cut at a blank,
// which goes back between the pieces.
std::vector<std::string> PartListerReader::Joined(const Item& item) const {
  std::vector<std::string> cells = item.rows.front();
  for (size_t row = 1; row < item.rows.size(); ++row) {
    for (size_t column = 0; column < cells.size(); ++column) {
      const std::string& piece = item.rows[row][column];
      if (piece.empty())
        continue;
      if (column == refdes_at_)
        cells[column] += ',';
      else if (!cells[column].empty() && item.rows[row - 1][column].size() < longest_[column])
        cells[column] += ' ';
      cells[column] += piece;
    }
  }
  return cells;
}

bool PartListerReader::WriteItem(const Item& item,
                                 const std::vector<size_t>& kept,
                                 QuotedReport& report) {
  const std::vector<std::string> cells = Joined(item);
  const std::vector<std::string> designators = ListedDesignators(cells[refdes_at_]);
  if (static_cast<int64_t>(designators.size()) != item.quantity)
    return RefuseAt(item.line, std::to_string(designators.size()) +
                                   " designators listed for a quantity of " +
                                   std::to_string(item.quantity));
  std::vector<std::string> record;
  size_t record_refdes = 0;
  for (const size_t column : kept) {
    if (column == refdes_at_)
      record_refdes = record.size();
    record.push_back(cells[column]);
  }
  record[record_refdes] = designators[0];
  report.Line(record);
  std::vector<std::string> further(record.size());
  for (size_t part = 1; part < designators.size(); ++part) {
    further[record_refdes] = designators[part];
    report.Line(further);
  }
  return true;
}

// How many lines of a report's body have a word start at each position, a word end just before
// it, or a word go on across it.
struct WordPositions {
  std::vector<int64_t> starts, ends, across;

  WordPositions(const std::vector<std::string_view>& lines, size_t width)
      : starts(width + 1), ends(width + 1), across(width + 1) {
    for (const std::string_view line : lines) {
      for (size_t i = 0; i < line.size(); ++i) {
        if (IsBlank(line[i]))
          continue;
        ++(i == 0 || IsBlank(line[i - 1]) ? starts : across)[i];
        if (i + 1 == line.size() || IsBlank(line[i + 1]))
          ++ends[i + 1];
      }
    }
  }
  int64_t At(const std::vector<int64_t>& counts, int64_t position) const {
    return position >= 0 && position < static_cast<int64_t>(counts.size()) ? counts[position] : 0;
  }
};

// The columns of a report's body as P-CAD widens them for their longest values: a widened column
// moves every column after it right of the name over it, on every line. The body's own words tell
// how far: a column starts where many texts start (or end, when they are right-aligned) and few
// words go on across. A column moves as far as the one before it or further, never back, and
// keeps the move of the one before it unless the words say otherwise by more than `move_cost`
// lines, so a column that no text of the body places stays where the underline puts it. The moves
// are chosen together, the best for all the columns. The first column never moves.
std::vector<FixedColumn> MovedColumns(const std::vector<FixedColumn>& header,
                                      const WordPositions& words,
                                      size_t moves,
                                      int64_t move_cost) {
  // A column placed at a position: the lines that agree less the lines that disagree.
  const auto evidence = [&](size_t column, size_t move) -> int64_t {
    const auto position = static_cast<int64_t>(header[column].start + move);
    const auto column_width = static_cast<int64_t>(header[column].end - header[column].start);
    return words.At(words.starts, position) + words.At(words.ends, position + column_width) -
           words.At(words.across, position);
  };
  constexpr int64_t kImpossible = INT64_MIN / 4;
  std::vector<int64_t> best(moves, kImpossible);
  best[0] = evidence(0, 0);
  std::vector<uint32_t> from(header.size() * moves, 0);  // the move of the column before
  for (size_t column = 1; column < header.size(); ++column) {
    std::vector<int64_t> next(moves, kImpossible);
    size_t best_below = 0;  // the best move of the column before below this one
    for (size_t move = 0; move < moves; ++move) {
      if (move > 0 && best[move - 1] > best[best_below])
        best_below = move - 1;
      size_t before = move;
      if (move > 0 && best[best_below] - move_cost > best[move])
        before = best_below;
      if (best[before] == kImpossible)
        continue;
      next[move] = best[before] - (before != move ? move_cost : 0) + evidence(column, move);
      from[column * moves + move] = static_cast<uint32_t>(before);
    }
    best = std::move(next);
  }
  size_t move = static_cast<size_t>(std::max_element(best.begin(), best.end()) - best.begin());
  std::vector<FixedColumn> columns(header.size());
  for (size_t column = header.size(); column-- > 0;) {
    columns[column].start = header[column].start + move;
    move = from[column * moves + move];
  }
  for (size_t column = 0; column < header.size(); ++column) {
    const size_t header_width = header[column].end - header[column].start;
    columns[column].end =
        column + 1 < header.size()
            ? columns[column + 1].start - (header[column + 1].start - header[column].end)
            : columns[column].start + header_width;
  }
  return columns;
}

// The lines whose cuts weigh one layout against another: the first lines of the body, which show
// its layout as well as all of them would, so that a long report is not cut several times over.
constexpr size_t kLayoutLines = 200;
constexpr size_t kLayoutCharacters = size_t{1} << 16;

// What cutting the first lines of the body at the columns costs, counted up to `enough`.
size_t CutCost(const std::vector<FixedColumn>& columns,
               const std::vector<std::string_view>& body,
               size_t enough) {
  size_t cost = 0, characters = 0;
  for (size_t i = 0;
       i < body.size() && i < kLayoutLines && characters < kLayoutCharacters && cost < enough;
       ++i) {
    cost += FixedWidthCut(body[i], columns).Cost();
    characters += body[i].size();
  }
  return cost;
}

// A layout of more columns and characters than this is no report a CAD system prints: the work
// of placing its columns would grow beyond bounds.
constexpr size_t kMostLayoutCells = size_t{1} << 22;

// The columns of a report's body. Besides widening columns for their longest values, P-CAD prints
// a value too long for its column whole and pushes the rest of that line right; many such lines
// blur where the texts start. So the moves that the words suggest, taken readily or only on
// strong evidence, are weighed against the underline's own columns by what cutting the body at
// them costs, and the cheapest wins; the underline's columns when none is cheaper. Nothing when
// the layout is too large to place.
std::optional<std::vector<FixedColumn>> BodyColumns(const std::vector<FixedColumn>& header,
                                                    const std::vector<std::string_view>& body) {
  size_t width = 0;
  for (const std::string_view line : body)
    width = std::max(width, line.size());
  const size_t moves = width + 1;
  if (moves > kMostLayoutCells / header.size())
    return std::nullopt;
  const WordPositions words(body, width);
  std::vector<FixedColumn> columns = header;
  size_t cost = CutCost(columns, body, SIZE_MAX);
  for (const int64_t move_cost : {int64_t{1}, static_cast<int64_t>(body.size() / 4 + 1)}) {
    if (cost == 0)
      break;
    std::vector<FixedColumn> moved = MovedColumns(header, words, moves, move_cost);
    const size_t moved_cost = CutCost(moved, body, cost);
    if (moved_cost < cost) {
      columns = std::move(moved);
      cost = moved_cost;
    }
  }
  return columns;
}

bool HoldsBlank(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsBlank);
}

// The body of a P-CAD "formatted" report, line by line. A component's first line carries its
// quantity, its values and its first designator at its columns (a value too long for its column
// pushes the rest of the line right); each further designator stands alone on a line of its own,
// at the start of the RefDes column. A value too long for its column may instead wrap onto the
// lines below at the same column: a line holding text under columns other than RefDes and
// nothing under Count goes on with the cells above it, joined without a blank where the piece
// above filled its column, which a word broken at the column's end does, and with one blank
// otherwise. Any line of another shape, or a component with more or fewer designators than its
// quantity, leaves the report refused with the line and the reason: a table that misses a part
// or holds a piece of a value for a designator is worse than none.
class FormattedBody {
 public:
  FormattedBody(std::vector<std::string> names,
                std::vector<FixedColumn> columns,
                int count,
                int refdes)
      : names_(std::move(names)),
        columns_(std::move(columns)),
        count_(static_cast<size_t>(count)),
        refdes_(static_cast<size_t>(refdes)) {
    report_.Line(names_);
  }

  // False when the line leaves the report refused.
  bool Line(std::string_view line, size_t number) {
    number_ = number;
    const std::vector<CutValue> values = FixedWidthCut(line, columns_).Values();
    if (!values[count_].text.empty())
      return End() && StartComponent(values);
    for (size_t column = 0; column < values.size(); ++column) {
      const CutValue& value = values[column];
      if (!value.text.empty() && value.text_start != columns_[column].start)
        return Refuse("the text at character " + std::to_string(value.text_start + 1) +
                      " stands at no column's start");
    }
    if (!component_)
      return Refuse("a line before the first component");
    if (!values[refdes_].text.empty())
      return FurtherDesignator(values);
    return ContinuedValues(values);
  }

  // False when the component read last has fewer designators than its quantity.
  bool End() {
    if (component_ && component_->designators < component_->quantity)
      return Refuse(component_->line, "the component lists " +
                                          std::to_string(component_->designators) + " of its " +
                                          std::to_string(component_->quantity) + " designators");
    if (component_)
      WriteComponent();
    component_.reset();
    return true;
  }

  // The line that leaves the report refused and why, as "line 12: ...".
  const std::string& refusal() const { return refusal_; }
  std::string Take() { return report_.Take(); }

 private:
  struct Component {
    size_t line = 0;
    int64_t quantity = 0;
    int64_t designators = 0;
    std::vector<std::string> values;
    std::vector<std::string> further;  // the designators after the first
  };

  bool StartComponent(const std::vector<CutValue>& values) {
    const int64_t quantity = PartCount(values[count_].text);
    if (quantity == 0)
      return Refuse("the quantity \"" + std::string(values[count_].text) +
                    "\" is no number of parts");
    const CutValue& designator = values[refdes_];
    if (designator.text.empty())
      return Refuse("the component has no designator");
    if (!DesignatorAtItsColumn(designator))
      return false;
    component_ = Component{number_, quantity, 1, {}, {}};
    for (const CutValue& value : values)
      component_->values.emplace_back(value.text);
    above_ = component_->values;
    return true;
  }

  bool FurtherDesignator(const std::vector<CutValue>& values) {
    for (size_t column = 0; column < values.size(); ++column) {
      if (column != refdes_ && !values[column].text.empty())
        return Refuse("a designator beside text under \"" + names_[column] + "\"");
    }
    if (!DesignatorAtItsColumn(values[refdes_]))
      return false;
    if (component_->designators == component_->quantity)
      return Refuse("a designator more than the quantity " + std::to_string(component_->quantity) +
                    " of the component on line " + std::to_string(component_->line));
    ++component_->designators;
    component_->further.emplace_back(values[refdes_].text);
    above_.assign(values.size(), std::string());
    return true;
  }

  // The pieces of a line that continues the values above it.
  bool ContinuedValues(const std::vector<CutValue>& values) {
    for (size_t column = 0; column < values.size(); ++column) {
      const std::string_view piece = values[column].text;
      if (piece.empty())
        continue;
      if (above_[column].empty())
        return Refuse("the text under \"" + names_[column] + "\" continues no value above it");
      const bool filled = above_[column].size() == columns_[column].end - columns_[column].start;
      component_->values[column] += (filled ? "" : " ") + std::string(piece);
    }
    for (size_t column = 0; column < values.size(); ++column)
      above_[column] = values[column].text;
    return true;
  }

  // A designator is one word that starts its column: any other text there is a piece of a value.
  bool DesignatorAtItsColumn(const CutValue& designator) {
    if (HoldsBlank(designator.text))
      return Refuse("the designator \"" + std::string(designator.text) + "\" holds a blank");
    if (designator.text_start != designator.column_start)
      return Refuse("the designator \"" + std::string(designator.text) + "\" starts at character " +
                    std::to_string(designator.text_start + 1) + ", not at its column's start");
    return true;
  }

  void WriteComponent() {
    report_.Line(component_->values);
    for (const std::string& designator : component_->further) {
      std::vector<std::string> record(names_.size());
      record[refdes_] = designator;
      report_.Line(record);
    }
  }

  bool Refuse(const std::string& why) { return Refuse(number_, why); }
  bool Refuse(size_t line, const std::string& why) {
    refusal_ = "line " + std::to_string(line) + ": " + why;
    return false;
  }

  std::vector<std::string> names_;
  std::vector<FixedColumn> columns_;
  size_t count_;
  size_t refdes_;
  std::optional<Component> component_;
  std::vector<std::string> above_;  // the pieces of the line above, which a line may continue
  size_t number_ = 0;               // the line being read
  QuotedReport report_;
  std::string refusal_;
};

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
  std::vector<std::string> values;
  for (const CutValue& value : FixedWidthCut(WithoutLineEnd(line), columns).Values())
    values.emplace_back(value.text);
  return values;
}

// A report of many components, printed by P-CAD with a component a line, is read whole or
// refused: the rules of its layout are in FormattedBody. The columns come from where the body's
// texts stand (BodyColumns), the names from the header.
std::optional<std::string> FormattedPcadReportAsQuoted(std::string_view text,
                                                       std::string* refusal) {
  const auto table = FindFixedWidthTable(text, [](const std::vector<std::string>& names) {
    return std::find(names.begin(), names.end(), kCountName) != names.end();
  });
  if (!table)
    return std::nullopt;
  const auto refuse = [&](size_t line, const std::string& why) {
    if (refusal)
      *refusal = "line " + std::to_string(line) + ": " + why;
    return std::string();
  };
  const int refdes = IndexOf(table->names, kRefDesName);
  if (refdes < 0)
    return refuse(table->header_number, "no column is named RefDes");
  std::optional<std::vector<FixedColumn>> columns = BodyColumns(table->columns, table->body);
  if (!columns)
    return refuse(table->header_number, "the lines are too long to find their columns in");
  FormattedBody body(table->names, std::move(*columns), IndexOf(table->names, kCountName), refdes);
  bool read = true;
  for (size_t i = 0; read && i < table->body.size(); ++i)
    read = body.Line(table->body[i], table->numbers[i]);
  if (read && body.End())
    return body.Take();
  if (refusal)
    *refusal = body.refusal();
  return std::string();
}

std::optional<std::string> PartListerReportAsQuoted(std::string_view text, std::string* refusal) {
  const std::optional<PartListerTable> table = FindPartListerTable(text);
  if (!table)
    return std::nullopt;
  PartListerReader reader(*table);
  std::string report = reader.Report();
  if (refusal)
    *refusal = reader.refusal();
  return report;
}

}  // namespace zuro::readers
