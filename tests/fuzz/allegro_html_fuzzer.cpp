// Fuzz target: a Cadence Allegro HTML report, converted to quoted CSV and read, as the Cadence
// Allegro converter window does.
#include <cstddef>
#include <cstdint>

#include "readers/csv_conversion.h"
#include "readers/csv_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = zuro::fuzz::FileText(data, size);
  zuro::table::GridModel table;
  zuro::readers::ReportAttributes attributes;
  zuro::readers::ReadQuotedCsv(zuro::readers::ConvertAllegroHtml(text), table, attributes);
  zuro::fuzz::RequireConsistent(table);
  return 0;
}
