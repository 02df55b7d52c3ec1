#include "host/pdm_entry.h"

#include "pdm/pdm_settings.h"

namespace zuro::host {

// The settings are read before the window opens, so the types come from the file as it was when
// the PDM called. The window converts a Mentor list in memory, so no converted report is left to
// delete once it has closed. The PDM's window has no host document: a model document that a host
// command found earlier in the same process must not make it ask for a second report at start.
PdmObjectTypes LoadBom(LibraryContext& context,
                       WindowState& state,
                       PdmWindows& windows,
                       const std::string& report_path) noexcept {
  PdmObjectTypes types;
  try {
    const pdm::PdmSettings settings = pdm::ReadPdmSettings(context.library_folder);
    types.type1 = settings.type1;
    types.type2 = settings.type2;
    context.command = LibraryCommand::kPcad;
    context.active_document = automation::ActiveDocument::kGraphicOrSpecification;
    windows.Run(context, state, report_path);
  } catch (...) {
    // The PDM learns nothing from a result value; an object list is there or it is not.
  }
  context.output_mode = automation::OutputMode::kHostObjects;
  return types;
}

}  // namespace zuro::host
