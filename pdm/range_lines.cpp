#include "pdm/range_lines.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "table/grid_model.h"

namespace zuro::pdm {

namespace {

constexpr char kAbsoluteValueKey[] = "Абсолютная величина=";
constexpr char kOutsideSeriesFormat[] =
    "Для компонента %s границы диапазона выходят за границы ряда";
// A first member without a share means the range found no series value.
constexpr float kNoShare = 0.00001f;
// Shares outside (kLowestLineShare, 1) give no line: a member that holds the whole total is the
// only value the component can take, and a vanishing share is no quantity.
constexpr float kLowestLineShare = 0.0000001f;
constexpr float kUpperUnitMargin = 0.001f;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A mark in the first place (*R1) does not make the component adjustable; an empty mark, left
// by a SYMBOL list that ends with ";", makes every component with a first character adjustable.
bool HasMarkAfterFirst(std::string_view designation, const std::vector<std::string>& marks) {
  if (designation.empty())
    return false;
  designation.remove_prefix(1);
  for (const std::string& mark : marks) {
    if (Contains(designation, mark))
      return true;
  }
  return false;
}

// Replaces every `from`; with `whole_values` only where it ends an attribute (before its ";"), so
// that "Количество=1" is not found inside "Количество=12". The search goes on after the inserted
// text, so a replacement that holds `from` is not replaced again.
void ReplaceEvery(std::string& text,
                  std::string_view from,
                  std::string_view to,
                  bool whole_values) {
  if (from.empty())
    return;
  size_t at = text.find(from);
  while (at != std::string::npos) {
    const size_t end = at + from.size();
    if (whole_values && end < text.size() && text[end] != ';') {
      at = text.find(from, at + 1);
      continue;
    }
    text.replace(at, from.size(), to);
    at = text.find(from, at + to.size());
  }
}

std::string FormatFixed2(float value) {
  char buffer[64];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, end.ptr);
}

std::string Replaced(std::string_view format, std::string_view text) {
  std::string out(format);
  out.replace(out.find("%s"), 2, text);
  return out;
}

// A composed object line: the name before the first "#", the attribute text after it, and where
// in that text the absolute value, which each series value writes anew, begins.
struct ComposedLine {
  std::string name;
  bool has_attributes = false;
  std::string attributes;               // all after the first "#"
  size_t absolute = std::string::npos;  // where "Абсолютная величина=" begins in `attributes`
};

ComposedLine SplitObjectLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  ComposedLine composed;
  const size_t hash = line.find('#');
  composed.name = line.substr(0, hash);
  if (hash == std::string_view::npos)
    return composed;
  composed.has_attributes = true;
  composed.attributes = line.substr(hash + 1);
  size_t at = composed.attributes.rfind(kAbsoluteValueKey);
  while (at != std::string::npos && at > 0 && composed.attributes[at - 1] != ';')
    at = composed.attributes.rfind(kAbsoluteValueKey, at - 1);
  composed.absolute = at;
  return composed;
}

const std::string& MemberUnit(const RangeMember& member,
                              const ValueRange& range,
                              const RangeCells& cells) {
  if (range.lower_unit.empty())
    return cells.unit;
  return member.value < range.high + kUpperUnitMargin ? range.upper_unit : range.lower_unit;
}

// The line of one series value: the object's name and attributes with the component's value text
// replaced by the series value and its unit, the quantity replaced by the share, the nominal by
// the series value, and the absolute value computed from it.
std::string ExtraLine(const RangeMember& member,
                      const ValueRange& range,
                      const RangeCells& cells,
                      const ComposedLine& line) {
  const std::string& unit = MemberUnit(member, range, cells);
  const std::string value_text = member.text + " " + unit;
  std::string head = line.name + "#";
  ReplaceEvery(head, cells.value, value_text, false);
  std::string attributes = line.attributes.substr(0, line.absolute);
  ReplaceEvery(attributes, cells.value, value_text, false);
  ReplaceEvery(attributes, "Количество=1", "Количество=" + FormatFixed2(member.share), true);
  ReplaceEvery(attributes, "Номинал=" + cells.nominal, "Номинал=" + member.text, true);
  if (line.absolute != std::string::npos) {
    const std::string_view old = std::string_view(line.attributes).substr(line.absolute);
    const float absolute = static_cast<float>(member.value * UnitPrefixFactor(unit));
    attributes += kAbsoluteValueKey + AbsoluteValueText(absolute);
    attributes += old.substr(std::min(old.find(';'), old.size()));
  }
  return head + attributes + "\n";
}

}  // namespace

