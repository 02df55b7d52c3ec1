// Fuzz target: an OrCAD bill-of-materials report, read as the OrCAD converter window reads it,
// with the part column a freshly loaded library starts with.
#include <cstddef>
#include <cstdint>

#include "readers/orcad_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = zuro::fuzz::FileText(data, size);
  zuro::table::GridModel table;
  zuro::readers::ReportAttributes attributes;
  zuro::readers::OrcadReadOptions options;
  zuro::readers::ReadOrcadReport(text, table, attributes, options);
  zuro::fuzz::RequireConsistent(table);
  return 0;
}
