// Fuzz target: a Mentor parts list, rewritten in memory and read as a P-CAD report, the way both
// windows that open lists do: the Mentor converter window one record per component, the PDM
// window one record per placed part.
#include <cstddef>
#include <cstdint>

#include "pdm/pdm_reader.h"
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
  {
    table::GridModel table;
    readers::ReportAttributes attributes;
    pdm::PdmRowCounts counts;
    pdm::ReadPdmReport(pdm::ConvertMentorListForPdm(text), table, attributes, counts);
    fuzz::RequireConsistent(table);
  }
  return 0;
}
