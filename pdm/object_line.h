// The object line of the list handed to the PDM: one table row of the PDM window, described by
// the attribute templates of its kind as "NAME#ATTRIBUTE=VALUE;ATTRIBUTE=VALUE;...".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pdm/attribute_templates.h"
#include "table/grid_model.h"

namespace zuro::pdm {

struct ObjectLine {
  TemplateMode mode = TemplateMode::kEri;  // the table the row was composed by
  std::string name;  // the "Наименование" value; empty without one
  // "NAME=VALUE;" for every record of the table, then "Абсолютная величина=%e;".
  std::string attributes;

  // The line of the object list, LF included, under the object's own name.
  std::string Text() const { return Text(name); }
  // The same under another name (an adjustable component's name with its value range).
  std::string Text(std::string_view object_name) const;
};

// ERI, or SE when a cell of the row's attributes (columns 1 to `attribute_count`) holds "Сбор".
TemplateMode RowTemplateMode(const table::GridModel& table, int row, int attribute_count);

// Composes table row `row` of the PDM window by the table of its kind. `attribute_names` are the
// report's attributes: attribute n (from 1) is table column n.
ObjectLine ComposeObjectLine(const table::GridModel& table,
                             int row,
                             const std::vector<std::string>& attribute_names,
                             const AttributeTemplates& templates);

// ComposeObjectLine for the rows of one table: which columns each record of the templates takes
// is found once, not again for every row.
class ObjectLineComposer {
 public:
  ObjectLineComposer(const AttributeTemplates& templates,
                     const std::vector<std::string>& attribute_names);

  // The line of row `row` into `line`, whose texts' storage is reused.
  void Compose(const table::GridModel& table, int row, ObjectLine& line);

 private:
  // A record of the templates: its name and the table columns whose cells compose its value, in
  // composition order (a column twice when two slots name it).
  struct Record {
    std::string name;
    bool is_name = false;
    bool is_section = false;
    std::vector<int> columns;
  };

  int attribute_count_ = 0;
  std::vector<Record> records_[2];  // by TemplateMode
  int nominal_column_ = -1;         // the last "Nominal", -1 without one
  int unit_column_ = -1;            // the last "Unit"
  std::string value_;
};

// The nominal value in base units, in 32-bit floating point: "4,7" with "кОм" gives 4700; 0 for
// an empty nominal.
float AbsoluteValue(std::string_view nominal, std::string_view unit);
// A value as "%e" writes it: 4.700000e+03.
std::string AbsoluteValueText(float value);

}  // namespace zuro::pdm
