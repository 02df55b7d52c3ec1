#include "readers/protel_family_report.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

#include "base/text_file.h"
#include "readers/component_table.h"
#include "readers/csv_conversion.h"
#include "readers/csv_reader.h"
#include "readers/delimited_records.h"
#include "readers/designator_lists.h"
#include "readers/html_table.h"
#include "readers/kicad_bom.h"

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kTab = '\t';
constexpr char kBlank = ' ';
constexpr char kLineFeed = '\n';
constexpr std::string_view kQuantityMarks[] = {"Quantity", "QUANTITY"};
constexpr std::string_view kPartLibName = "ID PartLib";
// The words that name the quantity and the designator columns in the headers of the bills of
// materials of the CAD systems the library reads: a line holding one of each is the header of a
// bill of materials, whichever system wrote it.
constexpr std::string_view kQuantityWords[] = {"Quantity", "QUANTITY", "Qty",
                                               "QTY",      "Count",    "COUNT"};
constexpr std::string_view kDesignatorWords[] = {"RefDes",     "REFDES",     "Refdes",
                                                 "Designator", "DESIGNATOR", "Designators",
                                                 "Reference",  "REFERENCE",  "Components"};
// The designator column of a report of another system (OrCAD's "Reference").
constexpr std::string_view kForeignDesignatorWords[] = {"Reference", "REFERENCE"};
constexpr std::string_view kNoHeaderReason = "no header line naming \"Quantity\"";
// A quantity this large is no count of parts; the sum stays far from overflowing.
constexpr int64_t kLargestQuantity = 1'000'000'000;

using Records = std::vector<DelimitedRecord>;

bool HasQuantityMark(std::string_view text) {
  for (const std::string_view mark : kQuantityMarks) {
    if (text.find(mark) != std::string_view::npos)
      return true;
  }
  return false;
}

bool IsWordCharacter(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_' ||
         b >= 0x80;
}

// True when one of the line's words (runs of letters, digits and "_") is in `words`.
template <size_t N>
bool HasWord(std::string_view line, const std::string_view (&words)[N]) {
  for (size_t start = 0; start < line.size();) {
    if (!IsWordCharacter(line[start])) {
      ++start;
      continue;
    }
    size_t end = start;
    while (end < line.size() && IsWordCharacter(line[end]))
      ++end;
    const std::string_view word = line.substr(start, end - start);
    for (const std::string_view known : words) {
      if (word == known)
        return true;
    }
    start = end;
  }
  return false;
}

bool IsBomHeader(std::string_view line) {
  return HasWord(line, kQuantityWords) && HasWord(line, kDesignatorWords);
}

// The designators of a report named under another system's name and under none of this reader's
// (an OrCAD report's "Reference"): the report is no layout of this window.
bool NamesForeignDesignators(std::string_view header) {
  constexpr std::string_view kOwnNames[] = {"Components", "Designator", "REFDES", "Refdes",
                                            "RefDes"};
  return HasWord(header, kForeignDesignatorWords) && !HasWord(header, kOwnNames);
}

struct HeaderLine {
  std::string text;  // without its line end
  size_t next = 0;   // where the line after it starts
};

// The reader's header line: the first one that mentions the quantity.
std::optional<HeaderLine> FindHeaderLine(std::string_view report) {
  TextLines lines(report);
  std::string_view line;
  size_t start = 0;
  while (lines.Next(line)) {
    start += line.size();
    if (HasQuantityMark(line)) {
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
      return HeaderLine{std::string(line), start};
    }
  }
  return std::nullopt;
}

bool AnyLineIsBomHeader(std::string_view report) {
  TextLines lines(report);
  for (std::string_view line; lines.Next(line);) {
    if (IsBomHeader(line))
      return true;
  }
  return false;
}

// The quoted CSV reads each value between two quotes, so it is read right only while every
// quote opens or closes a field. A quote written twice inside a field, a quoted field running
// over a line end, text between a closing quote and the next comma, or a quote inside an
// unquoted field make another layout, which the quoting rules read. Text outside quotes (the
// totals lines of a report) is the reader's own.
bool BreaksQuotedCsv(std::string_view lines) {
  bool field_start = true;
  bool quoted = false;
  bool closed = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const char c = lines[i];
    if (quoted) {
      if (c == kLineFeed)
        return true;
      if (c == kQuote) {
        if (i + 1 < lines.size() && lines[i + 1] == kQuote)
          return true;
        quoted = false;
        closed = true;
      }
      continue;
    }
    const bool line_end =
        c == kLineFeed || (c == '\r' && i + 1 < lines.size() && lines[i + 1] == kLineFeed);
    if (closed && c != kComma && !line_end)
      return true;
    closed = false;
    if (c == kQuote) {
      if (!field_start)
        return true;
      quoted = true;
      field_start = false;
    } else {
      field_start = c == kComma || line_end;
    }
  }
  return quoted;
}

