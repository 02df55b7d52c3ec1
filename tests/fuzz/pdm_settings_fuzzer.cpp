// Fuzz target: the PDM road's settings file "bom_veldor.ini" (lines KEY=VALUE), read as LoadBom
// and Create read it. The value ranges divide by its SKO, which must come out a positive number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "pdm/pdm_settings.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  fuzz::PutLibraryFile(pdm::kPdmSettingsFile, fuzz::InputBytes(data, size));
  const pdm::PdmSettings settings = pdm::ReadPdmSettings(fuzz::LibraryFolder());
  if (!(settings.sko > 0) || !std::isfinite(settings.sko)) {
    std::fprintf(stderr, "SKO %g is no standard deviation\n", settings.sko);
    std::abort();
  }
  return 0;
}
