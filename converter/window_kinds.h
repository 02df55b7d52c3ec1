// Which converter window each command of the library's menu opens: the one mapping the library's
// entry and the window factory share.
#pragma once

#include <memory>

#include "base/library_command.h"

namespace zuro::automation {
struct LibraryContext;
}

namespace zuro::converter {

class ConverterUi;
class ConverterWindow;
struct WindowState;

// Commands 1 (P-CAD) and 5 (Mentor) share the P-CAD window; 2 opens the OrCAD window; 3 (Protel),
// 4 (Altium Designer) and 6 (Cadence Allegro) the Protel family's window.
enum class ConverterWindowKind { PcadMentor, Orcad, ProtelFamily };

// The window a command opens; false for numbers outside 1..6.
constexpr bool ConverterWindowFor(LibraryCommand command, ConverterWindowKind& kind) {
  switch (command) {
    case LibraryCommand::kPcad:
    case LibraryCommand::kMentor:
      kind = ConverterWindowKind::PcadMentor;
      return true;
    case LibraryCommand::kOrcad:
      kind = ConverterWindowKind::Orcad;
      return true;
    case LibraryCommand::kProtel:
    case LibraryCommand::kAltiumDesigner:
    case LibraryCommand::kAllegro:
      kind = ConverterWindowKind::ProtelFamily;
      return true;
    default:
      return false;
  }
}

// The window of a kind (converter_window_factory.cpp); MakeConverterWindow(context, state, ui) in
// converter_window.h chooses the kind from the context's command.
std::unique_ptr<ConverterWindow> MakeConverterWindow(ConverterWindowKind kind,
                                                     automation::LibraryContext& context,
                                                     WindowState& state,
                                                     ConverterUi& ui);

}  // namespace zuro::converter
