// Fuzz target: a P-CAD bill-of-materials report, read as the P-CAD converter window reads it.
#include <cstddef>
#include <cstdint>

#include "readers/pcad_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = zuro::fuzz::FileText(data, size);
  zuro::table::GridModel table;
  zuro::readers::ReportAttributes attributes;
  zuro::readers::ReadReport(text, table, attributes);
  zuro::fuzz::RequireConsistent(table);
  return 0;
}
