// The object lines Create writes for the rows passed on, composed by the ERI and SE attribute
// templates: one line per row, under the object's own name.
#pragma once

#include <string>

#include "pdm/attribute_templates.h"
#include "pdm/object_line.h"
#include "pdm/pdm_converter_window.h"

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

 protected:
  // The row's object line, with the library's TemplateMode set to its kind.
  ObjectLine Compose(const table::GridModel& table,
                     const readers::ReportAttributes& attributes,
                     int row);

 private:
  AttributeTemplates& templates_;
};

}  // namespace zuro::pdm
