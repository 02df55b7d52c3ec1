#include "host/pdm_entry.h"

#include "pdm/pdm_settings.h"

namespace zuro::host {

// The settings are read before the window opens, so the types come from the file as it was when
// the PDM called. The window converts a Mentor list in memory, so no converted report is left to
// delete once it has closed.
PdmObjectTypes LoadBom(LibraryContext& context,
                       PdmWindows& windows,
                       const std::string& report_path) noexcept {
  PdmObjectTypes types;
  try {
    const pdm::PdmSettings settings = pdm::ReadPdmSettings(context.library_folder);
    types.type1 = settings.type1;
    types.type2 = settings.type2;
    context.command_number = 1;
    windows.Run(context, report_path);
  } catch (...) {
    // The PDM learns nothing from a result value; an object list is there or it is not.
  }
  context.text_output_mode = 0;
  return types;
}

}  // namespace zuro::host
