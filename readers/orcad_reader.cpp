#include "readers/orcad_reader.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/text_file.h"
#include "readers/component_table.h"

namespace zuro::readers {

namespace {

constexpr char kTab = '\t';
constexpr char kBlank = ' ';
constexpr char kComma = ',';
constexpr char kQuote = '"';
constexpr char kMinus = '-';
constexpr char kTitleFiller = '_';
constexpr size_t kNone = std::string_view::npos;
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kQuantityName = "Quantity";
constexpr std::string_view kRefDesName = "RefDes";
constexpr std::string_view kReferenceName = "Reference";
constexpr std::string_view kAttributesName = "Attributes";
constexpr std::string_view kPartName = "Part";
constexpr std::string_view kPartLibName = "ID PartLib";
constexpr std::string_view kIdText = "ID";
constexpr std::string_view kRunMark = "...";
// OrCAD titles are only vertically centred, unlike the P-CAD window's centred titles.
constexpr table::CellFormat kTitleFormat = table::kFormatVCentre;
// Numbers this far apart belong to no common list: such a reference is a typing error.
constexpr int64_t kGapLimit = 99999;
// The references of one item that a report of the format's day held.
constexpr size_t kSelectionSortLimit = 1000;

std::string Without(std::string_view text, char first, char second) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c != first && c != second)
      result += c;
  }
  return result;
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
  }
  return line;
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
    if (name == kRefDesName || name == kReferenceName)
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

struct ReferenceSlot {
  size_t index = 0;
  std::string text;
};

// The reference designators of the item being read, one per slot. A comma of the reference list
// moves on to the next slot, so the slots follow the list as the report wrote it, empty places
// included. Only the slots that hold a designator are kept, in slot order: a list of many empty
// places costs nothing, and emptying all slots costs no more than what they hold. Every
// designator is kept, however long the item's list.
class ReferenceSlots {
 public:
  void EmptyAll() { filled_.clear(); }

  // Writes a reference list from slot `start` on, which is emptied first; every later slot is
  // empty already. A comma closes a slot and opens the next one; so does the tab after the
  // field of a tabbed line. Returns the slot at which the item's next line goes on: the slot left
  // open, which that line overwrites, or the slot after the last one closed.
  size_t Scan(std::string_view references, size_t start, bool closed_by_tab) {
    while (!filled_.empty() && filled_.back().index >= start)
      filled_.pop_back();
    size_t slot = start;
    std::string text;
    for (const char c : references) {
      if (c == kComma) {
        Put(slot++, std::move(text));
        text.clear();
      } else {
        text += c;
      }
    }
    Put(slot, std::move(text));
    return closed_by_tab ? slot + 1 : slot;
  }

  // One more than the last slot that holds a designator.
  size_t Count() const { return filled_.empty() ? 0 : filled_.back().index + 1; }
  std::string_view Text(size_t index) const {
    for (const ReferenceSlot& slot : filled_) {
      if (slot.index >= index)
        return slot.index == index ? std::string_view(slot.text) : std::string_view();
    }
    return {};
  }
  const std::vector<ReferenceSlot>& Filled() const { return filled_; }

 private:
  void Put(size_t index, std::string text) {
    if (!text.empty())
      filled_.push_back({index, std::move(text)});
  }

  std::vector<ReferenceSlot> filled_;
};

struct NumberedReference {
  size_t slot = 0;
  int64_t number = 0;
  std::string_view text;
};

