// Fuzz target: a Mentor parts list, rewritten in memory and read as a P-CAD report, the way both
// windows that open lists do: the Mentor converter window one record per component, the PDM
// window one record per placed part; and the same text taken for a "Part Lister" report printed
// in columns, which the converter window tries first.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "pdm/pdm_reader.h"
#include "readers/fixed_width_report.h"
#include "readers/mentor_converter.h"
#include "readers/pcad_reader.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  const std::string text = fuzz::FileText(data, size);
  {
    table::GridModel table;
    readers::ReportAttributes attributes;
    readers::ReadReport(readers::ConvertMentor(text), table, attributes);
    fuzz::RequireConsistent(table);
  }
  if (const std::optional<std::string> report = readers::PartListerReportAsQuoted(text)) {
    table::GridModel table;
    readers::ReportAttributes attributes;
    readers::ReadReport(*report, table, attributes);
    fuzz::RequireConsistent(table);
  }
  {
    table::GridModel table;
    readers::ReportAttributes attributes;
    pdm::PdmRowCounts counts;
    pdm::ReadPdmReport(pdm::ConvertMentorListForPdm(text), table, attributes, counts);
    fuzz::RequireConsistent(table);
  }
  return 0;
}
