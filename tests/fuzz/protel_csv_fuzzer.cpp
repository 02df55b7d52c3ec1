// Fuzz target: a Protel report, the quoted CSV that the Protel converter window reads.
#include <cstddef>
#include <cstdint>

#include "readers/csv_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = zuro::fuzz::FileText(data, size);
  zuro::table::GridModel table;
  zuro::readers::ReportAttributes attributes;
  zuro::readers::ReadQuotedCsv(text, table, attributes);
  zuro::fuzz::RequireConsistent(table);
  return 0;
}
