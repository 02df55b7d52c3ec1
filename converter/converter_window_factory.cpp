#include "converter/converter_dialog.h"
#include "converter/converter_window.h"
#include "converter/orcad_converter_dialog.h"
#include "converter/protel_converter_dialog.h"

namespace zuro::converter {

// Commands 1 and 5 share the P-CAD window; 2 opens the OrCAD window; 3, 4 and 6 the Protel /
// Altium Designer / Cadence Allegro window.
std::unique_ptr<ConverterWindow> MakeConverterWindow(host::LibraryContext& context,
                                                     ConverterUi& ui) {
  switch (context.command_number) {
    case 1:
    case 5:
      return std::make_unique<ConverterDialog>(context, ui);
    case 2:
      return std::make_unique<OrcadConverterDialog>(context, ui);
    case 3:
    case 4:
    case 6:
      return std::make_unique<ProtelConverterDialog>(context, ui);
    default:
      return nullptr;
  }
}

}  // namespace zuro::converter
