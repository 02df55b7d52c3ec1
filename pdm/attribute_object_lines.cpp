#include "pdm/attribute_object_lines.h"

namespace zuro::pdm {

// Both tables are read afresh for every Create, so only what the files say takes effect.
bool AttributeObjectLines::Begin(const std::string& library_folder) {
  unnamed_[0] = unnamed_[1] = 0;
  composer_.reset();
  return LoadAttributeTemplates(templates_, library_folder);
}

void AttributeObjectLines::AppendLines(const table::GridModel& table,
                                       const readers::ReportAttributes& attributes,
                                       int row,
                                       std::string& list) {
  const ObjectLine& line = Compose(table, attributes, row);
  list += line.name;
  list += '#';
  list += line.attributes;
  list += '\n';
}

const ObjectLine& AttributeObjectLines::Compose(const table::GridModel& table,
                                                const readers::ReportAttributes& attributes,
                                                int row) {
  // The rows of one Create share their report attributes.
  if (!composer_)
    composer_.emplace(templates_, attributes.names);
  ObjectLine& line = line_;
  composer_->Compose(table, row, line);
  templates_.mode = line.mode;
  if (line.name.empty()) {
    ++unnamed_[static_cast<int>(line.mode)];
    if (attributes.refdes_column >= 0)
      line.name = table.GetItemText(row, attributes.refdes_column);
    if (line.name.empty())
      line.name = "Строка " + std::to_string(row);
  }
  return line;
}

std::vector<std::string> AttributeObjectLines::TakeWarnings() {
  const int eri = unnamed_[static_cast<int>(TemplateMode::kEri)];
  const int se = unnamed_[static_cast<int>(TemplateMode::kSe)];
  unnamed_[0] = unnamed_[1] = 0;
  if (eri + se == 0)
    return {};
  std::string templates;
  if (eri > 0)
    templates = "ЭРИ (\"Настройка\", \"Шаблоны ЭРИ...\")";
  if (se > 0)
    templates += std::string(eri > 0 ? " и " : "") + "СЕ (\"Настройка\", \"Шаблоны СЕ...\")";
  return {"Объектов без наименования: " + std::to_string(eri + se) +
          ". Им дано имя по позиционному обозначению. Заполните атрибут \"Наименование\" в "
          "шаблонах " +
          templates};
}

}  // namespace zuro::pdm
