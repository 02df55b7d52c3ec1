#include "readers/orcad_reader.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/leading_numbers.h"
#include "base/text_file.h"
#include "readers/component_table.h"
#include "readers/designator_lists.h"

namespace zuro::readers {

namespace {

constexpr char kTab = '\t';
constexpr char kBlank = ' ';
constexpr char kQuote = '"';
constexpr char kMinus = '-';
constexpr char kTitleFiller = '_';
constexpr size_t kNone = std::string_view::npos;
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kQuantityName = "Quantity";
constexpr std::string_view kRefDesName = "RefDes";
constexpr std::string_view kReferenceName = "Reference";
// The name OrCAD Capture's engineering bill-of-materials template gives its designator column.
constexpr std::string_view kPartReferenceName = "Part Reference";
constexpr std::string_view kAttributesName = "Attributes";
constexpr std::string_view kPartName = "Part";
constexpr std::string_view kPartLibName = "ID PartLib";
constexpr std::string_view kIdText = "ID";
constexpr char kRulerMark = '_';
// What the first line of every page of a report written by OrCAD Capture holds beside the
// design's title, and what the line above that page's header begins with.
constexpr std::string_view kRevisedText = "Revised:";
constexpr std::string_view kPageTitleText = "Bill Of Materials";
// A page's title block, from its "Revised:" line to its header line, is about ten lines long;
// a title block of more organisation lines than the usual still ends within this many.
constexpr size_t kPageTitleLines = 24;
// Names other systems give their column of designators: a report that names one of them, but no
// "Reference" or "RefDes" column, is another system's report. Compared ignoring letter case.
constexpr std::string_view kForeignDesignatorNames[] = {"refdes", "ref des", "designator"};
constexpr std::string_view kForeignColumnReason =
    "the designators' column is named as other systems name it, and none \"Reference\"";
// OrCAD titles are only vertically centred, unlike the P-CAD window's centred titles.
constexpr table::CellFormat kTitleFormat = table::kFormatVCentre;

std::string Without(std::string_view text, char first, char second) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c != first && c != second)
      result += c;
  }
  return result;
}

bool IsBlankOrTab(char c) {
  return c == kBlank || c == kTab;
}

// A line of `mark` characters, blanks and tabs only, with at least one `mark`.
bool IsLineOf(std::string_view line, std::string_view marks) {
  bool marked = false;
  for (const char c : line) {
    if (marks.find(c) != kNone)
      marked = true;
    else if (!IsBlankOrTab(c))
      return false;
  }
  return marked;
}

// OrCAD underlines its header with a ruler of "_". On a report's first page the ruler stands
// before the first item; on a later page it comes after items, where it would be read as the
// continuation of the item above it: its "_" would become a designator and part of the item's
// value. A ruler line is never part of an item.
bool IsRuler(std::string_view line) {
  return IsLineOf(line, std::string_view(&kRulerMark, 1));
}

// Other systems underline their headers with runs of "-" (or rule them with "="): P-CAD's
// formatted report and Mentor's part list do. Their columns are laid out by other rules, and a
// wrapped designator list there holds one designator a line without a comma, which OrCAD's rules
// would read as one designator replacing another.
bool IsForeignUnderline(std::string_view line) {
  return IsLineOf(line, "-=");
}

bool NamesForeignDesignatorColumn(std::string_view line) {
  std::string lower(line);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return std::any_of(std::begin(kForeignDesignatorNames), std::end(kForeignDesignatorNames),
                     [&](std::string_view name) { return lower.find(name) != kNone; });
}

bool IsHeaderLine(std::string_view line) {
  return line.find(kCountName) != kNone || line.find(kQuantityName) != kNone;
}

// A column of the header line: its name, where it starts and how many characters it spans up to
// the next column. In a fixed-width report the values of a column stand under its name.
struct Column {
  std::string name;
  size_t start = 0;
  size_t width = 0;
};

