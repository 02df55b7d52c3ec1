// The PDM road's settings file bom_veldor.ini in the library folder: lines KEY=VALUE.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuro::pdm {

inline constexpr char kPdmSettingsFile[] = "bom_veldor.ini";

struct PdmSettings {
  std::string type1;  // first PDM object type name, handed back by LoadBom
  std::string type2;  // second PDM object type name
  std::string disk;   // read and kept; nothing uses it
  float sko = 1;      // standard deviation of the value ranges' distribution, in series steps
  // Adjustment marks of a designation; empty when no component is adjustable.
  std::vector<std::string> adjustment_marks;
};

// Reads the settings file of the library folder (which ends with its separator). A missing file
// or key leaves the text empty; SKO missing or not positive gives 1.
PdmSettings ReadPdmSettings(const std::string& library_folder);

// The adjustment marks of a SYMBOL value: its pieces between ";", an empty one included.
std::vector<std::string> AdjustmentMarks(std::string_view symbol);

}  // namespace zuro::pdm
