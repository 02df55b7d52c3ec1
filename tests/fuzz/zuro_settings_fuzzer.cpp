// Fuzz target: the designer's settings file "zuro.ini" (lines KEY=VALUE) as the windows read it,
// written back as the settings dialog writes it, and the settings at work on a cell: the marks of
// parts not fitted and the Latin letters of designators. Input: the file, then optionally (after
// the part separator) a cell's text. What the dialog writes must read back as the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/settings.h"
#include "base/text_file.h"
#include "readers/latin_designators.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  const std::vector<std::string_view> parts = fuzz::InputParts(fuzz::InputBytes(data, size), 2);
  const std::string file(parts[0]);
  fuzz::PutLibraryFile(kSettingsFileName, file);
  const Settings settings = LoadSettings(fuzz::LibraryFolder()).settings;
  const std::string text = SettingsText(DecodeText(file).text, settings);
  if (!(ParseSettings(text).settings == settings)) {
    std::fprintf(stderr, "the settings written do not read back as the same settings\n");
    std::abort();
  }
  const std::string cell(fuzz::PartAt(parts, 1).value_or(""));
  NotFittedMarks(settings.not_fitted).MarkOf(cell);
  if (readers::LatinDesignatorText(cell).size() != cell.size()) {
    std::fprintf(stderr, "Latin letters changed the length of a designator list\n");
    std::abort();
  }
  return 0;
}