// The columns of the last header line and where the three key columns stand. A key column is
// found twice: by the first occurrence of its name in the line (where a fixed-width line's key
// text starts) and by the last column of exactly that name (its field in a tabbed line and its
// width).
struct ColumnLayout {
  char separator = kBlank;
  std::vector<Column> columns;
  size_t quantity_position = kNone;
  size_t reference_position = kNone;
  size_t part_position = kNone;
  int quantity_column = -1;
  int reference_column = -1;
  int part_column = -1;
};

size_t FindEither(std::string_view line, std::string_view name, std::string_view other) {
  const size_t position = line.find(name);
  return position != kNone ? position : line.find(other);
}

// A header name followed by a blank and "ID" ("Part ID") is one name: the blank before the first
// "ID" becomes "_". A tab there separates two columns, and joining them would shift every value
// after it into the wrong column, so a tab is kept.
void JoinIdName(std::string& line) {
  const size_t id = line.find(kIdText);
  if (id != kNone && id > 0 && line[id - 1] != kTab)
    line[id - 1] = kTitleFiller;
}

// Names are the runs of characters between separators (and tabs). Column 0 starts at the line's
// start, so a line that starts with separators has a nameless column 0; every other column starts
// at its name. A column reaches to the next one, the last to the end of the line.
ColumnLayout LayOutColumns(std::string_view line) {
  ColumnLayout layout;
  layout.separator = line.find(kTab) != kNone ? kTab : kBlank;
  const auto is_gap = [&](char c) { return c == layout.separator || c == kTab; };
  for (size_t position = 0; position < line.size();) {
    const auto name_start = std::find_if_not(line.begin() + position, line.end(), is_gap);
    if (name_start == line.end())
      break;
    const auto name_end = std::find_if(name_start, line.end(), is_gap);
    const size_t start = name_start - line.begin();
    if (layout.columns.empty() && start > 0)
      layout.columns.push_back({"", 0, 0});
    layout.columns.push_back({std::string(name_start, name_end), start, 0});
    position = name_end - line.begin();
  }
  for (size_t l = 0; l < layout.columns.size(); ++l) {
    const size_t end = l + 1 < layout.columns.size() ? layout.columns[l + 1].start : line.size();
    layout.columns[l].width = end - layout.columns[l].start;
  }
  layout.quantity_position = FindEither(line, kCountName, kQuantityName);
  layout.reference_position = FindEither(line, kRefDesName, kReferenceName);
  layout.part_position = FindEither(line, kAttributesName, kPartName);
  for (size_t l = 0; l < layout.columns.size(); ++l) {
    const std::string& name = layout.columns[l].name;
    const int column = static_cast<int>(l);
    if (name == kCountName || name == kQuantityName)
      layout.quantity_column = column;
    if (name == kRefDesName || name == kReferenceName || name == kPartReferenceName)
      layout.reference_column = column;
    if (name == kAttributesName || name == kPartName)
      layout.part_column = column;
  }
  return layout;
}

bool SameNames(const ColumnLayout& a, const ColumnLayout& b) {
  return std::equal(a.columns.begin(), a.columns.end(), b.columns.begin(), b.columns.end(),
                    [](const Column& x, const Column& y) { return x.name == y.name; });
}

// A line below the header: a tabbed line is read by fields, any other line by the character
// columns of the header.
class ReportLine {
 public:
  explicit ReportLine(std::string_view text) : text_(text) {
    if (text.find(kTab) == kNone)
      return;
    for (size_t start = 0;;) {
      const size_t tab = text.find(kTab, start);
      fields_.push_back(text.substr(start, tab == kNone ? kNone : tab - start));
      if (tab == kNone)
        break;
      start = tab + 1;
    }
  }

  bool Tabbed() const { return !fields_.empty(); }

  // The value of a column for its table cell: in a fixed-width line the characters under the
  // column, so a value longer than the header line is cut at its end. Separators are dropped,
  // which in a fixed-width report drops the blanks inside values as well.
  std::string CellText(const ColumnLayout& layout, size_t column) const {
    const Column& c = layout.columns[column];
    return Without(Tabbed() ? Field(column) : Span(c.start, c.width), layout.separator,
                   layout.separator);
  }

