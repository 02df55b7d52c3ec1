#include "pdm/object_line.h"

#include <charconv>
#include <utility>

#include "generation/work_sort.h"

namespace zuro::pdm {

namespace {

constexpr std::string_view kNameAttribute = "Наименование";
constexpr std::string_view kSectionAttribute = "Раздел спецификации";
// The section of a component whose templates give it none, with the space a composed text ends in.
constexpr std::string_view kDefaultSection = "Прочие изделия ";
constexpr std::string_view kAbsoluteValueAttribute = "Абсолютная величина=";

// The table column of the last attribute named exactly `name`; -1 without one.
int LastColumnNamed(const std::vector<std::string>& attribute_names, std::string_view name) {
  int column = -1;
  for (size_t index = 0; index < attribute_names.size(); ++index) {
    if (attribute_names[index] == name)
      column = static_cast<int>(index) + 1;
  }
  return column;
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
    if (table.ItemText(row, column).find("Сбор") != std::string_view::npos)
      return TemplateMode::kSe;
  }
  return TemplateMode::kEri;
}

// The value of one PDM attribute: the texts of the report attributes its record names, each
// followed by a space, empty cells left out. The record's own name counts first, so a PDM
// attribute named as a report column takes that column without listing it. A name that several
// report attributes carry takes all their cells. Only the first 19 values compose; a hand-written
// twentieth shows in the dialog but takes no part.
ObjectLineComposer::ObjectLineComposer(const AttributeTemplates& templates,
                                       const std::vector<std::string>& attribute_names)
    : attribute_count_(static_cast<int>(attribute_names.size())) {
  for (const TemplateMode mode : {TemplateMode::kEri, TemplateMode::kSe}) {
    for (const AttributeRecord& record : templates.Table(mode).records) {
      if (record.IsFree())
        continue;
      Record planned;
      planned.name = record.name;
      planned.is_name = record.name == kNameAttribute;
      planned.is_section = record.name == kSectionAttribute;
      for (int slot = 0; slot <= kComposedValueCount; ++slot) {
        const std::string& wanted = slot == 0 ? record.name : record.values[slot - 1];
        if (wanted.empty())
          continue;
        for (size_t index = 0; index < attribute_names.size(); ++index) {
          if (attribute_names[index] == wanted)
            planned.columns.push_back(static_cast<int>(index) + 1);
        }
      }
      records_[static_cast<int>(mode)].push_back(std::move(planned));
    }
  }
  nominal_column_ = LastColumnNamed(attribute_names, "Nominal");
  unit_column_ = LastColumnNamed(attribute_names, "Unit");
}

// The row's kind is read from its cells, not from the kind the window gave it when reading: a
// row whose section column says "Сборочные единицы" is an assembly unit whatever its line was.
// Records compose in table order, which is file order; free records are skipped. The object's
// name is the last "Наименование" value, taken before the trailing space goes.
//
// The section of the specification is never left empty: whenever a matched column has given it
// fewer than four characters so far, and again at the end, it becomes "Прочие изделия".
void ObjectLineComposer::Compose(const table::GridModel& table, int row, ObjectLine& line) {
  line.mode = RowTemplateMode(table, row, attribute_count_);
  line.name.clear();
  line.attributes.clear();
  for (const Record& record : records_[static_cast<int>(line.mode)]) {
    value_.clear();
    for (const int column : record.columns) {
      const std::string_view cell = table.ItemText(row, column);
      if (!cell.empty()) {
        value_ += cell;
        value_ += ' ';
      }
      if (record.is_section && value_.size() < 4)
        value_ = kDefaultSection;
    }
    if (record.is_name)
      line.name = value_;
    if (record.is_section && value_.size() < 2)
      value_ = kDefaultSection;
    if (value_.size() > 1)
      value_.pop_back();
    line.attributes += record.name;
    line.attributes += '=';
    line.attributes += value_;
    line.attributes += ';';
  }
  if (!line.name.empty())
    line.name.pop_back();
  const std::string_view nominal =
      nominal_column_ < 0 ? std::string_view() : table.ItemText(row, nominal_column_);
  const std::string_view unit =
      unit_column_ < 0 ? std::string_view() : table.ItemText(row, unit_column_);
  line.attributes += kAbsoluteValueAttribute;
  line.attributes += AbsoluteValueText(AbsoluteValue(nominal, unit));
  line.attributes += ';';
}

ObjectLine ComposeObjectLine(const table::GridModel& table,
                             int row,
                             const std::vector<std::string>& attribute_names,
                             const AttributeTemplates& templates) {
  ObjectLine line;
  ObjectLineComposer(templates, attribute_names).Compose(table, row, line);
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