// Altium Designer's text export quotes its values: a piece between tabs that opens with a quote.
bool HasQuotedTabbedField(std::string_view lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == kQuote && (i == 0 || lines[i - 1] == kTab || lines[i - 1] == kLineFeed))
      return true;
  }
  return false;
}

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && text.front() == kBlank)
    text.remove_prefix(1);
  while (!text.empty() && text.back() == kBlank)
    text.remove_suffix(1);
  return text;
}

bool IsQuantityName(std::string_view name) {
  for (const std::string_view quantity : kQuantityMarks) {
    if (WithoutBlanks(name) == quantity)
      return true;
  }
  return false;
}

// The designators a value lists: its pieces between commas, blanks left out, empty pieces none.
int64_t CountListedDesignators(std::string_view value) {
  int64_t count = 0;
  for (size_t start = 0; start <= value.size();) {
    const size_t end = std::min(value.find(kComma, start), value.size());
    if (!WithoutBlanks(value.substr(start, end - start)).empty())
      ++count;
    start = end + 1;
  }
  return count;
}

// A quantity is a whole number, blanks around it allowed; an empty one counts 0.
std::optional<int64_t> ReadQuantity(std::string_view value) {
  value = WithoutBlanks(value);
  int64_t quantity = 0;
  for (const char c : value) {
    if (c < '0' || c > '9')
      return std::nullopt;
    quantity = std::min(quantity * 10 + (c - '0'), kLargestQuantity);
  }
  return quantity;
}

// How the fields of a record layout go into the table: field i into table column column[i] (0:
// none, for a field under an empty name or past the reader's last column).
struct ColumnPlan {
  std::vector<int> column;
  std::optional<size_t> quantity;
  std::optional<size_t> designators;
};

ColumnPlan PlanColumns(const DelimitedRecord& header) {
  ColumnPlan plan;
  int next = 1;
  for (size_t i = 0; i < header.size(); ++i) {
    const bool named =
        !header[i].empty() && static_cast<size_t>(next) <= ReportAttributes::kMaxNames;
    plan.column.push_back(named ? next++ : 0);
    if (!named)
      continue;
    if (!plan.quantity && IsQuantityName(header[i]))
      plan.quantity = i;
    if (!plan.designators && IsReferenceColumnName(header[i]))
      plan.designators = i;
  }
  return plan;
}

bool HasText(std::string_view value) {
  return !WithoutBlanks(value).empty();
}

// A record layout is taken whole or not at all: a quantity and a designator column, every value
// under a column, every quantity a number, and the designators as many as the quantities add up
// to. Anything else is a table half understood. Returns why a layout is not whole; empty when it
// is. Rows count from the first one after the header, as the table shows them.
std::string WhyNotWhole(const Records& records, size_t header, const ColumnPlan& plan) {
  if (!plan.quantity)
    return "the header names no \"Quantity\" column";
  if (!plan.designators)
    return "the header names no column of designators (\"Designator\", \"RefDes\", ...)";
  int64_t quantities = 0;
  int64_t designators = 0;
  for (size_t r = header + 1; r < records.size(); ++r) {
    const DelimitedRecord& record = records[r];
    const std::string row = "row " + std::to_string(r - header) + ": ";
    for (size_t i = 0; i < record.size(); ++i) {
      if ((i >= plan.column.size() || plan.column[i] == 0) && HasText(record[i]))
        return row + "a value under no column of the header";
    }
    if (*plan.quantity < record.size()) {
      const std::optional<int64_t> quantity = ReadQuantity(record[*plan.quantity]);
      if (!quantity)
        return row + "the quantity \"" + record[*plan.quantity] + "\" is no whole number";
      quantities += *quantity;
    }
    if (*plan.designators < record.size())
      designators += CountListedDesignators(record[*plan.designators]);
  }
  if (quantities != designators)
    return "the quantities add up to " + std::to_string(quantities) +
           ", the designators listed number " + std::to_string(designators);
  return {};
}