  // The text of a key column, without blanks and tabs: its field, or the characters from where
  // the key name stands in the header over the key column's width.
  std::string KeyText(const ColumnLayout& layout, size_t position, int column) const {
    if (column < 0)
      return {};
    const size_t index = static_cast<size_t>(column);
    if (Tabbed())
      return Without(Field(index), kBlank, kTab);
    if (position == kNone || index >= layout.columns.size())
      return {};
    return Without(Span(position, layout.columns[index].width), kBlank, kTab);
  }

  // True when a tab follows the column's field, so that the field ends in this line.
  bool EndsAtTab(int column) const {
    return column >= 0 && static_cast<size_t>(column) + 1 < fields_.size();
  }

  // True when a fixed-width column starting at `position` starts inside a value of this line: a
  // character other than a blank stands on both sides of its start. The values of such a line do
  // not stand under the header's names, as they do when the report's tabs were turned into blanks.
  bool SplitsAValueAt(size_t position) const {
    return !Tabbed() && position != kNone && position > 0 && position < text_.size() &&
           !IsBlankOrTab(text_[position - 1]) && !IsBlankOrTab(text_[position]);
  }

 private:
  std::string_view Field(size_t index) const {
    return index < fields_.size() ? fields_[index] : std::string_view();
  }
  std::string_view Span(size_t start, size_t width) const {
    return start < text_.size() ? text_.substr(start, width) : std::string_view();
  }

  std::string_view text_;
  std::vector<std::string_view> fields_;  // tabbed lines only
};

// One pass over a report below its first line, filling the table item by item. The pass also
// watches for the signs of a report that OrCAD did not write, whose table would hold some of its
// designators, or none, under quantities that count them all.
class OrcadReportReader {
 public:
  OrcadReportReader(table::GridModel& table, ReportAttributes& attributes, int32_t& part_column)
      : table_(table), attributes_(attributes), part_column_(part_column) {}

  // `lines` hold the report's lines without their line ends, the first line (never read as part
  // of the table) included. False when the report shows itself to be another system's.
  bool Run(const std::vector<std::string_view>& lines);
  const std::string& refusal() const { return refusal_; }

 private:
  bool Refuse(size_t index, std::string_view why);
  size_t PageHeaderAfterTitle(const std::vector<std::string_view>& lines, size_t index) const;
  size_t JoinWrappedCells(const std::vector<std::string_view>& lines,
                          size_t index,
                          std::string_view& line);
  bool TakeHeader(std::string_view line);
  bool ColumnsLineUp(const ReportLine& line) const;
  int64_t Quantity(const ReportLine& line) const;
  std::string PartText(const ReportLine& line) const;
  void StartItem(const ReportLine& line);
  void ContinueItem(const ReportLine& line);
  void ScanReferences(const ReportLine& line, size_t start);
  void WriteReferences();
  void FinishItem();

  table::GridModel& table_;
  ReportAttributes& attributes_;
  int32_t& part_column_;
  bool header_seen_ = false;
  ColumnLayout layout_;
  int item_row_ = -1;  // the row of the item being read, -1 before the first item
  ReferenceSlots slots_;
  size_t next_slot_ = 0;
  std::string part_text_;
  std::string joined_;     // a line whose cells wrapped onto the lines after it, joined again
  std::string refusal_;    // why the report is another system's; empty while it reads
  std::string item_part_;  // the item's part value, blanks dropped
  bool item_references_blank_ = false;  // the item line lists no designator
  bool references_changed_ = false;     // the slots changed since the reference cell was written
};

