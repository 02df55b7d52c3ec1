#include "pdm/pdm_reader.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>
#include <vector>

#include "base/text_file.h"
#include "readers/component_table.h"
#include "readers/mentor_converter.h"
#include "readers/quoted_record.h"

namespace zuro::pdm {

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kSeparator = ";";
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kQuantityPrefix = "QTY";
constexpr std::string_view kUnitMark = "Сборочные";
constexpr std::string_view kRefDesName = "RefDes";
constexpr std::string_view kPartLibName = "ID PartLib";
// A physical line this much shorter than the broken record before it is that record's rest.
constexpr size_t kShorterRest = 10;

// "(k/n)" after a kind.
void AppendCount(std::string& text, int k, int n) {
  char digits[16];
  text += '(';
  text.append(digits, std::to_chars(digits, digits + sizeof digits, k).ptr);
  text += '/';
  text.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
  text += ')';
}

bool IsHeader(std::string_view line) {
  return line.find(kCountName) != std::string_view::npos ||
         line.find(kQuantityPrefix) != std::string_view::npos;
}

// One pass over the report. Electrical items become rows as they are read; assembly units wait
// until the end, so that they follow every item.
class PdmReportReader {
 public:
  PdmReportReader(std::string_view text,
                  table::GridModel& table,
                  readers::ReportAttributes& attributes,
                  PdmRowCounts& counts)
      : lines_(text), table_(table), attributes_(attributes), counts_(counts) {}

  void Run();

 private:
  bool NextLine(std::string& line);
  bool CompleteRecord(std::string& line);
  void TakeHeader(const std::string& line);
  void TakeRecord(const std::string& line, bool split);
  void AddRow(const std::vector<std::string_view>& pieces, bool unit);
  void NumberRows();