// Orders the numbered references as a selection sort over the slots does: each place takes the
// first slot of the smallest number from that place on, by exchanging the two. References without
// a number never get chosen and stay behind, but they hold places: where they stand decides which
// of two equal numbers (C2, DA2) comes first, and users know their lists by that order. So the
// selection is run on the numbered references with their slots: a numbered reference standing at
// the place being filled moves to the chosen one's slot. Quadratic, which the thousand references
// of an item in the format's day afford easily; a longer list (a report of tens of thousands of
// designators in one item) is sorted stably instead, so that no report keeps the window busy.
std::vector<NumberedReference> SortByNumber(std::vector<NumberedReference> remaining) {
  const auto by_number = [](const NumberedReference& a, const NumberedReference& b) {
    return a.number < b.number;
  };
  if (remaining.size() > kSelectionSortLimit) {
    std::stable_sort(remaining.begin(), remaining.end(), by_number);
    return remaining;
  }
  std::vector<NumberedReference> sorted;
  sorted.reserve(remaining.size());
  for (size_t place = 0; !remaining.empty(); ++place) {
    const auto chosen = std::min_element(remaining.begin(), remaining.end(), by_number);
    sorted.push_back(*chosen);
    const bool exchanged = chosen != remaining.begin() && remaining.front().slot == place;
    remaining.erase(chosen);
    if (exchanged) {
      NumberedReference displaced = remaining.front();
      remaining.erase(remaining.begin());
      displaced.slot = sorted.back().slot;
      const auto after =
          std::upper_bound(remaining.begin(), remaining.end(), displaced,
                           [](const auto& a, const auto& b) { return a.slot < b.slot; });
      remaining.insert(after, displaced);
    }
  }
  return sorted;
}

// A reference one number after the one before it extends the run that ends there (C1...C3);
// a larger step starts a new entry. A repeated number, and a step of kGapLimit or more, leave the
// reference out, and the run goes on from it: the step is always taken from the reference just
// before. Prefixes are not compared. `base` is the length of the list up to and with the first
// reference of the current run.
std::string JoinRuns(const std::vector<NumberedReference>& sorted) {
  std::string list(sorted.front().text);
  size_t base = list.size();
  for (size_t i = 1; i < sorted.size(); ++i) {
    const int64_t step = sorted[i].number - sorted[i - 1].number;
    if (step == 1) {
      list.resize(base);
      list += kRunMark;
      list += sorted[i].text;
    } else if (step > 1 && step < kGapLimit) {
      list += kComma;
      list += sorted[i].text;
      base = list.size();
    }
  }
  return list;
}

// A run of two is written as two entries: C1...C2 becomes C1,C2.
std::string WriteRunsOfTwoApart(std::string_view list) {
  std::string result;
  for (size_t start = 0; start <= list.size();) {
    const size_t comma = std::min(list.find(kComma, start), list.size());
    std::string piece(list.substr(start, comma - start));
    const size_t mark = piece.find(kRunMark, 1);
    if (mark != kNone) {
      const std::string_view run(piece);
      const int64_t step = ReferenceNumber(run.substr(mark + kRunMark.size())) -
                           ReferenceNumber(run.substr(0, mark));
      if (step == 1)
        piece.replace(mark, kRunMark.size(), 1, kComma);
    }
    if (start > 0)
      result += kComma;
    result += piece;
    start = comma + 1;
  }
  return result;
}

// Only references with a number enter the list; when no reference has one, slot 0 stands for the
// list. A list of fewer than two characters leaves the cell as the item line wrote it.
std::string CompactSlots(const std::vector<ReferenceSlot>& slots) {
  std::vector<NumberedReference> numbered;
  for (const ReferenceSlot& slot : slots) {
    const int64_t number = ReferenceNumber(slot.text);
    if (number > 0)
      numbered.push_back({slot.index, number, slot.text});
  }
  std::string list;
  if (!numbered.empty())
    list = JoinRuns(SortByNumber(std::move(numbered)));
  else if (!slots.empty() && slots.front().index == 0)
    list = slots.front().text;
  list = WriteRunsOfTwoApart(list);
  return list.size() >= 2 ? list : std::string();
}

// One pass over a report below its first line, filling the table item by item.
class OrcadReportReader {
 public:
  OrcadReportReader(table::GridModel& table, ReportAttributes& attributes, int32_t& part_column)
      : table_(table), attributes_(attributes), part_column_(part_column) {}

  void Run(TextLines& lines);

