#include "pdm/pdm_settings.h"

#include <cmath>
#include <map>
#include <optional>

#include "pdm/line_pieces.h"
#include "base/leading_numbers.h"

namespace zuro::pdm {

namespace {

constexpr size_t kSettingsLineLength = 198;

// Keys are compared exactly, without trimming; an "=" inside a value cuts it. A later line of
// the same key replaces the earlier one. A line without "=" sets nothing.
std::map<std::string, std::string, std::less<>> ReadKeyedValues(const std::string& path) {
  std::map<std::string, std::string, std::less<>> values;
  const std::optional<std::vector<std::string>> lines = ReadLinePieces(path, kSettingsLineLength);
  if (!lines)
    return values;
  for (const std::string& line : *lines) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      values[line.substr(0, equals)] = std::string(SecondPiece(line, '='));
  }
  return values;
}

// The distribution divides by σ: a value that is missing, zero, negative or no number at all
// would make every share meaningless, so one series step stands in for it.
float StandardDeviation(const std::string* text) {
  if (!text)
    return 1;
  const float sko = static_cast<float>(LeadingReal(*text));
  return std::isfinite(sko) && sko > 0 ? sko : 1;
}

}  // namespace

std::vector<std::string> AdjustmentMarks(std::string_view symbol) {
  std::vector<std::string> marks;
  if (symbol.empty())
    return marks;
  for (const std::string_view mark : SplitAt(symbol, ';'))
    marks.emplace_back(mark);
  return marks;
}

PdmSettings ReadPdmSettings(const std::string& library_folder) {
  const auto values = ReadKeyedValues(library_folder + kPdmSettingsFile);
  const auto find = [&](std::string_view key) -> const std::string* {
    const auto found = values.find(key);
    return found == values.end() ? nullptr : &found->second;
  };
  PdmSettings settings;
  for (auto [key, text] : {std::pair{"TYPE1", &settings.type1}, std::pair{"TYPE2", &settings.type2},
                           std::pair{"DISK", &settings.disk}}) {
    if (const std::string* value = find(key))
      *text = *value;
  }
  settings.sko = StandardDeviation(find("SKO"));
  if (const std::string* symbol = find("SYMBOL"))
    settings.adjustment_marks = AdjustmentMarks(*symbol);
  return settings;
}

}  // namespace zuro::pdm
