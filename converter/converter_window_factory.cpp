#include "converter/converter_dialog.h"
#include "converter/converter_window.h"
#include "converter/orcad_converter_dialog.h"
#include "converter/protel_converter_dialog.h"
#include "converter/window_kinds.h"

namespace zuro::converter {

// The window of the library's command (window_kinds.h); none for a number outside 1..6.
std::unique_ptr<ConverterWindow> MakeConverterWindow(automation::LibraryContext& context,
                                                     WindowState& state,
                                                     ConverterUi& ui) {
  ConverterWindowKind kind;
  if (!ConverterWindowFor(context.command, kind))
    return nullptr;
  return MakeConverterWindow(kind, context, state, ui);
}

std::unique_ptr<ConverterWindow> MakeConverterWindow(ConverterWindowKind kind,
                                                     automation::LibraryContext& context,
                                                     WindowState& state,
                                                     ConverterUi& ui) {
  switch (kind) {
    case ConverterWindowKind::PcadMentor:
      return std::make_unique<ConverterDialog>(context, state, ui);
    case ConverterWindowKind::Orcad:
      return std::make_unique<OrcadConverterDialog>(context, state, ui);
    case ConverterWindowKind::ProtelFamily:
      return std::make_unique<ProtelConverterDialog>(context, state, ui);
  }
  return nullptr;
}

}  // namespace zuro::converter
