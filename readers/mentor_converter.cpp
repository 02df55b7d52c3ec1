#include "readers/mentor_converter.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/paths.h"
#include "base/text_file.h"
#include "base/leading_numbers.h"

namespace zuro::readers {

namespace {

constexpr std::string_view kHeaderMark = "REFDES";
constexpr std::string_view kQuantityName = "QTY";
constexpr std::string_view kCountName = "Count";
constexpr std::string_view kRefDesName = "RefDes";
// The most parts a line that lists no designator stands for: a thousand, as many as a component
// held in the report format's day. The fuzz build lowers it: there a list of a kilobyte with a
// large quantity on every line made megabytes of copies of the same records, and the lists were
// read two hundred times a second instead of thousands, while a small limit takes the same paths.
#ifdef ZURO_MOST_UNLISTED_PARTS
constexpr int64_t kMostUnlistedParts = ZURO_MOST_UNLISTED_PARTS;
#else
constexpr int64_t kMostUnlistedParts = 1000;
#endif

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
  for (const std::string& field : fields) {
    record += '"';
    record += field;
    record += "\";";
  }
  return record;
}

// A text cut at every occurrence of one part of it (the pieces look into the text, which must
// outlive them); joining the pieces with any replacement gives the text with every occurrence
// replaced, in time proportional to the result.
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
  // Appends the text with every occurrence replaced to `out`.
  void AppendReplacedBy(std::string_view replacement, std::string& out) const {
    out.append(pieces_.front());
    for (size_t i = 1; i < pieces_.size(); ++i)
      out.append(replacement).append(pieces_[i]);
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
  MentorListConverter(std::string& report, MentorReportStyle style)
      : report_(report), parts_(style == MentorReportStyle::kPlacedParts) {}
  void ConvertLine(std::string_view line);

 private:
  void ConvertHeader(std::vector<std::string> fields);
  void ConvertRecord(std::vector<std::string> fields);
  void Write(const std::string& record);

  bool IsHeader(std::string_view line) const;

  std::string& report_;
  const bool parts_;
  bool header_seen_ = false;
  int quantity_field_ = -1;
  int designator_field_ = -1;
};

// Lines before the first header (titles, dates) are not part of the list.
void MentorListConverter::ConvertLine(std::string_view line) {
  if (IsHeader(line))
    ConvertHeader(Split(line, ';'));
  else if (header_seen_)
    ConvertRecord(Split(line, ';'));
}

bool MentorListConverter::IsHeader(std::string_view line) const {
  return line.find(kHeaderMark) != std::string_view::npos ||
         (parts_ && line.find(kRefDesName) != std::string_view::npos);
}

// The quantity and designator fields take the names that the P-CAD reader knows; the PDM window
// knows the list's own names.
void MentorListConverter::ConvertHeader(std::vector<std::string> fields) {
  header_seen_ = true;
  quantity_field_ = -1;
  designator_field_ = -1;
  for (size_t field = 0; field < fields.size(); ++field) {
    const std::string& name = fields[field];
    if (name.starts_with(kQuantityName) || (parts_ && name.starts_with(kCountName))) {
      quantity_field_ = static_cast<int>(field);
      if (!parts_)
        fields[field] = kCountName;
    } else if (name.starts_with(kHeaderMark) || (parts_ && name.starts_with(kRefDesName))) {
      designator_field_ = static_cast<int>(field);
      if (!parts_)
        fields[field] = kRefDesName;
    }
  }
  Write(QuotedRecord(fields));
}

// A list line names all designators of a component; the report has one record per placed part,
// each with one of them. The list is what the designer placed, so a quantity that disagrees with
// it gives way: the component gets one record per listed designator and its quantity says so
// (a quantity above the list would give records without a designator, and one below it would
// drop the designators past it); an empty piece between commas is no designator. A line that
// lists no designator keeps its quantity up to kMostUnlistedParts: each part is a record of the
// whole line, and a quantity typed wrong (999999999) would make gigabytes of one line. A larger
// quantity becomes that many, and the records say so, so that they still read as one component.
// A line whose quantity is not positive makes no record.
void MentorListConverter::ConvertRecord(std::vector<std::string> fields) {
  int64_t quantity = LeadingInteger(FieldAt(fields, quantity_field_));
  if (quantity <= 0)
    return;
  const std::string designator_text = FieldAt(fields, designator_field_);
  std::vector<std::string> designators = Split(designator_text, ',');
  std::erase_if(designators, [](const std::string& designator) {
    return designator.find_first_not_of(" \r\n") == std::string::npos;
  });
  const auto listed = static_cast<int64_t>(designators.size());
  const int64_t parts = listed > 0 ? listed : std::min(quantity, kMostUnlistedParts);
  if (quantity != parts) {
    quantity = parts;
    fields[quantity_field_] = std::to_string(quantity);
  }
  if (parts_)
    fields[quantity_field_] = "1";
  const std::string quoted = QuotedRecord(fields);
  const Occurrences record(quoted, designator_text);  // views into `quoted`
  for (int64_t part = 0; part < quantity; ++part) {
    record.AppendReplacedBy(FieldAt(designators, static_cast<int>(part)), report_);
    report_ += '\n';
  }
}

void MentorListConverter::Write(const std::string& record) {
  report_ += record;
  report_ += '\n';
}

}  // namespace

// The blank goes before the file name, so the report lies in the list's folder.
std::string ConvertedReportPath(const std::string& list_path) {
  std::string path = list_path;
  path.insert(FileNameStart(list_path), " ");
  return path;
}

// The converted report stays in memory: reading a list needs no write access to its folder and
// touches no file beside it.
std::string ConvertMentor(std::string_view list_text, MentorReportStyle style) {
  std::string report;
  report.reserve(list_text.size() + list_text.size() / 2);
  MentorListConverter converter(report, style);
  TextLines lines(list_text);
  for (std::string line; lines.Read(line);)
    converter.ConvertLine(line);
  return report;
}

}  // namespace zuro::readers