void Fill(const Records& records,
          size_t header,
          const ColumnPlan& plan,
          table::GridModel& table,
          ReportAttributes& attributes) {
  table::GridUpdate update(table);
  ResetComponentTable(table, attributes);
  std::vector<bool> is_reference(plan.column.size(), false);
  for (size_t i = 0; i < plan.column.size(); ++i) {
    if (plan.column[i] == 0)
      continue;
    const std::string& name = records[header][i];
    AppendAttributeColumn(table, attributes, name);
    if (name == kPartLibName)
      attributes.partlib_column = plan.column[i];
    is_reference[i] = IsReferenceColumnName(name);
  }
  for (size_t r = header + 1; r < records.size(); ++r) {
    if (IsEmptyRecord(records[r]))
      continue;
    const int row = AppendComponentRow(table);
    for (size_t i = 0; i < records[r].size() && i < plan.column.size(); ++i) {
      if (plan.column[i] == 0)
        continue;
      const std::string& value = records[r][i];
      table.SetItemText(row, plan.column[i], is_reference[i] ? RewriteReferences(value) : value);
    }
  }
}

ProtelFamilyReading Refuse(table::GridModel& table, ReportAttributes& attributes, std::string why) {
  table.DeleteAllItems();
  attributes = ReportAttributes();
  attributes.refusal = std::move(why);
  return {ReadResult::kBadStructure, {}};
}

std::optional<size_t> FindHeaderRecord(const Records& records) {
  for (size_t r = 0; r < records.size(); ++r) {
    for (const std::string& field : records[r]) {
      if (HasQuantityMark(field))
        return r;
    }
  }
  return std::nullopt;
}

ProtelFamilyReading ReadRecordLayout(const Records& records,
                                     table::GridModel& table,
                                     ReportAttributes& attributes) {
  const std::optional<size_t> header = FindHeaderRecord(records);
  if (!header)
    return Refuse(table, attributes, std::string(kNoHeaderReason));
  const ColumnPlan plan = PlanColumns(records[*header]);
  if (std::string why = WhyNotWhole(records, *header, plan); !why.empty())
    return Refuse(table, attributes, std::move(why));
  Fill(records, *header, plan, table, attributes);
  return {ReadResult::kLoaded, QuotedCsv(records, *header, plan.column, IsEmptyRecord)};
}

// The layouts of the reader, read by its rules: the Protel CSV as it is, an Altium Designer or
// Cadence Allegro report through its conversion.
ProtelFamilyReading ReadQuotedLayout(std::string_view quoted_csv,
                                     bool converted,
                                     table::GridModel& table,
                                     ReportAttributes& attributes) {
  ProtelFamilyReading reading;
  reading.result = ReadQuotedCsv(quoted_csv, table, attributes);
  if (converted)
    reading.converted = std::string(quoted_csv);
  return reading;
}

// No header line: a text that is no bill of materials gives the empty table, as the reader
// always did; the bill of materials of another system, which names its quantity and designator
// columns in a header the reader does not know, is refused.
ProtelFamilyReading ReadWithoutHeader(std::string_view report,
                                      std::string_view quoted_csv,
                                      bool converted,
                                      table::GridModel& table,
                                      ReportAttributes& attributes) {
  if (AnyLineIsBomHeader(report))
    return Refuse(table, attributes,
                  "no header line naming \"Quantity\"; the header found names its columns as "
                  "other systems do");
  return ReadQuotedLayout(quoted_csv, converted, table, attributes);
}

// Protel and Altium Designer. The header line tells the layout: with tabs, Altium Designer's
// text, its fields quoted or (the converter's own layout) not; without any quote, a CSV as a
// spreadsheet program writes it; quoted, the reader's CSV unless its quotes break its rules.
ProtelFamilyReading ReadCsvOrText(std::string_view report,
                                  ProtelFamilyKind kind,
                                  table::GridModel& table,
                                  ReportAttributes& attributes) {
  const bool altium = kind == ProtelFamilyKind::kAltiumDesigner;
  const auto quoted_layout = [&] {
    return altium ? ReadQuotedLayout(ConvertAltiumText(report), true, table, attributes)
                  : ReadQuotedLayout(report, false, table, attributes);
  };
  const std::optional<HeaderLine> header = FindHeaderLine(report);
  if (!header) {
    const std::string quoted_csv = altium ? ConvertAltiumText(report) : std::string(report);
    return ReadWithoutHeader(report, quoted_csv, altium, table, attributes);
  }
  const std::string_view rows = report.substr(header->next);
  if (header->text.find(kTab) != std::string::npos) {
    if (!altium || HasQuotedTabbedField(rows))
      return ReadRecordLayout(ReadDelimitedRecords(report, kTab), table, attributes);
  } else if (header->text.find(kQuote) == std::string::npos || BreaksQuotedCsv(rows)) {
    return ReadRecordLayout(ReadDelimitedRecords(report, kComma), table, attributes);
  }
  // A tabbed report naming OrCAD's "Reference" is OrCAD's own; a quoted CSV is read as it always
  // was, whatever its columns are called.
  if (header->text.find(kTab) != std::string::npos && NamesForeignDesignators(header->text))
    return Refuse(table, attributes,
                  "the designators' column is named \"Reference\", as OrCAD names it");
  return quoted_layout();
}