// The first line is the report's title, unless it is the header itself (a report written without a
// title block). Empty lines end nothing: OrCAD Capture puts one after an item line whose value
// held a line break, and the item's further references follow it. Any line that mentions the
// quantity is a header, even among the items. A report refused here is another system's:
// - a header that names another system's column of designators, and no "Reference" or "RefDes";
// - a header underlined with runs of "-" or "=";
// - an item line in fixed-width columns whose values do not stand under the header's names;
// - no header at all, while a line names another system's column of designators.
bool OrcadReportReader::Run(const std::vector<std::string_view>& lines) {
  const size_t start = !lines.empty() && IsHeaderLine(lines.front()) ? 0 : 1;
  for (size_t i = start; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    const bool may_start_page =
        line.empty() ? i == start || !lines[i - 1].empty() : line.find(kRevisedText) != kNone;
    const size_t page_header =
        header_seen_ && may_start_page ? PageHeaderAfterTitle(lines, i) : kNone;
    if (page_header != kNone) {
      if (!TakeHeader(lines[page_header]))
        return Refuse(page_header, kForeignColumnReason);
      for (i = page_header;
           i + 1 < lines.size() && (lines[i + 1].empty() || IsRuler(lines[i + 1]));)
        ++i;
      continue;
    }
    if (line.empty() || IsRuler(line))
      continue;
    if (IsHeaderLine(line)) {
      size_t next = i + 1;
      while (next < lines.size() && lines[next].empty())
        ++next;
      if (!TakeHeader(line))
        return Refuse(i, kForeignColumnReason);
      if (next < lines.size() && IsForeignUnderline(lines[next]))
        return Refuse(next, "the header is underlined with \"-\" or \"=\", as other systems do");
      continue;
    }
    if (!header_seen_)
      continue;
    i = JoinWrappedCells(lines, i, line);
    const ReportLine report_line(line);
    if (Quantity(report_line) > 0) {
      if (!ColumnsLineUp(report_line))
        return Refuse(i, "the values do not stand under the header's names");
      FinishItem();
      StartItem(report_line);
    } else if (item_row_ >= 0) {
      ContinueItem(report_line);
    }
  }
  FinishItem();
  if (!header_seen_ && std::any_of(lines.begin(), lines.end(), NamesForeignDesignatorColumn))
    refusal_ = "no header line naming \"Quantity\" or \"Count\", but another system's header";
  return refusal_.empty();
}

// `index` counts the report's lines from 0.
bool OrcadReportReader::Refuse(size_t index, std::string_view why) {
  refusal_ = "line " + std::to_string(index + 1) + ": " + std::string(why);
  return false;
}

// A long report written by OrCAD Capture repeats its title block at the top of every page: the
// design's title with "Revised:", "Revision:", the organisation's lines, "Bill Of Materials" with
// the date, the time and the page number, then the page's header and ruler. Read line by line,
// the block would continue the item above it with its words as designators. When a block starts at
// `index` (the empty lines before its "Revised:" line included), returns the index of its header
// line; kNone otherwise.
size_t OrcadReportReader::PageHeaderAfterTitle(const std::vector<std::string_view>& lines,
                                               size_t index) const {
  size_t first = index;
  while (first < lines.size() && lines[first].empty())
    ++first;
  if (first == lines.size() || lines[first].find(kRevisedText) == kNone)
    return kNone;
  bool page_title = false;
  for (size_t k = first + 1; k < lines.size() && k <= first + kPageTitleLines; ++k) {
    if (IsHeaderLine(lines[k]))
      return page_title ? k : kNone;
    const size_t text = lines[k].find_first_not_of(" \t");
    if (text != kNone && lines[k].substr(text).starts_with(kPageTitleText))
      page_title = true;
  }
  return kNone;
}

size_t TabbedFields(std::string_view line) {
  return static_cast<size_t>(std::count(line.begin(), line.end(), kTab)) + 1;
}

// A value holding a line break (a part's description written on two or three lines) breaks the
// line of a tabbed report: the value's further lines follow, the last of them with the rest of the
// line's fields. Read apart, their words would be taken for designators. A line of fewer fields
// than the header names is therefore joined, with one blank where the break was, with each next
// line that goes on with its last value: one that neither starts with a tab (as a line going on
// with an item's references does) nor is empty, a ruler, a header, a page's title block or an
// item line of its own, and that adds no more fields than the header has room for. Returns the
// index of the last line joined; `line` is then the joined line.
size_t OrcadReportReader::JoinWrappedCells(const std::vector<std::string_view>& lines,
                                           size_t index,
                                           std::string_view& line) {
  if (layout_.separator != kTab || line.find(kTab) == kNone)
    return index;
  size_t fields = TabbedFields(line);
  size_t last = index;
  while (last + 1 < lines.size()) {
    const std::string_view next = lines[last + 1];
    const size_t next_fields = TabbedFields(next);
    if (next.empty() || next.front() == kTab || IsRuler(next) || IsHeaderLine(next) ||
        fields + next_fields - 1 > layout_.columns.size() ||
        (next_fields > 1 && Quantity(ReportLine(next)) > 0) ||
        PageHeaderAfterTitle(lines, last + 1) != kNone)
      break;
    if (last == index)
      joined_.assign(line);
    joined_.append(1, kBlank).append(next);
    fields += next_fields - 1;
    ++last;
  }
  if (last != index)
    line = joined_;
  return last;
}

