#include "readers/delimited_records.h"

#include <cstddef>

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kLineFeed = '\n';
constexpr char kReturn = '\r';
constexpr char kBlank = ' ';

// One pass over the text, a character at a time, so that a report of any size is read in time
// proportional to it. The rules are lenient where a file breaks them, and nothing is dropped: a
// quote inside a quoted field that neither is written twice nor ends the field (before the
// separator or the line end) is taken as written, as in Altium Designer's
// "Low Profile .025" SQ Post Header, Through-hole"; so is a quote inside an unquoted field; and a
// quote left open runs to the end of the text.
class DelimitedScanner {
 public:
  DelimitedScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

  std::vector<DelimitedRecord> Run();

 private:
  size_t LineEndLength(size_t at) const;
  bool EndsQuotedField(size_t at) const;
  void ReadQuoted();
  void EndField() { record_.push_back(std::move(field_)), field_.clear(); }
  void EndRecord();

  std::string_view text_;
  char separator_;
  size_t at_ = 0;
  std::string field_;
  DelimitedRecord record_;
  std::vector<DelimitedRecord> records_;
};

// A line ends with LF or CR LF; a CR elsewhere belongs to the field, as in every reader of this
// library.
size_t DelimitedScanner::LineEndLength(size_t at) const {
  if (text_[at] == kLineFeed)
    return 1;
  if (text_[at] == kReturn && at + 1 < text_.size() && text_[at + 1] == kLineFeed)
    return 2;
  return 0;
}

std::vector<DelimitedRecord> DelimitedScanner::Run() {
  bool field_start = true;
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (field_start && c == kQuote) {
      ++at_;
      ReadQuoted();
      field_start = false;
    } else if (c == separator_) {
      ++at_;
      EndField();
      field_start = true;
    } else if (const size_t end = LineEndLength(at_); end > 0) {
      at_ += end;
      EndRecord();
      field_start = true;
    } else {
      field_ += c;
      ++at_;
      field_start = false;
    }
  }
  if (!field_.empty() || !record_.empty())
    EndRecord();
  return std::move(records_);
}

// A quote at `at` closes its field when the separator, a line end or the end of the text follows.
bool DelimitedScanner::EndsQuotedField(size_t at) const {
  const size_t next = at + 1;
  return next == text_.size() || text_[next] == separator_ || LineEndLength(next) > 0;
}

// From after the opening quote to after the closing one: "" is one quote, a line break one blank.
void DelimitedScanner::ReadQuoted() {
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (c == kQuote) {
      if (at_ + 1 < text_.size() && text_[at_ + 1] == kQuote) {
        field_ += kQuote;
        at_ += 2;
        continue;
      }
      const bool closing = EndsQuotedField(at_);
      ++at_;
      if (closing)
        return;
      field_ += kQuote;
      continue;
    }
    if (const size_t end = LineEndLength(at_); end > 0) {
      field_ += kBlank;
      at_ += end;
      continue;
    }
    field_ += c;
    ++at_;
  }
}

void DelimitedScanner::EndRecord() {
  EndField();
  records_.push_back(std::move(record_));
  record_.clear();
}

}  // namespace

std::vector<DelimitedRecord> ReadDelimitedRecords(std::string_view text, char separator) {
  return DelimitedScanner(text, separator).Run();
}

bool IsEmptyRecord(const DelimitedRecord& record) {
  for (const std::string& field : record) {
    if (!field.empty())
      return false;
  }
  return true;
}

namespace {

void AppendCsvField(std::string& csv, std::string_view field) {
  csv += '"';
  for (const char c : field) {
    csv += c;
    if (c == '"')
      csv += '"';
  }
  csv += "\",";
}

}  // namespace

std::string QuotedCsv(const std::vector<DelimitedRecord>& records,
                      size_t header,
                      const std::vector<int>& column,
                      bool (*skip)(const DelimitedRecord&)) {
  std::string csv;
  for (size_t r = 0; r < records.size(); ++r) {
    const DelimitedRecord& record = records[r];
    if (skip(record))
      continue;
    for (size_t i = 0; i < record.size(); ++i) {
      if (r < header ? !record[i].empty() : i < column.size() && column[i] != 0)
        AppendCsvField(csv, record[i]);
    }
    if (r > header) {
      for (size_t i = record.size(); i < column.size(); ++i) {
        if (column[i] != 0)
          AppendCsvField(csv, "");
      }
    }
    csv.append(r == header ? 2 : 1, '\n');
  }
  return csv;
}

}  // namespace zuro::readers