// Designators in an HTML cell come separated by blanks, commas or ";"; the table lists them
// separated by commas.
std::string DesignatorList(std::string_view cell) {
  std::string list;
  bool separator = false;
  for (const char c : cell) {
    if (c == kBlank || c == kComma || c == ';') {
      separator = true;
      continue;
    }
    if (separator && !list.empty())
      list += kComma;
    separator = false;
    list += c;
  }
  return list;
}

bool MentionsQuantity(const DelimitedRecord& cells) {
  return std::any_of(cells.begin(), cells.end(),
                     [](const std::string& cell) { return HasQuantityMark(cell); });
}

// The rows of the table that holds the header, from the header on; the header is the first row
// with a cell that mentions the quantity. Rows of other tables (the design's name and date above,
// notes below) are not the bill of materials.
std::optional<Records> HtmlBomRecords(const std::vector<HtmlTableRow>& rows) {
  Records records;
  std::optional<int> table;
  std::optional<size_t> designators;
  for (const HtmlTableRow& row : rows) {
    if (!table) {
      if (!MentionsQuantity(row.cells))
        continue;
      table = row.table;
      for (size_t i = 0; i < row.cells.size() && !designators; ++i) {
        if (IsReferenceColumnName(row.cells[i]))
          designators = i;
      }
    } else if (row.table != *table) {
      break;
    }
    records.push_back(row.cells);
    if (records.size() > 1 && designators && *designators < records.back().size())
      records.back()[*designators] = DesignatorList(records.back()[*designators]);
  }
  if (!table)
    return std::nullopt;
  return records;
}

// The quoted CSV reader cuts its lines at quotes and its header at commas, and takes a value that
// is only "," for a separator.
bool BreaksQuotedField(std::string_view text, bool name) {
  return text.find(kQuote) != std::string_view::npos ||
         (name ? text.find(kComma) != std::string_view::npos : text == ",");
}

// A designator list the reader sorts is cut at commas only; designators separated by blanks
// alone would run together.
bool HasDesignatorsWithoutComma(std::string_view list) {
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(kComma, start), list.size());
    if (WithoutBlanks(list.substr(start, end - start)).find(kBlank) != std::string_view::npos)
      return true;
    start = end + 1;
  }
  return false;
}

// The header of the reading one cell a line against the page's: as many names, none past the
// reader's last column, none that the quoted CSV would break.
bool HeaderShownAlike(const DelimitedRecord& header, const DelimitedRecord& shown) {
  return header.size() == shown.size() && header.size() <= ReportAttributes::kMaxNames &&
         std::none_of(header.begin(), header.end(),
                      [](const std::string& name) { return BreaksQuotedField(name, true); });
}

// A row of the reading one cell a line against the page's: cell by cell the same (a ";" read as
// ","), no text past the header's columns, none that the quoted CSV would break, and designator
// lists separated by commas.
bool RowShownAlike(const DelimitedRecord& row,
                   const DelimitedRecord& shown,
                   const DelimitedRecord& header) {
  if (row.size() != shown.size())
    return false;
  for (size_t i = 0; i < row.size(); ++i) {
    std::string cell = shown[i];
    std::replace(cell.begin(), cell.end(), ';', kComma);
    if (row[i] != cell || BreaksQuotedField(row[i], false))
      return false;
    if (i < header.size() ? IsReferenceColumnName(header[i]) && HasDesignatorsWithoutComma(row[i])
                          : !row[i].empty()) {
      return false;
    }
  }
  return true;
}

