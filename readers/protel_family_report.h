// The reports that the Protel / Altium Designer / Cadence Allegro window opens. The layouts its
// reader was made for (the quoted CSV of readers/csv_reader.h, and the Altium Designer text and
// Cadence Allegro HTML of readers/csv_conversion.h) are read by their own rules wherever those
// read them right. The other layouts these systems write (a CSV saved by a spreadsheet program,
// the tabbed text with quoted fields, the condensed HTML bill of materials, Allegro's
// comma-separated text report) are read by the usual quoting rules and taken only when they come
// out whole: as many designators as their quantities add up to. Where none of these gives a
// component, the Altium Designer window tries KiCad's bill of materials (readers/kicad_bom.h).
// Any other system's layout is refused.
#pragma once

#include <string>
#include <string_view>

#include "readers/report_attributes.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {

enum class ProtelFamilyKind { kProtel, kAltiumDesigner, kCadenceAllegro };

struct ProtelFamilyReading {
  ReadResult result = ReadResult::kLoaded;
  // Altium Designer and Cadence Allegro: the quoted CSV that the window keeps beside the report.
  std::string converted;
};

// Fills the component table from a report of the kind (code page 1251 text); a refused report
// leaves the table empty.
ProtelFamilyReading ReadProtelFamilyReport(std::string_view report,
                                           ProtelFamilyKind kind,
                                           table::GridModel& table,
                                           ReportAttributes& attributes);

}  // namespace zuro::readers
