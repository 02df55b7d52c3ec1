#include "pdm/object_line.h"

#include <charconv>

#include "generation/work_sort.h"

namespace zuro::pdm {

namespace {

constexpr std::string_view kNameAttribute = "Наименование";
constexpr std::string_view kSectionAttribute = "Раздел спецификации";
// The section of a component whose templates give it none, with the space a composed text ends in.
constexpr std::string_view kDefaultSection = "Прочие изделия ";
constexpr std::string_view kAbsoluteValueAttribute = "Абсолютная величина=";

// The text of the row's cell of the last attribute named exactly `name`; empty without one.
std::string AttributeCell(const table::GridModel& table,
                          int row,
                          const std::vector<std::string>& attribute_names,
                          std::string_view name) {
  std::string text;
  for (size_t index = 0; index < attribute_names.size(); ++index) {
    if (attribute_names[index] == name)
      text = table.GetItemText(row, static_cast<int>(index) + 1);
  }
  return text;
}

// The value of one PDM attribute: the texts of the report attributes its record names, each
// followed by a space, empty cells left out. The record's own name counts first, so a PDM
// attribute named as a report column takes that column without listing it. A name that several
// report attributes carry takes all their cells. Only the first 19 values compose; a hand-written
// twentieth shows in the dialog but takes no part.
//
// The section of the specification is never left empty: whenever a matched column has given it
// fewer than four characters so far, and again at the end, it becomes "Прочие изделия".
std::string ComposeValue(const AttributeRecord& record,
                         const table::GridModel& table,
                         int row,
                         const std::vector<std::string>& attribute_names) {
  const bool section = record.name == kSectionAttribute;
  std::string value;
  for (int slot = 0; slot <= kComposedValueCount; ++slot) {
    const std::string& wanted = slot == 0 ? record.name : record.values[slot - 1];
    if (wanted.empty())
      continue;
    for (size_t index = 0; index < attribute_names.size(); ++index) {
      if (attribute_names[index] != wanted)
        continue;
      const std::string cell = table.GetItemText(row, static_cast<int>(index) + 1);
      if (!cell.empty())
        value += cell + ' ';
      if (section && value.size() < 4)
        value = kDefaultSection;
    }
  }
  return value;
}

}  // namespace

std::string ObjectLine::Text(std::string_view object_name) const {
  std::string text(object_name);
  text += '#';
  text += attributes;
  text += '\n';
  return text;
}

TemplateMode RowTemplateMode(const table::GridModel& table, int row, int attribute_count) {
  for (int column = 1; column <= attribute_count; ++column) {
    if (table.GetItemText(row, column).find("Сбор") != std::string::npos)
      return TemplateMode::kSe;
  }
  return TemplateMode::kEri;
}

// The row's kind is read from its cells, not from the kind the window gave it when reading: a
// row whose section column says "Сборочные единицы" is an assembly unit whatever its line was.
// Records compose in table order, which is file order; free records are skipped. The object's
// name is the last "Наименование" value, taken before the trailing space goes.
ObjectLine ComposeObjectLine(const table::GridModel& table,
                             int row,
                             const std::vector<std::string>& attribute_names,
                             const AttributeTemplates& templates) {
  ObjectLine line;
  line.mode = RowTemplateMode(table, row, static_cast<int>(attribute_names.size()));
  for (const AttributeRecord& record : templates.Table(line.mode).records) {
    if (record.IsFree())
      continue;
    std::string value = ComposeValue(record, table, row, attribute_names);
    if (record.name == kNameAttribute)
      line.name = value;
    if (record.name == kSectionAttribute && value.size() < 2)
      value = kDefaultSection;
    if (value.size() > 1)
      value.pop_back();
    line.attributes += record.name + "=" + value + ";";
  }
  if (!line.name.empty())
    line.name.pop_back();
  const std::string nominal = AttributeCell(table, row, attribute_names, "Nominal");
  const std::string unit = AttributeCell(table, row, attribute_names, "Unit");
  line.attributes +=
      std::string(kAbsoluteValueAttribute) + AbsoluteValueText(AbsoluteValue(nominal, unit)) + ";";
  return line;
}

// The unit's leading prefix scales the nominal as it does for the specification's order; the PDM
// receives the value in single precision.
float AbsoluteValue(std::string_view nominal, std::string_view unit) {
  std::string scaled_unit(unit);
  return static_cast<float>(generation::ScaledNominal(nominal, scaled_unit));
}

// Written the same by every runtime and locale: six decimals and an exponent of at least two
// digits.
std::string AbsoluteValueText(float value) {
  char buffer[64];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
  return std::string(buffer, result.ptr);
}

}  // namespace zuro::pdm
