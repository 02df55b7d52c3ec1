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
#include "readers/report_lines.h"
#include "readers/selection_order.h"

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
  bool Refused() const { return refused_; }

 private:
  void TakeHeader(std::string_view line);
  bool NextLine(std::string_view& line);
  bool ReadRecord();
  void CompleteRecord(std::string_view line);
  void AddComponent();
  int AddRow();
  std::vector<std::string> GatherDesignators(int64_t quantity);
  std::string Designator() const;

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
  bool refused_ = false;
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
  while (NextLine(line) && !refused_) {
    const bool header = line.find(kCountName) != std::string::npos;
    if (header)
      TakeHeader(line);
    if (!header_seen_ || line.size() + (line_end_dropped_ ? 1 : 0) <= 1)
      continue;
    CompleteRecord(line);
    if (!header && separator_ != kSeparator[0] &&
        (ComponentQuantity(PieceAt(pieces_, quantity_piece_)) <= 0 ||
         (designator_piece_ >= 0 && PieceAt(pieces_, designator_piece_).empty())))
      refused_ = true;
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
    if (separator_ != kSeparator[0] && !PieceAt(pieces_, quantity_piece_).empty())
      refused_ = true;
  }
  if (separator_ != kSeparator[0] &&
      (static_cast<int64_t>(designators.size()) < quantity ||
       std::any_of(designators.begin(), designators.end(), [](auto& d) { return d.empty(); })))
    refused_ = true;
  return designators;
}

// The designator of the record last completed.
std::string ReportReader::Designator() const {
  return WithoutLineFeeds(PieceAt(pieces_, designator_piece_));
}

ReadResult Refuse(table::GridModel& table, ReportAttributes& attributes) {
  table.DeleteAllItems();
  attributes = ReportAttributes();
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
    const std::optional<std::string> quoted = FormattedPcadReportAsQuoted(text);
    if (quoted && !quoted->empty())
      return ReadReport(*quoted, table, attributes);
    return Refuse(table, attributes);
  }
  ResetComponentTable(table, attributes);
  // A row and its texts never take more than the line and the bytes they come from.
  table.Reserve(static_cast<int>(std::min<size_t>(std::count(text.begin(), text.end(), '\n') + 1,
                                                  std::numeric_limits<int>::max())),
                text.size());
  TextLines records(text);
  ReportReader reader(records, table, attributes);
  reader.Run();
  return reader.Refused() ? Refuse(table, attributes) : ReadResult::kLoaded;
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

// Every run of digits contributes its digits without its leading zeros, and the contributions
// are read as one number: R12 gives 12, R05 5, C1.2 12, DD3A 3, R0 0. Numbers too long for 64
// bits saturate, so they still sort after all shorter ones.
int64_t DesignatorSortNumber(std::string_view designator) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  int64_t number = 0;
  bool run_started = false;
  for (const char c : designator) {
    const bool digit = c >= '0' && c <= '9';
    run_started = digit && (run_started || c != '0');
    if (run_started)
      number = number > (kLimit - (c - '0')) / 10 ? kLimit : number * 10 + (c - '0');
  }
  return number;
}

// A selection sort: each position gets the first smallest number after it by an exchange. The
// exchange may put designators of equal numbers (C2, DA2) out of their file order, and the lists
// users know from their reports depend on that order, so no stable sort is used instead. A long
// list (a quantity typed wrong swallows the rest of a report) finds its smallest numbers in a
// tree, so that no report keeps the window busy for minutes.
void SortDesignators(std::vector<NumberedDesignator>& designators) {
  const size_t count = designators.size();
  if (count <= kPlainSelectionLimit) {
    for (size_t position = 0; position < count; ++position) {
      size_t smallest = position;
      for (size_t candidate = position + 1; candidate < count; ++candidate) {
        if (designators[candidate].number < designators[smallest].number)
          smallest = candidate;
      }
      if (smallest != position)
        std::swap(designators[position], designators[smallest]);
    }
    return;
  }
  SelectionTree after(count);
  for (size_t place = 0; place < count; ++place)
    after.Fill(place, designators[place].number);
  for (size_t position = 0; position < count; ++position) {
    const size_t smallest = after.FirstSmallest();
    if (smallest != position) {
      std::swap(designators[position], designators[smallest]);
      after.Fill(smallest, designators[smallest].number);
    }
    after.Clear(position);
  }
}

// A designator whose number is one more than its predecessor's extends the run that ends there
// (R1...R3), anything else starts a new list entry; prefixes are not compared, and repeated
// numbers stay as separate entries (C2,C2...C3). `run_start` is the length of the list up to the
// first designator of the current run.
std::string JoinDesignatorRuns(const std::vector<NumberedDesignator>& sorted) {
  if (sorted.empty())
    return {};
  std::string list = sorted[0].text;
  size_t run_start = list.size();
  for (size_t next = 1; next < sorted.size(); ++next) {
    if (sorted[next].number - sorted[next - 1].number == 1) {
      list.resize(run_start);
      list += "..." + sorted[next].text;
    } else {
      list += "," + sorted[next].text;
      run_start = list.size();
    }
  }
  return list;
}

std::string CompactDesignators(const std::vector<std::string>& designators) {
  std::vector<NumberedDesignator> numbered;
  numbered.reserve(designators.size());
  for (const std::string& designator : designators)
    numbered.push_back({designator, DesignatorSortNumber(designator)});
  SortDesignators(numbered);
  return JoinDesignatorRuns(numbered);
}

}  // namespace zuro::readers
