#include "converter/converter_dialog.h"
#include "converter/converter_window.h"

namespace zuro::converter {

// Commands 1 and 5 share the P-CAD window; 2 opens the OrCAD window; 3, 4 and 6 the Protel /
// Altium Designer / Cadence Allegro window.
std::unique_ptr<ConverterWindow> MakeConverterWindow(host::LibraryContext& context,
                                                     ConverterUi& ui) {
  switch (context.command_number) {
    case 1:
    case 5:
      return std::make_unique<ConverterDialog>(context, ui);
    default:
      return nullptr;
  }
}

}  // namespace zuro::converter
