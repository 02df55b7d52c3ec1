// What the PDM window's Create writes for each row it passes on, behind an interface, so that the
// window runs with the attribute templates' lines in the library and with simple lines in tests.
#pragma once

#include <string>
#include <vector>

#include "readers/report_attributes.h"
#include "table/grid_model.h"

namespace zuro::pdm {

// What Create writes for the rows passed on: each row's object line, and the extra lines of its
// value range.
class PdmObjectLines {
 public:
  virtual ~PdmObjectLines() = default;
  // Made ready for one Create: the ERI and SE templates and the settings read afresh; false when
  // either templates file cannot be read.
  virtual bool Begin(const std::string& library_folder) = 0;
  // Appends the lines of table row `row`, each ending with a line feed. The rows of one Create
  // come from one table and share `attributes`.
  virtual void AppendLines(const table::GridModel& table,
                           const readers::ReportAttributes& attributes,
                           int row,
                           std::string& list) = 0;
  // The warnings the lines gave since Begin, for the window to show.
  virtual std::vector<std::string> TakeWarnings() { return {}; }
};

}  // namespace zuro::pdm
