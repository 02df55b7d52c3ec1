// Fuzz target: a field templates file ("bom.cfg": keyed lines "field reference..."), loaded as a
// converter window loads it before reading a report, and the ten field texts composed by it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "templates/field_templates.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// The attributes of the report the texts are composed for: fewer than some references name.
constexpr int kAttributeCount = 12;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  fuzz::PutLibraryFile(templates::TemplatesFileName(LibraryCommand::kPcad),
                       fuzz::InputBytes(data, size));
  templates::FieldTemplates field_templates;
  templates::Load(field_templates, LibraryCommand::kPcad, fuzz::LibraryFolder());
  templates::Compose(field_templates, kAttributeCount,
                     [](int column) { return "A" + std::to_string(column); });
  return 0;
}
