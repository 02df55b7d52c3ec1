#include "readers/kicad_bom.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_encoding.h"
#include "readers/component_table.h"
#include "readers/delimited_records.h"
#include "readers/designator_lists.h"

namespace zuro::readers {

namespace {

constexpr char kQuote = '"';
constexpr char kApostrophe = '\'';
constexpr char kComma = ',';
// The column of designators is titled as the window's own reports title it, so that the window,
// the templates and the documents find it as they find those reports' designators.
constexpr std::string_view kDesignatorTitle = "Designator";
constexpr std::string_view kPartLibName = "ID PartLib";
// How KiCad and the BOM scripts that come with it name the designators and the quantity of a
// group of parts. "Designator" and "RefDes" are not among them: they are the window's own
// layouts, which are read, or refused, by their own rules.
constexpr std::string_view kDesignatorNames[] = {"Reference", "References", "Reference(s)", "Ref",
                                                 "Refs"};
constexpr std::string_view kQuantityNames[] = {"Qty", "Qnty", "Quantity"};
// A quantity this large is no count of parts; reading stops growing it there.
constexpr int64_t kLargestQuantity = 1'000'000'000;

using Records = std::vector<DelimitedRecord>;

// The separator between fields and the quote around them. KiCad's export separates by "," and
// quotes with '"', its semicolon preset quotes with "'", and other writers put '"' around fields
// separated by ";".
struct Dialect {
  char separator;
  char quote;
};
constexpr Dialect kDialects[] = {{kComma, kQuote}, {';', kQuote}, {';', kApostrophe}};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool HasText(std::string_view text) {
  return !Trimmed(text).empty();
}

// KiCad writes its column titles as the designer typed them; the letter case of a title says
// nothing about what the column holds.
template <size_t N>
bool IsNamed(std::string_view title, const std::string_view (&names)[N]) {
  title = Trimmed(title);
  return std::any_of(std::begin(names), std::end(names), [&](std::string_view name) {
    return name.size() == title.size() &&
           std::equal(name.begin(), name.end(), title.begin(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
  });
}

void SwapQuotes(std::string& text) {
  for (char& c : text) {
    if (c == kQuote)
      c = kApostrophe;
    else if (c == kApostrophe)
      c = kQuote;
  }
}

// The records of the text read by the quoting rules, with the dialect's quote. A text quoted
// with "'" is read with the two quote characters swapped and each field swapped back: the rules
// stay one, and a '"' in such a text is an ordinary character.
Records ReadRecords(std::string_view text, Dialect dialect) {
  if (dialect.quote == kQuote)
    return ReadDelimitedRecords(text, dialect.separator);
  std::string swapped(text);
  SwapQuotes(swapped);
  Records records = ReadDelimitedRecords(swapped, dialect.separator);
  for (DelimitedRecord& record : records) {
    for (std::string& field : record)
      SwapQuotes(field);
  }
  return records;
}

bool IsHeader(const DelimitedRecord& record) {
  return std::any_of(record.begin(), record.end(),
                     [](const std::string& field) { return IsNamed(field, kDesignatorNames); });
}

// The report read in the first dialect that finds a header: the first record with a field that
// names the designators. The records before it are the title block.
struct KicadTable {
  Records records;
  size_t header = 0;
};

std::optional<KicadTable> FindTable(std::string_view report) {
  for (const Dialect dialect : kDialects) {
    Records records = ReadRecords(report, dialect);
    const auto header = std::find_if(records.begin(), records.end(), IsHeader);
    if (header != records.end()) {
      const auto index = static_cast<size_t>(header - records.begin());
      return KicadTable{std::move(records), index};
    }
  }
  return std::nullopt;
}

// How the fields go into the table: field i into table column column[i] (0: none, for a field
// under an empty title or past the table's last column).
struct ColumnPlan {
  std::vector<int> column;
  std::optional<size_t> designators;
  std::optional<size_t> quantity;
};

ColumnPlan PlanColumns(const DelimitedRecord& header) {
  ColumnPlan plan;
  int next = 1;
  for (size_t i = 0; i < header.size(); ++i) {
    const bool named =
        HasText(header[i]) && static_cast<size_t>(next) <= ReportAttributes::kMaxNames;
    plan.column.push_back(named ? next++ : 0);
    if (!named)
      continue;
    if (!plan.designators && IsNamed(header[i], kDesignatorNames))
      plan.designators = i;
    else if (!plan.quantity && IsNamed(header[i], kQuantityNames))
      plan.quantity = i;
  }
  return plan;
}

// KiCad separates the designators of a group by ", " (its own export by ","), and a list a
// designer typed or an older script wrote may use blanks alone, or end with a separator.
std::vector<std::string_view> SplitDesignators(std::string_view cell) {
  std::vector<std::string_view> designators;
  const auto is_separator = [](char c) { return IsBlank(c) || c == kComma || c == ';'; };
  for (size_t start = 0; start < cell.size();) {
    if (is_separator(cell[start])) {
      ++start;
      continue;
    }
    size_t end = start;
    while (end < cell.size() && !is_separator(cell[end]))
      ++end;
    designators.push_back(cell.substr(start, end - start));
    start = end;
  }
  return designators;
}

std::string_view Field(const DelimitedRecord& record, std::optional<size_t> index) {
  return index && *index < record.size() ? std::string_view(record[*index]) : std::string_view();
}

// A whole number, blanks around it allowed; an empty one counts 0.
std::optional<int64_t> ReadQuantity(std::string_view value) {
  int64_t quantity = 0;
  for (const char c : Trimmed(value)) {
    if (c < '0' || c > '9')
      return std::nullopt;
    quantity = std::min<int64_t>(quantity * 10 + (c - '0'), kLargestQuantity);
  }
  return quantity;
}

bool IsBlankRecord(const DelimitedRecord& record) {
  return std::none_of(record.begin(), record.end(),
                      [](const std::string& field) { return HasText(field); });
}

// Why the line is no whole component; empty when it is one. `row` counts from the first record
// after the header, as the table shows them.
std::string WhyNotComponent(const DelimitedRecord& record, size_t row, const ColumnPlan& plan) {
  const std::string at = "row " + std::to_string(row) + ": ";
  for (size_t i = 0; i < record.size(); ++i) {
    if ((i >= plan.column.size() || plan.column[i] == 0) && HasText(record[i]))
      return at + "a value under no column of the header";
  }
  const auto designators =
      static_cast<int64_t>(SplitDesignators(Field(record, plan.designators)).size());
  if (designators == 0)
    return at + "no designator";
  if (!plan.quantity)
    return {};
  const std::string_view text = Field(record, plan.quantity);
  const std::optional<int64_t> quantity = ReadQuantity(text);
  if (!quantity)
    return at + "the quantity \"" + std::string(text) + "\" is no whole number";
  if (*quantity != designators)
    return at + std::to_string(designators) + (designators == 1 ? " designator" : " designators") +
           " listed for a quantity of " + std::to_string(*quantity);
  return {};
}

// A KiCad table is taken whole or not at all: every line after the header a component, with as
// many designators as its quantity where the table gives one, and no value outside the columns.
// Returns why it is not whole; empty when it is.
std::string WhyNotWhole(const KicadTable& kicad, const ColumnPlan& plan) {
  if (!plan.designators)
    return "the designators' column lies past the table's last column";
  bool component = false;
  for (size_t r = kicad.header + 1; r < kicad.records.size(); ++r) {
    if (IsBlankRecord(kicad.records[r]))
      continue;
    if (std::string why = WhyNotComponent(kicad.records[r], r - kicad.header, plan); !why.empty())
      return why;
    component = true;
  }
  return component ? std::string() : "no component line after the header line";
}

// The designators as the window's own reading writes a list: separated by commas, three or more
// sorted and joined into runs.
std::string DesignatorCell(std::string_view cell) {
  std::string list;
  for (const std::string_view designator : SplitDesignators(cell)) {
    if (!list.empty())
      list += kComma;
    list += designator;
  }
  return RewriteReferences(list);
}

void Fill(const KicadTable& kicad,
          const ColumnPlan& plan,
          table::GridModel& table,
          ReportAttributes& attributes) {
  table::GridUpdate update(table);
  ResetComponentTable(table, attributes);
  const DelimitedRecord& header = kicad.records[kicad.header];
  for (size_t i = 0; i < plan.column.size(); ++i) {
    if (plan.column[i] == 0)
      continue;
    AppendAttributeColumn(table, attributes, i == plan.designators ? kDesignatorTitle : header[i]);
    if (header[i] == kPartLibName)
      attributes.partlib_column = plan.column[i];
  }
  for (size_t r = kicad.header + 1; r < kicad.records.size(); ++r) {
    const DelimitedRecord& record = kicad.records[r];
    if (IsBlankRecord(record))
      continue;
    const int row = AppendComponentRow(table);
    for (size_t i = 0; i < record.size() && i < plan.column.size(); ++i) {
      if (plan.column[i] != 0)
        table.SetItemText(row, plan.column[i],
                          i == plan.designators ? DesignatorCell(record[i]) : record[i]);
    }
  }
}

}  // namespace

std::optional<ProtelFamilyReading> ReadKicadBom(std::string_view report,
                                                table::GridModel& table,
                                                ReportAttributes& attributes) {
  const std::optional<KicadTable> kicad = FindTable(report);
  if (!kicad)
    return std::nullopt;
  const ColumnPlan plan = PlanColumns(kicad->records[kicad->header]);
  if (std::string why = WhyNotWhole(*kicad, plan); !why.empty()) {
    table.DeleteAllItems();
    attributes = ReportAttributes();
    attributes.refusal = std::move(why);
    return ProtelFamilyReading{ReadResult::kBadStructure, {}};
  }
  Fill(*kicad, plan, table, attributes);
  return ProtelFamilyReading{ReadResult::kLoaded,
                             QuotedCsv(kicad->records, kicad->header, plan.column, IsBlankRecord)};
}

}  // namespace zuro::readers
