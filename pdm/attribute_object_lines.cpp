#include "pdm/attribute_object_lines.h"

namespace zuro::pdm {

// Both tables are read afresh for every Create, so only what the files say takes effect.
bool AttributeObjectLines::Begin(const std::string& library_folder) {
  return LoadAttributeTemplates(templates_, library_folder);
}

void AttributeObjectLines::AppendLines(const table::GridModel& table,
                                       const readers::ReportAttributes& attributes,
                                       int row,
                                       std::string& list) {
  list += Compose(table, attributes, row).Text();
}

ObjectLine AttributeObjectLines::Compose(const table::GridModel& table,
                                         const readers::ReportAttributes& attributes,
                                         int row) {
  ObjectLine line = ComposeObjectLine(table, row, attributes.names, templates_);
  templates_.mode = line.mode;
  return line;
}

}  // namespace zuro::pdm
