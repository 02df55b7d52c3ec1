// Fuzz target: a P-CAD report read by the PDM window, one row per placed part, electrical items
// before assembly units.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "pdm/pdm_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = zuro::fuzz::FileText(data, size);
  zuro::table::GridModel table;
  zuro::readers::ReportAttributes attributes;
  zuro::pdm::PdmRowCounts counts;
  const zuro::readers::ReadResult result =
      zuro::pdm::ReadPdmReport(text, table, attributes, counts);
  zuro::fuzz::RequireConsistent(table);
  // The rows are numbered by these counts ("ЭРИ(2/5)"): every row below the titles is counted.
  if (result == zuro::readers::ReadResult::kLoaded &&
      table.GetRowCount() - 1 != counts.items + counts.units) {
    std::fprintf(stderr, "%d rows, counted %d items and %d units\n", table.GetRowCount() - 1,
                 counts.items, counts.units);
    std::abort();
  }
  return 0;
}
