// The object lines Create writes for the rows passed on, composed by the ERI and SE attribute
// templates: one line per row, under the object's own name. The PDM reads objects until it meets
// an empty name, so an object whose "Наименование" composes to nothing would hide itself and every
// object after it: such an object is named by its designator instead, and the window is told once
// how many there were and which templates to fill.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pdm/attribute_templates.h"
#include "pdm/object_line.h"
#include "pdm/pdm_object_lines.h"

namespace zuro::pdm {

class AttributeObjectLines : public PdmObjectLines {
 public:
  // `templates` are the library's; each row's composition leaves its mode in them.
  explicit AttributeObjectLines(AttributeTemplates& templates) : templates_(templates) {}

  bool Begin(const std::string& library_folder) override;
  void AppendLines(const table::GridModel& table,
                   const readers::ReportAttributes& attributes,
                   int row,
                   std::string& list) override;
  // The notice of objects named by their designator, when there were any since Begin.
  std::vector<std::string> TakeWarnings() override;

 protected:
  // The row's object line, with the library's TemplateMode set to its kind; valid until the next
  // row is composed.
  const ObjectLine& Compose(const table::GridModel& table,
                            const readers::ReportAttributes& attributes,
                            int row);

 private:
  AttributeTemplates& templates_;
  // Made for the templates read by Begin and the report attributes of the Create's rows.
  std::optional<ObjectLineComposer> composer_;
  ObjectLine line_;
  // Objects named by their designator since Begin, by TemplateMode.
  int unnamed_[2] = {0, 0};
};

}  // namespace zuro::pdm
