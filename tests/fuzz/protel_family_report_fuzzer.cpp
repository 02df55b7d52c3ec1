// Fuzz target: any report opened in the Protel, Altium Designer and Cadence Allegro windows, read
// by each of the three as the window reads it: the converter's own layouts, the layouts read by
// the quoting rules, or a refusal that leaves the table empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "readers/protel_family_report.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using zuro::readers::ProtelFamilyKind;
  const std::string text = zuro::fuzz::FileText(data, size);
  for (const ProtelFamilyKind kind : {ProtelFamilyKind::kProtel, ProtelFamilyKind::kAltiumDesigner,
                                      ProtelFamilyKind::kCadenceAllegro}) {
    zuro::table::GridModel table;
    zuro::readers::ReportAttributes attributes;
    const zuro::readers::ProtelFamilyReading reading =
        zuro::readers::ReadProtelFamilyReport(text, kind, table, attributes);
    if (reading.result == zuro::readers::ReadResult::kBadStructure && table.GetRowCount() != 0)
      std::abort();
    zuro::fuzz::RequireConsistent(table);
  }
  return 0;
}
