#include "readers/pcad_reader.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <utility>

#include "base/text_file.h"
#include "readers/component_table.h"
#include "readers/fixed_width_report.h"
#include "readers/quoted_record.h"
#include "base/leading_numbers.h"
#include "readers/read_result.h"
#include "readers/designator_lists.h"

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kLineFeed = '\n';
constexpr std::string_view kSeparator = ";";
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kRefDesName = "RefDes";
constexpr std::string_view kPartLibName = "ID PartLib";

// The separator piece between the first two names, when it is one character.
char SeparatorOf(const std::vector<std::string_view>& header_pieces) {
  return header_pieces.size() > 4 && header_pieces[2].size() == 1 ? header_pieces[2][0]
                                                                  : kSeparator[0];
}

// One pass over a report, filling the table row by row.
class ReportReader {
 public:
  ReportReader(TextLines& lines, table::GridModel& table, ReportAttributes& attributes)
      : lines_(lines), table_(table), attributes_(attributes) {}

  void Run();
  // A report whose separator is not ";" broke the rule of its layout: the table is not the board.
  bool Refused() const { return !refusal_.empty(); }
  const std::string& refusal() const { return refusal_; }

 private:
  void TakeHeader(std::string_view line);
  bool NextLine(std::string_view& line);
  bool ReadRecord();
  void CompleteRecord(std::string_view line);
  void AddComponent();
  int AddRow();
  std::vector<std::string> GatherDesignators(int64_t quantity);
  std::string Designator() const;
  void RefuseAtLine(const std::string& why);

  TextLines& lines_;
  table::GridModel& table_;
  ReportAttributes& attributes_;
  bool header_seen_ = false;
  // The character between the header's first two quoted names: ";" as P-CAD writes reports for
  // this reader, any other one (",", a tab) in the layout P-CAD calls "separated", which puts
  // Count on the first record of a component only. Such a report is held to its quantities: a
  // record that lists a designator outside a component, a component whose records end early or
  // that lacks a designator refuses the report.
  char separator_ = kSeparator[0];
  std::string refusal_;         // why the report was refused; empty while it reads
  size_t line_number_ = 0;      // of the line last read, from 1
  size_t attribute_count_ = 0;  // names in the header, also those beyond the table's limit
  int quantity_piece_ = -1;
  int designator_piece_ = -1;
  // Room kept from record to record: a report has a hundred thousand of them. The pieces view
  // the report itself, or joined_ for a record broken over two lines.
  std::vector<std::string_view> pieces_;
  bool line_end_dropped_ = false;  // the line last read ended with CR LF, which was cut off
  std::string joined_;
  std::string value_room_;
};

void ReportReader::Run() {
  std::string_view line;
  while (NextLine(line) && !Refused()) {
    const bool header = line.find(kCountName) != std::string::npos;
    if (header)
      TakeHeader(line);
    if (!header_seen_ || line.size() + (line_end_dropped_ ? 1 : 0) <= 1)
      continue;
    CompleteRecord(line);
    if (!header && separator_ != kSeparator[0]) {
      if (ComponentQuantity(PieceAt(pieces_, quantity_piece_)) <= 0)
        RefuseAtLine("a designator outside any component (no quantity before it)");
      else if (designator_piece_ >= 0 && PieceAt(pieces_, designator_piece_).empty())
        RefuseAtLine("no designator in the RefDes field");
    }
    AddComponent();
  }
}

// Every line that mentions "Count" is a header: its names append columns again and replace the
// attribute names. Pieces of one character are separators or blanks between the quotes, not
// names; a line feed does not count, so the ";" that ends a converted Mentor header is no name.
// "Count" and "RefDes" are found by their piece number, which the records share; names beyond the
// table's limit get no column but are still counted for the continuation rule.
void ReportReader::TakeHeader(std::string_view line) {
  const std::vector<std::string_view> pieces = SplitAtQuotes(line);
  if (!header_seen_)
    separator_ = SeparatorOf(pieces);
  header_seen_ = true;
  attributes_.names.clear();
  attribute_count_ = 0;
  for (size_t piece = 0; piece < pieces.size(); ++piece) {
    std::string name = WithoutLineFeeds(pieces[piece]);
    if (name.size() <= 1)
      continue;
    if (name == kCountName)
      quantity_piece_ = static_cast<int>(piece);
    if (name == kRefDesName)
      designator_piece_ = static_cast<int>(piece);
    if (attributes_.names.size() < ReportAttributes::kMaxNames) {
      const int32_t column = static_cast<int32_t>(attributes_.names.size()) + 1;
      if (name == kRefDesName)
        attributes_.refdes_column = column;
      if (name == kPartLibName)
        attributes_.partlib_column = column;
      // A value such as "Counter" makes its record a header again, which appends its values as
      // columns once more; the table stops growing at the attribute limit, so such a report
      // cannot use up the memory.
      if (table_.GetColumnCount() <= static_cast<int>(ReportAttributes::kMaxNames))
        table_.InsertColumn(name, kAttributeTitleFormat);
      attributes_.names.push_back(std::move(name));
    }
    ++attribute_count_;
  }
}

// The next line, a view of the report. A line feed ends no field and is left out of every value,
// so a CR LF end is simply cut off, which keeps the lines of a Windows report uncopied too; only
// the test for an empty line needs to know that the line had an end.
bool ReportReader::NextLine(std::string_view& line) {
  line_end_dropped_ = false;
  ++line_number_;
  if (!lines_.Next(line)) {
    line = {};
    return false;
  }
  if (line.ends_with("\r\n")) {
    line.remove_suffix(2);
    line_end_dropped_ = true;
  }
  return true;
}

