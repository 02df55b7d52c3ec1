#include "readers/mentor_converter.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/paths.h"
#include "readers/report_lines.h"

namespace zuro::readers {

namespace {

constexpr std::string_view kHeaderMark = "REFDES";
constexpr std::string_view kQuantityName = "QTY";
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kRefDesName = "RefDes";
// The parts one component can have in a report.
constexpr int64_t kMostParts = 1000;

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1)
    parts.emplace_back(text.substr(start, end - start));
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string QuotedRecord(const std::vector<std::string>& fields) {
  std::string record;
  for (const std::string& field : fields)
    record += '"' + field + "\";";
  return record;
}

// A text cut at every occurrence of one part of it (the pieces look into the text, which must
// outlive them); joining the pieces with any replacement gives
// the text with every occurrence replaced, in time proportional to the result.
class Occurrences {
 public:
  Occurrences(std::string_view text, std::string_view part) {
    size_t start = 0;
    if (!part.empty()) {
      for (size_t at; (at = text.find(part, start)) != std::string_view::npos;
           start = at + part.size())
        pieces_.push_back(text.substr(start, at - start));
    }
    pieces_.push_back(text.substr(start));
  }
  std::string ReplacedBy(std::string_view replacement) const {
    std::string text(pieces_.front());
    for (size_t i = 1; i < pieces_.size(); ++i)
      text.append(replacement).append(pieces_[i]);
    return text;
  }

 private:
  std::vector<std::string_view> pieces_;
};

const std::string& FieldAt(const std::vector<std::string>& fields, int index) {
  static const std::string kNone;
  return index >= 0 && static_cast<size_t>(index) < fields.size() ? fields[index] : kNone;
}

// Turns the list line by line into report lines. The last field of a line keeps the line's line
// feed, so its converted record usually spans two lines, the second holding only the closing
// quote; the reader's continuation rule joins them again.
class MentorListConverter {
 public:
  explicit MentorListConverter(std::FILE* report) : report_(report) {}
  void ConvertLine(std::string_view line);

 private:
  void ConvertHeader(std::vector<std::string> fields);
  void ConvertRecord(std::vector<std::string> fields);
  void Write(const std::string& record);

  std::FILE* report_;
  bool header_seen_ = false;
  int quantity_field_ = -1;
  int designator_field_ = -1;
};

// Lines before the first header (titles, dates) are not part of the list.
void MentorListConverter::ConvertLine(std::string_view line) {
  if (line.find(kHeaderMark) != std::string_view::npos)
    ConvertHeader(Split(line, ';'));
  else if (header_seen_)
    ConvertRecord(Split(line, ';'));
}

// The quantity and designator fields take the names that the P-CAD reader knows.
void MentorListConverter::ConvertHeader(std::vector<std::string> fields) {
  header_seen_ = true;
  quantity_field_ = -1;
  designator_field_ = -1;
  for (size_t field = 0; field < fields.size(); ++field) {
    if (fields[field].starts_with(kQuantityName)) {
      fields[field] = kCountName;
      quantity_field_ = static_cast<int>(field);
    } else if (fields[field].starts_with(kHeaderMark)) {
      fields[field] = kRefDesName;
      designator_field_ = static_cast<int>(field);
    }
  }
  Write(QuotedRecord(fields));
}

// A list line names all designators of a component; the report has one record per placed part,
// each with one of them. A quantity larger than the list of designators still gives that many
// records (the extra ones with an empty designator), because the reader takes the quantity's
// number of records for the component. A quantity beyond both the list and the thousand parts a
// component can have is a typing error that would fill the disk: the component then gets one
// record per listed designator, and its quantity says so.
void MentorListConverter::ConvertRecord(std::vector<std::string> fields) {
  int64_t quantity = LeadingInteger(FieldAt(fields, quantity_field_));
  const std::string designator_text = FieldAt(fields, designator_field_);
  const std::vector<std::string> designators = Split(designator_text, ',');
  const auto listed = static_cast<int64_t>(std::max<size_t>(designators.size(), 1));
  if (quantity > listed && quantity > kMostParts) {
    quantity = listed;
    fields[quantity_field_] = std::to_string(quantity);
  }
  const std::string quoted = QuotedRecord(fields);
  const Occurrences record(quoted, designator_text);  // views into `quoted`
  for (int64_t part = 0; part < quantity && !std::ferror(report_); ++part)
    Write(record.ReplacedBy(FieldAt(designators, static_cast<int>(part))));
}

void MentorListConverter::Write(const std::string& record) {
  std::fwrite(record.data(), 1, record.size(), report_);
  std::fputc('\n', report_);
}

}  // namespace

// The blank goes before the file name, so the report lies in the list's folder.
std::string ConvertedReportPath(const std::string& list_path) {
  std::string path = list_path;
  path.insert(FileNameStart(list_path), " ");
  return path;
}

// The report is a temporary file that the window deletes after reading it, so it is written
// directly; a report that could not be written completely is removed.
std::string ConvertMentor(const std::string& list_path) {
  FileHandle list = OpenFile(list_path, "rb");
  if (!list)
    return {};
  const std::string report_path = ConvertedReportPath(list_path);
  FileHandle report = OpenFile(report_path, "wb");
  if (!report)
    return {};
  MentorListConverter converter(report.get());
  ReportLineReader lines(list.get());
  for (std::string line; lines.Read(line);)
    converter.ConvertLine(line);
  const bool complete = !std::ferror(list.get()) && !std::ferror(report.get());
  const bool closed = std::fclose(report.release()) == 0;
  if (complete && closed)
    return report_path;
  RemoveFile(report_path);
  return {};
}

}  // namespace zuro::readers
