// Fuzz target: the value ranges of adjustable components. The input holds, separated by part
// separators: the series file "bom.ini", the settings file "bom_veldor.ini" (its SKO and SYMBOL
// take part), then the cells of one table row: its designator, nominal, range, series name,
// value and unit, and last the object line composed for it. Each part the input does not reach
// takes the sample resistor's text; a file the input does not reach is missing. The step runs as
// Create runs it on every object line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pdm/pdm_settings.h"
#include "pdm/range_lines.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace zuro;

enum Part : size_t {
  kSeriesFile,
  kSettingsFile,
  kDesignation,
  kNominal,
  kRange,
  kSeries,
  kValue,
  kUnit,
  kObjectLine,
  kPartCount,
};

// The sample resistor, read where the input stops short.
constexpr std::array<std::string_view, kPartCount> kSample = {
    "",
    "",
    "R5*",
    "22",
    "10 кОм...47 кОм",
    "E24",
    "22 кОм",
    "кОм",
    "Резистор 22 кОм#Наименование=Резистор 22 кОм;Количество=1;Номинал=22;"
    "Абсолютная величина=2.200000e+04;\n",
};

const std::vector<std::string> kAttributeNames = {"RefDes", "Nominal", "*Range",
                                                  "*E",     "Value",   "Unit"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> parts =
      fuzz::InputParts(fuzz::InputBytes(data, size), kPartCount);
  fuzz::PutLibraryFile(pdm::kSeriesFile, fuzz::PartAt(parts, kSeriesFile));
  fuzz::PutLibraryFile(pdm::kPdmSettingsFile, fuzz::PartAt(parts, kSettingsFile));
  const auto part = [&](Part index) {
    return std::string(fuzz::PartAt(parts, index).value_or(kSample[index]));
  };
  const std::string& folder = fuzz::LibraryFolder();
  const pdm::ValueRangeStep step =
      pdm::ValueRangeStep::ForCreate(folder, pdm::ReadPdmSettings(folder));
  const pdm::RangeCells cells = pdm::ReadRangeCells(
      kAttributeNames,
      {part(kDesignation), part(kNominal), part(kRange), part(kSeries), part(kValue), part(kUnit)});
  step.Apply(part(kObjectLine), cells);
  return 0;
}