  TextLines lines_;
  std::string held_line_;  // a line read ahead and given back
  bool holding_ = false;
  table::GridModel& table_;
  readers::ReportAttributes& attributes_;
  PdmRowCounts& counts_;
  bool header_seen_ = false;
  size_t attribute_count_ = 0;
  int quantity_piece_ = -1;
  int quantity_column_ = 1;
  std::vector<std::string> units_;
  std::vector<std::string_view> pieces_;  // of the record being read
  std::vector<std::pair<int, bool>> kinds_;  // each row and whether it is an assembly unit
};

bool PdmReportReader::NextLine(std::string& line) {
  if (holding_) {
    holding_ = false;
    line = std::move(held_line_);
    return true;
  }
  return lines_.Read(line);
}

// A record broken inside a value goes on in the next line when that line is much shorter, as
// the rest of a record is; a line of about the same length is a record of its own and is read
// again as one. True when pieces_ hold the record as it now stands, split at its quotes: a line
// read alone was split while it was checked, and its only line feed is its last byte.
bool PdmReportReader::CompleteRecord(std::string& line) {
  if (line.size() <= 1) {
    std::erase(line, '\n');
    return false;
  }
  if (!readers::SplitRecord(line, attribute_count_, pieces_)) {
    std::string next;
    if (NextLine(next)) {
      if (next.size() + kShorterRest <= line.size()) {
        line += next;
        std::erase(line, '\n');
        return false;
      }
      held_line_ = std::move(next);
      holding_ = true;
    }
  }
  if (line.back() == '\n') {
    line.pop_back();
    pieces_.back().remove_suffix(1);  // the last piece runs to the end of the line
  }
  return true;
}

void PdmReportReader::Run() {
  for (std::string line; NextLine(line);) {
    if (!header_seen_ && !IsHeader(line))
      continue;
    const bool split = CompleteRecord(line);
    if (!header_seen_)
      TakeHeader(line);
    else
      TakeRecord(line, split);
  }
  for (const std::string& unit : units_) {
    readers::SplitAtQuotes(unit, pieces_);
    AddRow(pieces_, true);
  }
  NumberRows();
}

// The names between the quotes become the columns; the quantity is the piece named "Count" or
// one beginning with "QTY".
void PdmReportReader::TakeHeader(const std::string& line) {
  header_seen_ = true;
  const std::vector<std::string_view> pieces = readers::SplitAtQuotes(line);
  for (size_t piece = 0; piece < pieces.size(); ++piece) {
    const std::string name = readers::WithoutLineFeeds(pieces[piece]);
    if (name.size() <= 1 || name == kSeparator)
      continue;
    const bool quantity = name == kCountName || name.starts_with(kQuantityPrefix);
    if (quantity)
      quantity_piece_ = static_cast<int>(piece);
    ++attribute_count_;
    if (!readers::AppendAttributeColumn(table_, attributes_, name))
      continue;
    const auto column = static_cast<int32_t>(attributes_.names.size());
    if (quantity)
      quantity_column_ = column;
    if (name == kRefDesName)
      attributes_.refdes_column = column;
    if (name == kPartLibName)
      attributes_.partlib_column = column;
  }
}

// A blank line between records is no part. A quantity such as "1-2" marks a record that is no
// electrical item; a record naming "Сборочные" is an assembly unit whatever its quantity.
void PdmReportReader::TakeRecord(const std::string& line, bool split) {
  if (line.find_first_not_of(" \t\r") == std::string::npos)
    return;
  if (line.find(kUnitMark) != std::string::npos) {
    units_.push_back(line);
    ++counts_.units;
    return;
  }
  if (!split)
    readers::SplitAtQuotes(line, pieces_);
  const std::string_view quantity = readers::PieceAt(pieces_, quantity_piece_);
  if (quantity.find('-', 1) != std::string_view::npos)
    return;
  AddRow(pieces_, false);
  ++counts_.items;
}

// Every value between quotes takes the next column; each row is one piece, so the quantity
// column says "1" whatever the report said. That column comes first in P-CAD's reports; in a list
// that begins with its designators, writing "1" into the first column would lose them. The first
// column is written when the rows are numbered.
void PdmReportReader::AddRow(const std::vector<std::string_view>& pieces, bool unit) {
  const int row = readers::AppendComponentRow(table_);
  const int columns = table_.GetColumnCount();
  int column = 1;
  for (size_t piece = 1; piece < pieces.size() && column < columns; ++piece) {
    if (pieces[piece] != kSeparator)
      table_.SetItemText(row, column++, pieces[piece]);
  }
  if (quantity_column_ < columns)
    table_.SetItemText(row, quantity_column_, "1");
  kinds_.emplace_back(row, unit);
}

// Each row's kind and its number within the kind: "ЭРИ(2/3)", "СЕ(1/1)".
void PdmReportReader::NumberRows() {
  int items = 0;
  int units = 0;
  std::string number;
  for (const auto& [row, unit] : kinds_) {
    number.assign(unit ? kUnitKind : kItemKind);
    AppendCount(number, unit ? ++units : ++items, unit ? counts_.units : counts_.items);
    table_.SetItemText(row, 0, number);
  }
}

}  // namespace

readers::ReadResult ReadPdmReport(std::string_view text,
                                  table::GridModel& table,
                                  readers::ReportAttributes& attributes,
                                  PdmRowCounts& counts) {
  counts = {};
  table::GridUpdate update(table);
  readers::ResetComponentTable(table, attributes);
  TextLines first(text);
  std::string first_line;
  first.Read(first_line);
  if (first_line.find(kQuote) == std::string::npos) {
    table.DeleteAllItems();
    attributes.refusal = "line 1: no double quote (a P-CAD report quotes every field)";
    return readers::ReadResult::kBadStructure;
  }
  // A row and its texts never take more than the line and the bytes they come from.
  table.Reserve(static_cast<int>(std::min<size_t>(std::count(text.begin(), text.end(), '\n') + 1,
                                                  std::numeric_limits<int>::max())),
                text.size());
  PdmReportReader(text, table, attributes, counts).Run();
  return readers::ReadResult::kLoaded;
}

bool IsMentorListPath(std::string_view path) {
  if (path.size() < 4)
    return false;
  const std::string_view ending = path.substr(path.size() - 4);
  return ending[0] == '.' && (ending[1] | 0x20) == 'l' && (ending[2] | 0x20) == 's' &&
         (ending[3] | 0x20) == 't';
}

std::string ConvertMentorListForPdm(std::string_view list_text) {
  return readers::ConvertMentor(list_text, readers::MentorReportStyle::kPlacedParts);
}

}  // namespace zuro::pdm