// Every header line lays the columns out anew and renames the attributes; its columns are
// appended to the table. A long report repeats its header on every page: a header of the same
// names as the last one is such a page header and adds no columns. However many different headers
// a report holds, the table stops growing at the attribute limit, so a report cannot use up the
// memory. A header without a quantity or reference column leaves its lines without items or
// references; one without a part column keeps the part column of the header before it, even of
// a report read before. False for a header that names no designator column of OrCAD's but one of
// another system ("Designator", "REFDES", "Ref Designator"): the report's items would come without
// their designators.
bool OrcadReportReader::TakeHeader(std::string_view line) {
  std::string header(line);
  JoinIdName(header);
  ColumnLayout layout = LayOutColumns(header);
  if (layout.reference_column < 0 && NamesForeignDesignatorColumn(line))
    return false;
  const bool page_header = header_seen_ && SameNames(layout, layout_);
  attributes_.names.clear();
  for (size_t l = 0; l < layout.columns.size() && l < ReportAttributes::kMaxNames; ++l) {
    const std::string& name = layout.columns[l].name;
    attributes_.names.push_back(name);
    if (name == kPartLibName)
      attributes_.partlib_column = static_cast<int32_t>(l) + 1;
    if (!page_header && table_.GetColumnCount() <= static_cast<int>(ReportAttributes::kMaxNames))
      table_.InsertColumn(name, kTitleFormat);
  }
  if (layout.part_column >= 0)
    part_column_ = layout.part_column;
  layout_ = std::move(layout);
  header_seen_ = true;
  return true;
}

// A fixed-width item line is read by the character columns of its header. They fit when the
// quantity's column holds the quantity alone and neither key column starts inside a value. A
// report whose tabs were turned into blanks, or a fixed-width report of another system, puts its
// values elsewhere, and its designators would be read from the wrong characters.
bool OrcadReportReader::ColumnsLineUp(const ReportLine& line) const {
  if (line.Tabbed())
    return true;
  const std::string quantity =
      line.KeyText(layout_, layout_.quantity_position, layout_.quantity_column);
  return quantity.find_first_not_of("0123456789") == kNone &&
         !line.SplitsAValueAt(layout_.quantity_position) &&
         (layout_.reference_column < 0 || !line.SplitsAValueAt(layout_.reference_position));
}

// The quantity is read as atoi reads it; a "-" after the first character (a range such as 12-3)
// makes it 0.
int64_t OrcadReportReader::Quantity(const ReportLine& line) const {
  const std::string text =
      line.KeyText(layout_, layout_.quantity_position, layout_.quantity_column);
  const size_t minus = text.find(kMinus);
  return minus != kNone && minus > 0 ? 0 : LeadingInteger(text);
}

std::string OrcadReportReader::PartText(const ReportLine& line) const {
  return line.KeyText(layout_, layout_.part_position, part_column_);
}

// An item line makes the item's row from its cells and starts its reference list. The part
// value ends with a blank, after which the part text of the item's further lines is joined.
void OrcadReportReader::StartItem(const ReportLine& line) {
  slots_.EmptyAll();
  next_slot_ = 0;
  item_row_ = AppendComponentRow(table_);
  const size_t cells =
      std::min(layout_.columns.size(), static_cast<size_t>(table_.GetColumnCount() - 1));
  for (size_t k = 0; k < cells; ++k)
    table_.SetItemText(item_row_, static_cast<int>(k) + 1, line.CellText(layout_, k));
  item_references_blank_ =
      line.KeyText(layout_, layout_.reference_position, layout_.reference_column).empty();
  ScanReferences(line, 0);
  item_part_ = PartText(line);
  part_text_ = item_part_ + ' ';
}

