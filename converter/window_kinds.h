// Which converter window each command of the library's menu opens: the one mapping the library's
// entry and the window factory share.
#pragma once

#include <cstdint>
#include <memory>

namespace zuro::host {
struct LibraryContext;
}

namespace zuro::converter {

class ConverterUi;
class ConverterWindow;

// Commands 1 (P-CAD) and 5 (Mentor) share the P-CAD window; 2 opens the OrCAD window; 3 (Protel),
// 4 (Altium Designer) and 6 (Cadence Allegro) the Protel family's window.
enum class ConverterWindowKind { PcadMentor, Orcad, ProtelFamily };

// The window a command opens; false for numbers outside 1..6.
constexpr bool ConverterWindowFor(uint32_t command, ConverterWindowKind& kind) {
  switch (command) {
    case 1:
    case 5:
      kind = ConverterWindowKind::PcadMentor;
      return true;
    case 2:
      kind = ConverterWindowKind::Orcad;
      return true;
    case 3:
    case 4:
    case 6:
      kind = ConverterWindowKind::ProtelFamily;
      return true;
    default:
      return false;
  }
}

// The window of a kind (converter_window_factory.cpp); MakeConverterWindow(context, ui) in
// converter_window.h chooses the kind from the context's command.
std::unique_ptr<ConverterWindow> MakeConverterWindow(ConverterWindowKind kind,
                                                     host::LibraryContext& context,
                                                     ConverterUi& ui);

}  // namespace zuro::converter