// The reading of the report one cell a line is the reader's own and stays as it was, but only
// where it reads what a browser shows, from the header on. Anything else (a row on one line, a
// cell beside a row end, a row cut short at the end of the page) is read by the page's tables.
bool ReadsAsThePageShows(const Records& lines, const std::vector<HtmlTableRow>& page) {
  const auto own = std::find_if(lines.begin(), lines.end(), MentionsQuantity);
  const auto shown = std::find_if(page.begin(), page.end(), [](const HtmlTableRow& row) {
    return MentionsQuantity(row.cells);
  });
  if (own == lines.end() || shown == page.end())
    return false;
  Records rows;
  std::copy_if(own, lines.end(), std::back_inserter(rows),
               [](const DelimitedRecord& row) { return !row.empty(); });
  if (rows.size() != static_cast<size_t>(page.end() - shown) ||
      !HeaderShownAlike(rows.front(), shown->cells)) {
    return false;
  }
  for (size_t r = 1; r < rows.size(); ++r) {
    if (!RowShownAlike(rows[r], shown[static_cast<ptrdiff_t>(r)].cells, rows.front()))
      return false;
  }
  return true;
}

// Cadence Allegro's text report: a few lines about the design, then a header and the rows, their
// values separated by commas. The designators of a row are joined by ";" or by ","; in the last
// column, the values past the header's names are the row's further designators. A header that
// names no designator column is no such report.
std::optional<ProtelFamilyReading> ReadAllegroText(std::string_view report,
                                                   table::GridModel& table,
                                                   ReportAttributes& attributes) {
  Records records = ReadDelimitedRecords(report, kComma);
  const std::optional<size_t> header = FindHeaderRecord(records);
  if (!header)
    return std::nullopt;
  const ColumnPlan plan = PlanColumns(records[*header]);
  if (!plan.designators)
    return std::nullopt;
  const size_t designators = *plan.designators;
  const bool last = std::all_of(plan.column.begin() + static_cast<ptrdiff_t>(designators) + 1,
                                plan.column.end(), [](int column) { return column == 0; });
  for (size_t r = *header + 1; r < records.size(); ++r) {
    DelimitedRecord& record = records[r];
    if (last && record.size() > designators + 1) {
      for (size_t i = designators + 1; i < record.size(); ++i)
        record[designators] += kComma + record[i];
      record.resize(designators + 1);
    }
    if (designators < record.size())
      record[designators] = DesignatorList(record[designators]);
  }
  return ReadRecordLayout(records, table, attributes);
}

// A text whose header separates its names by commas, outside any HTML table.
bool IsCommaSeparatedText(std::string_view report, const std::vector<HtmlTableRow>& page) {
  const std::optional<HeaderLine> header = FindHeaderLine(report);
  return page.empty() && header && header->text.find(kComma) != std::string::npos &&
         header->text.find(kTab) == std::string::npos;
}

// Cadence Allegro. The converter's own layout (one cell a line, header cells in bold) is read by
// its conversion while that reads the page right; any other page is read as the HTML table it
// is, and a report without any table as the text report.
ProtelFamilyReading ReadAllegroReport(std::string_view report,
                                      table::GridModel& table,
                                      ReportAttributes& attributes) {
  const Records lines = ReadAllegroHtmlLines(report);
  const std::vector<HtmlTableRow> page = ReadHtmlTableRows(report);
  if (ReadsAsThePageShows(lines, page))
    return ReadQuotedLayout(AllegroLinesCsv(lines), true, table, attributes);
  if (const std::optional<Records> records = HtmlBomRecords(page))
    return ReadRecordLayout(*records, table, attributes);
  if (IsCommaSeparatedText(report, page)) {
    if (std::optional<ProtelFamilyReading> reading = ReadAllegroText(report, table, attributes))
      return std::move(*reading);
  }
  return ReadWithoutHeader(report, AllegroLinesCsv(lines), true, table, attributes);
}

}  // namespace

ProtelFamilyReading ReadProtelFamilyReport(std::string_view report,
                                           ProtelFamilyKind kind,
                                           table::GridModel& table,
                                           ReportAttributes& attributes) {
  if (kind == ProtelFamilyKind::kCadenceAllegro)
    return ReadAllegroReport(report, table, attributes);
  ProtelFamilyReading reading = ReadCsvOrText(report, kind, table, attributes);
  // Altium Designer's window also reads KiCad's bill of materials, but only where its own layouts
  // give no component: every report they read is read as it always was.
  const bool gave_component = reading.result == ReadResult::kLoaded && table.GetRowCount() >= 2;
  if (kind == ProtelFamilyKind::kAltiumDesigner && !gave_component) {
    if (std::optional<ProtelFamilyReading> kicad = ReadKicadBom(report, table, attributes))
      return std::move(*kicad);
  }
  return reading;
}

}  // namespace zuro::readers
