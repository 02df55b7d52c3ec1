// The PDM's entry, LoadBom: the PDM window shown on a report, and the two PDM object type names
// of the settings handed back. The object list the window wrote is read back afterwards by the
// two reading exports, call by call.
#pragma once

#include <string>

#include "host/library_entry.h"

namespace zuro::host {

// Shows the PDM window modally, with no owner window, on the report it is handed; Win32 dialogs
// in the DLL, a headless port on the command line.
class PdmWindows {
 public:
  virtual ~PdmWindows() = default;
  virtual void Run(LibraryContext& context, WindowState& state, const std::string& report_path) = 0;
};

struct PdmObjectTypes {
  std::string type1;  // TYPE1 of bom_veldor.ini, empty when it has none
  std::string type2;  // TYPE2
};

// The body of LoadBom, on the report's UTF-8 path. Whether the designer created objects or
// cancelled shows in the object list alone: a cancelled window leaves none. Never throws.
PdmObjectTypes LoadBom(LibraryContext& context,
                       WindowState& state,
                       PdmWindows& windows,
                       const std::string& report_path) noexcept;

}  // namespace zuro::host