// A line without a quantity goes on with the item above it: the rest of its reference list and
// of its part value. OrCAD Capture's report of one part a line repeats the item's value on every
// line of its designators: a value equal to the item's own is that repetition and is not joined.
// An item line without a value takes the value of the first line below it that has one, as the
// item line's own value would have been taken.
void OrcadReportReader::ContinueItem(const ReportLine& line) {
  ScanReferences(line, next_slot_);
  std::string part = PartText(line);
  if (part.empty() || part == item_part_)
    return;
  if (item_part_.empty()) {
    part_text_ = part + ' ';
    item_part_ = std::move(part);
    return;
  }
  part_text_ += part;
}

void OrcadReportReader::ScanReferences(const ReportLine& line, size_t start) {
  const int column = layout_.reference_column;
  if (column < 0)
    return;
  next_slot_ = slots_.Scan(line.KeyText(layout_, layout_.reference_position, column), start,
                           line.EndsAtTab(column));
  references_changed_ = true;
}

// The reference cell is written when the item's lines end (at the next item, at the end of the
// report), not after every line: a list of thousands
// of designators written again after each of its wrapped lines would make a long item quadratic.
// The list is that of the slots at that moment (ReferenceSlots::CellText), in the columns of the
// header in force then.
void OrcadReportReader::WriteReferences() {
  if (!references_changed_ || item_row_ < 0)
    return;
  references_changed_ = false;
  const int column = layout_.reference_column + 1;
  if (column <= 0 || column >= table_.GetColumnCount())
    return;
  const std::string list = slots_.CellText(item_references_blank_);
  if (!list.empty())
    table_.SetItemText(item_row_, column, list);
}

void OrcadReportReader::FinishItem() {
  if (item_row_ < 0)
    return;
  if (part_column_ >= 0 && part_column_ < table_.GetColumnCount() - 1)
    table_.SetItemText(item_row_, part_column_ + 1, part_text_);
  WriteReferences();
}

// A header name may be padded with "_" to line the columns up; its title shows the name without
// the padding, while the attribute keeps the name as the header wrote it.
void RemoveTitleFillers(table::GridModel& table) {
  for (int col = 0; col < table.GetColumnCount(); ++col) {
    std::string title = table.GetItemText(0, col);
    const size_t end = title.find_last_not_of(kTitleFiller);
    if (end + 1 == title.size())
      continue;
    title.erase(end == kNone ? 0 : end + 1);
    table.SetItemText(0, col, title);
  }
}

}  // namespace

// The first line is the report's title and is not read. A report whose first line opens with a
// double quote is a quoted report of another system, opened in the wrong window; so is a report
// that the reading shows to be another system's. Either leaves the table empty, and the
// attributes, which always describe the table, are reset with it; the part column stays as the
// report read before left it.
ReadResult ReadOrcadReport(std::string_view text,
                           table::GridModel& table,
                           ReportAttributes& attributes,
                           OrcadReadOptions& options) {
  TextLines text_lines(text);
  std::vector<std::string_view> lines;
  for (std::string_view line; text_lines.Next(line);)
    lines.push_back(WithoutLineEnd(line));
  table::GridUpdate update(table);
  const auto refuse = [&](std::string why) {
    table.DeleteAllItems();
    attributes = ReportAttributes();
    attributes.refusal = std::move(why);
    return ReadResult::kBadStructure;
  };
  if (!lines.empty() && !lines.front().empty() && lines.front().front() == kQuote)
    return refuse("line 1: begins with a double quote, as a report of quoted fields does");
  const int32_t part_column_before = options.part_column;
  ResetComponentTable(table, attributes);
  OrcadReportReader reader(table, attributes, options.part_column);
  if (!reader.Run(lines)) {
    options.part_column = part_column_before;
    return refuse(reader.refusal());
  }
  RemoveTitleFillers(table);
  return ReadResult::kLoaded;
}

}  // namespace zuro::readers
