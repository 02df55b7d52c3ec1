#include "readers/csv_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/text_file.h"
#include "readers/component_table.h"
#include "readers/designator_lists.h"

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kBlank = ' ';
constexpr char kLineFeed = '\n';
constexpr std::string_view kSeparator = ",";
constexpr std::string_view kHeaderMarks[] = {"Quantity", "QUANTITY"};
constexpr std::string_view kReferenceNames[] = {"Components", "Designator", "REFDES", "Refdes",
                                                "RefDes"};
constexpr std::string_view kPartLibName = "ID PartLib";
constexpr int kUnmarkedImage = 0;

// TextLines reads a "\r\n" line end as "\n"; a carriage return elsewhere belongs to the line.
void RemoveLineEnd(std::string& line) {
  if (line.ends_with(kLineFeed))
    line.pop_back();
}

bool IsHeaderCandidate(std::string_view line) {
  for (const std::string_view mark : kHeaderMarks) {
    if (line.find(mark) != std::string_view::npos)
      return true;
  }
  return false;
}

// The names of a header line are its pieces between commas, a quoted piece without its first and
// last character. Empty pieces (",," and the end after a closing ",") name nothing. A piece never
// holds a comma, so a quoted "," leaves two lone quotes; they name nothing either, just as the
// value "," is no value in the data lines.
std::vector<std::string_view> HeaderNames(std::string_view line) {
  std::vector<std::string_view> names;
  for (size_t start = 0; start <= line.size();) {
    const size_t end = std::min(line.find(kComma, start), line.size());
    std::string_view piece = line.substr(start, end - start);
    start = end + 1;
    if (piece.find(kQuote) != std::string_view::npos) {
      if (piece.size() < 2)
        continue;
      piece = piece.substr(1, piece.size() - 2);
    } else if (piece.empty()) {
      continue;
    }
    names.push_back(piece);
  }
  return names;
}

// One pass over the text: lines up to the header are skipped, every later non-empty line is a
// component, the totals and notes after the table proper included. Lines are read whole, whatever
// their length: all designators of a component stand in one value of one line.
class QuotedCsvReader {
 public:
  QuotedCsvReader(table::GridModel& table, ReportAttributes& attributes)
      : table_(table), attributes_(attributes), is_reference_(1, false) {}

  void Run(std::string_view text);

 private:
  bool TakeHeader(std::string_view line);
  void AddComponent(std::string_view line);

  table::GridModel& table_;
  ReportAttributes& attributes_;
  std::vector<bool> is_reference_;  // by table column; column 0 holds the marks
};

void QuotedCsvReader::Run(std::string_view text) {
  TextLines lines(text);
  std::string line;
  bool header_seen = false;
  while (lines.Read(line)) {
    RemoveLineEnd(line);
    if (line.empty())
      continue;
    if (header_seen)
      AddComponent(line);
    else if (IsHeaderCandidate(line))
      header_seen = TakeHeader(line);
  }
}

// A line that mentions the quantity but names nothing is no header, and the search goes on.
// Names past ReportAttributes::kMaxNames get no column; their values are dropped with them.
bool QuotedCsvReader::TakeHeader(std::string_view line) {
  const std::vector<std::string_view> names = HeaderNames(line);
  for (const std::string_view name : names) {
    if (!AppendAttributeColumn(table_, attributes_, name))
      break;
    const auto column = static_cast<int32_t>(attributes_.names.size());
    if (name == kPartLibName)
      attributes_.partlib_column = column;
    is_reference_.push_back(IsReferenceColumnName(name));
  }
  return !names.empty();
}

// The line is cut at every double quote. Whatever stands before the first quote is no value; of
// the later pieces, "," is the separator between two quoted values and every other piece, an
// empty pair of quotes included, is the next column's value. So is the piece after the last
// quote, which is empty in a well-formed line and leaves its cell as it was. A line without any
// quote is no component: its row stays empty and is left out of the documents.
void QuotedCsvReader::AddComponent(std::string_view line) {
  const int row = AppendComponentRow(table_);
  const size_t first_quote = line.find(kQuote);
  if (first_quote == std::string_view::npos) {
    table_.SetItemImage(row, 0, kUnmarkedImage);
    return;
  }
  const size_t last_column = attributes_.names.size();
  size_t column = 1;
  for (size_t start = first_quote + 1; start <= line.size() && column <= last_column;) {
    const size_t end = std::min(line.find(kQuote, start), line.size());
    const std::string_view value = line.substr(start, end - start);
    start = end + 1;
    if (value == kSeparator)
      continue;
    const int cell = static_cast<int>(column++);
    if (is_reference_[cell])
      table_.SetItemText(row, cell, RewriteReferences(value));
    else
      table_.SetItemText(row, cell, value);
  }
}

}  // namespace

bool IsReferenceColumnName(std::string_view name) {
  for (const std::string_view reference : kReferenceNames) {
    if (name == reference)
      return true;
  }
  return false;
}

// There is nothing to check a quoted CSV by: any text loads, and one without a header line
// leaves the table with its title row only.
ReadResult ReadQuotedCsv(std::string_view text,
                         table::GridModel& table,
                         ReportAttributes& attributes) {
  table::GridUpdate update(table);
  ResetComponentTable(table, attributes);
  QuotedCsvReader(table, attributes).Run(text);
  return ReadResult::kLoaded;
}

}  // namespace zuro::readers