// A record broken inside a quoted value goes on in the next line; the two are joined without
// their line feeds. One line is joined at most, so a damaged record cannot swallow the report.
// The record's pieces are left in pieces_.
void ReportReader::CompleteRecord(std::string_view line) {
  if (SplitRecord(line, attribute_count_, pieces_, separator_))
    return;
  joined_.assign(line);
  std::string_view next;
  NextLine(next);
  joined_ += next;
  std::erase(joined_, kLineFeed);
  SplitAtQuotes(joined_, pieces_);
}

bool ReportReader::ReadRecord() {
  std::string_view line;
  if (!NextLine(line))
    return false;
  CompleteRecord(line);
  return true;
}

// The first record of a component makes its row; the records of its further parts follow it and
// add only their designators. The header itself reads as quantity 0 ("Count") and makes no row.
void ReportReader::AddComponent() {
  const int64_t quantity = ComponentQuantity(PieceAt(pieces_, quantity_piece_));
  if (quantity <= 0)
    return;
  const int row = AddRow();
  if (quantity == 1)
    return;
  const std::vector<std::string> designators = GatherDesignators(quantity);
  // Without a "RefDes" column the parts' records are still consumed, and the row stays as read.
  if (attributes_.refdes_column <= 0 || designator_piece_ < 0)
    return;
  std::string list;
  if (quantity == 2) {
    list = designators.size() == 2 ? designators[0] + "," + designators[1] : designators[0];
  } else {
    list = CompactDesignators(designators);
  }
  table_.SetItemText(row, attributes_.refdes_column, list);
}

// Values go to the columns in order, skipping separators; a value that is itself ";" is taken
// for a separator, so the values after it move one column to the left. The line end is no value.
int ReportReader::AddRow() {
  const int row = AppendComponentRow(table_);
  int column = 1;
  for (size_t piece = 1; piece < pieces_.size() && column < table_.GetColumnCount(); ++piece) {
    const std::string_view value = WithoutLineFeeds(pieces_[piece], value_room_);
    if (value.size() != 1 || value[0] != separator_)
      table_.SetItemText(row, column++, value);
  }
  return row;
}

// One designator from each of the component's `quantity` records. A report that ends before the
// last of them gives the designators read so far; the quantity cell keeps what the file says.
std::vector<std::string> ReportReader::GatherDesignators(int64_t quantity) {
  std::vector<std::string> designators{Designator()};
  for (int64_t part = 1; part < quantity && ReadRecord(); ++part) {
    designators.push_back(Designator());
    if (separator_ != kSeparator[0] && !PieceAt(pieces_, quantity_piece_).empty()) {
      RefuseAtLine(std::to_string(part) + " designators listed for a quantity of " +
                   std::to_string(quantity));
      return designators;
    }
  }
  if (separator_ == kSeparator[0])
    return designators;
  if (static_cast<int64_t>(designators.size()) < quantity)
    RefuseAtLine(std::to_string(designators.size()) + " designators listed for a quantity of " +
                 std::to_string(quantity));
  else if (std::any_of(designators.begin(), designators.end(), [](auto& d) { return d.empty(); }))
    RefuseAtLine("no designator in the RefDes field of a part of the component");
  return designators;
}

// The designator of the record last completed.
std::string ReportReader::Designator() const {
  return WithoutLineFeeds(PieceAt(pieces_, designator_piece_));
}

void ReportReader::RefuseAtLine(const std::string& why) {
  refusal_ = "line " + std::to_string(line_number_) + ": " + why;
}

ReadResult Refuse(table::GridModel& table, ReportAttributes& attributes, std::string why) {
  table.DeleteAllItems();
  attributes = ReportAttributes();
  attributes.refusal = std::move(why);
  return ReadResult::kBadStructure;
}

}  // namespace

// The report is checked by its first line before the table is touched: a text that is not a
// report leaves an empty table. The attributes always describe the table, so they are reset
// together with it. A first line without a quote may still open a report P-CAD printed in columns
// ("formatted"), which is read as the report of quoted fields it stands for.
ReadResult ReadReport(std::string_view text,
                      table::GridModel& table,
                      ReportAttributes& attributes) {
  TextLines lines(text);
  std::string first_line;
  lines.Read(first_line);
  table::GridUpdate update(table);
  if (first_line.find(kQuote) == std::string::npos) {
    std::string refusal;
    const std::optional<std::string> quoted = FormattedPcadReportAsQuoted(text, &refusal);
    if (quoted && !quoted->empty())
      return ReadReport(*quoted, table, attributes);
    return Refuse(
        table, attributes,
        refusal.empty() ? "line 1: no double quote (a P-CAD report quotes every field)" : refusal);
  }
  ResetComponentTable(table, attributes);
  // A row and its texts never take more than the line and the bytes they come from.
  table.Reserve(static_cast<int>(std::min<size_t>(std::count(text.begin(), text.end(), '\n') + 1,
                                                  std::numeric_limits<int>::max())),
                text.size());
  TextLines records(text);
  ReportReader reader(records, table, attributes);
  reader.Run();
  return reader.Refused() ? Refuse(table, attributes, reader.refusal()) : ReadResult::kLoaded;
}

char HeaderSeparator(std::string_view report) {
  TextLines lines(report);
  for (std::string_view line; lines.Next(line);) {
    if (line.find(kCountName) != std::string_view::npos)
      return SeparatorOf(SplitAtQuotes(line));
  }
  return kSeparator[0];
}

// The count field is read as atoi reads it. A "-" anywhere after the first character rejects it,
// so that a range such as "1-2" is not taken for a quantity of 1.
int64_t ComponentQuantity(std::string_view count_field) {
  if (count_field.find('-', 1) != std::string_view::npos)
    return 0;
  return LeadingInteger(count_field);
}

}  // namespace zuro::readers