 private:
  void TakeHeader(std::string_view line);
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
  bool references_changed_ = false;  // the slots changed since the reference cell was written
};

// An empty line ends a group of references: the item's next lines start a fresh list in the
// slots after it. Any line that mentions the quantity is a header, even among the items.
void OrcadReportReader::Run(TextLines& lines) {
  std::string_view text;
  while (lines.Next(text)) {
    const std::string_view line = WithoutLineEnd(text);
    if (line.empty()) {
      WriteReferences();
      slots_.EmptyAll();
      continue;
    }
    if (line.find(kCountName) != kNone || line.find(kQuantityName) != kNone) {
      TakeHeader(line);
      continue;
    }
    if (!header_seen_)
      continue;
    const ReportLine report_line(line);
    if (Quantity(report_line) > 0) {
      FinishItem();
      StartItem(report_line);
    } else if (item_row_ >= 0) {
      ContinueItem(report_line);
    }
  }
  FinishItem();
}

// Every header line lays the columns out anew and renames the attributes; its columns are
// appended to the table. A long report repeats its header on every page: a header of the same
// names as the last one is such a page header and adds no columns. However many different headers
// a report holds, the table stops growing at the attribute limit, so a report cannot use up the
// memory. A header without a quantity or reference column leaves its lines without items or
// references; one without a part column keeps the part column of the header before it, even of
// a report read before.
void OrcadReportReader::TakeHeader(std::string_view line) {
  std::string header(line);
  JoinIdName(header);
  ColumnLayout layout = LayOutColumns(header);
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
  ScanReferences(line, 0);
  part_text_ = PartText(line) + ' ';
}

// A line without a quantity goes on with the item above it: the rest of its reference list and
// of its part value.
void OrcadReportReader::ContinueItem(const ReportLine& line) {
  ScanReferences(line, next_slot_);
  part_text_ += PartText(line);
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
// report) and before an empty line empties the slots, not after every line: a list of thousands
// of designators written again after each of its wrapped lines would make a long item quadratic.
// The list is that of the slots at that moment, in the columns of the header in force then. One
// designator leaves the cell as the item line wrote it; two are written in list order; more are
// sorted and compacted. When the slots then hold fewer than two designators (or a list too short
// to be one), the cell keeps what it holds: the item line's text, or the list written before an
// empty line.
void OrcadReportReader::WriteReferences() {
  if (!references_changed_ || item_row_ < 0)
    return;
  references_changed_ = false;
  const int column = layout_.reference_column + 1;
  if (column <= 0 || column >= table_.GetColumnCount())
    return;
  const size_t count = slots_.Count();
  std::string list;
  if (count == 2)
    list = std::string(slots_.Text(0)) + kComma + std::string(slots_.Text(1));
  else if (count > 2)
    list = CompactSlots(slots_.Filled());
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
// double quote is a quoted report of another system, opened in the wrong window: the table is
// left empty, and the attributes, which always describe the table, are reset with it.
ReadResult ReadOrcadReport(std::string_view text,
                           table::GridModel& table,
                           ReportAttributes& attributes,
                           int32_t& part_column) {
  TextLines lines(text);
  std::string_view first_line;
  lines.Next(first_line);
  table::GridUpdate update(table);
  if (!first_line.empty() && first_line.front() == kQuote) {
    table.DeleteAllItems();
    attributes = ReportAttributes();
    return ReadResult::kBadStructure;
  }
  ResetComponentTable(table, attributes);
  OrcadReportReader(table, attributes, part_column).Run(lines);
  RemoveTitleFillers(table);
  return ReadResult::kLoaded;
}

std::string CompactReferences(std::vector<std::string> references) {
  std::vector<ReferenceSlot> slots;
  for (size_t index = 0; index < references.size(); ++index) {
    if (!references[index].empty())
      slots.push_back({index, std::move(references[index])});
  }
  return CompactSlots(slots);
}

}  // namespace zuro::readers