RangeCellColumns::RangeCellColumns(const std::vector<std::string>& attribute_names) {
  bool has_value = false;
  bool has_range = false;
  bool has_series = false;
  for (size_t i = 0; i < attribute_names.size(); ++i) {
    const std::string_view name = attribute_names[i];
    const int index = static_cast<int>(i);
    if (name == "RefDes")
      designation_ = index;
    if (Contains(name, "Nominal"))
      nominal_ = index;
    if (Contains(name, "Range"))
      range_ = index;
    if (name == "*Е" || name == "*E" || name == "Е" || name == "E")
      series_ = index;
    if (name == "Value")
      value_ = index;
    if (name == "Unit")
      unit_ = index;
    has_value = has_value || Contains(name, "Value");
    has_range = has_range || Contains(name, "*Range");
    has_series = has_series || Contains(name, "*Е") || Contains(name, "*E");
  }
  report_has_range_ = has_value && has_range && has_series;
}

RangeCells RangeCellColumns::Read(const table::GridModel& table, int row) const {
  return Read([&](size_t i) { return table.ItemText(row, static_cast<int>(i) + 1); });
}

RangeCells ReadRangeCells(const std::vector<std::string>& attribute_names,
                          const std::vector<std::string>& cells) {
  return RangeCellColumns(attribute_names).Read([&](size_t i) {
    return i < cells.size() ? std::string_view(cells[i]) : std::string_view();
  });
}

RangeCells ReadRangeCells(const table::GridModel& table,
                          int row,
                          const std::vector<std::string>& attribute_names) {
  return RangeCellColumns(attribute_names).Read(table, row);
}

ValueRangeStep::ValueRangeStep(SeriesTable series, float sko, std::vector<std::string> marks)
    : series_(std::move(series)), sko_(sko), marks_(std::move(marks)) {}

ValueRangeStep ValueRangeStep::ForCreate(const std::string& library_folder,
                                         const PdmSettings& settings) {
  return ValueRangeStep(SeriesTable::Read(library_folder), settings.sko, settings.adjustment_marks);
}

std::vector<RangeMember> ValueRangeStep::Members(const RangeCells& cells,
                                                 const ValueRange& range) const {
  const ValueSeries* series = series_.Find(cells.series);
  if (!series)
    return {};
  std::vector<RangeMember> members = RangeMembers(*series, range);
  ShareOut(members, DecimalValue(cells.nominal), sko_);
  return members;
}

// Every adjustment mark found anywhere in the designation names the range in the object name and,
// when the range found no series value, warns once more: the designer then sees which component
// to check.
RangeLines ValueRangeStep::Apply(std::string_view object_line, const RangeCells& cells) const {
  const ComposedLine composed = SplitObjectLine(object_line);
  const bool adjustable = cells.report_has_range && HasMarkAfterFirst(cells.designation, marks_);
  ValueRange range;
  std::vector<RangeMember> members;
  if (adjustable) {
    range = ReadValueRange(cells.range);
    members = Members(cells, range);
  }
  const bool outside_series = members.empty() || members.front().share < kNoShare;
  const std::string range_text = adjustable ? cells.range : std::string();

  RangeLines lines;
  std::string object_name = composed.name;
  for (const std::string& mark : marks_) {
    if (!Contains(cells.designation, mark))
      continue;
    object_name = composed.name + " <" + range_text + "> <" + cells.series + ">";
    if (outside_series)
      lines.warnings.push_back(Replaced(kOutsideSeriesFormat, object_name));
  }
  lines.object_line =
      object_name + (composed.has_attributes ? "#" + composed.attributes : "") + "\n";
  for (const RangeMember& member : members) {
    if (member.share > kLowestLineShare && member.share < 1)
      lines.extra_lines.push_back(ExtraLine(member, range, cells, composed));
  }
  return lines;
}

bool ValueRangeStep::Touches(std::string_view designation) const {
  return std::any_of(marks_.begin(), marks_.end(),
                     [&](const std::string& mark) { return Contains(designation, mark); });
}

// "мк" comes before "м", so that micro is not taken for milli.
double UnitPrefixFactor(std::string_view unit) {
  static constexpr std::pair<std::string_view, double> kPrefixes[] = {
      {"мк", 0.000001}, {"М", 1000000},     {"к", 1000},
      {"м", 0.001},     {"н", 0.000000001}, {"п", 0.000000000001}};
  for (const auto& [prefix, factor] : kPrefixes) {
    if (unit.starts_with(prefix))
      return factor;
  }
  return 1;
}

}  // namespace zuro::pdm
