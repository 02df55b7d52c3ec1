#include "converter/converter_dialog.h"
#include "converter/converter_window.h"
#include "converter/orcad_converter_dialog.h"
#include "converter/protel_converter_dialog.h"
#include "converter/window_kinds.h"

namespace zuro::converter {

// The window of the library's command (window_kinds.h); none for a number outside 1..6.
std::unique_ptr<ConverterWindow> MakeConverterWindow(host::LibraryContext& context,
                                                     ConverterUi& ui) {
  ConverterWindowKind kind;
  if (context.command_number < 0 ||
      !ConverterWindowFor(static_cast<uint32_t>(context.command_number), kind))
    return nullptr;
  return MakeConverterWindow(kind, context, ui);
}

std::unique_ptr<ConverterWindow> MakeConverterWindow(ConverterWindowKind kind,
                                                     host::LibraryContext& context,
                                                     ConverterUi& ui) {
  switch (kind) {
    case ConverterWindowKind::PcadMentor:
      return std::make_unique<ConverterDialog>(context, ui);
    case ConverterWindowKind::Orcad:
      return std::make_unique<OrcadConverterDialog>(context, ui);
    case ConverterWindowKind::ProtelFamily:
      return std::make_unique<ProtelConverterDialog>(context, ui);
  }
  return nullptr;
}

}  // namespace zuro::converter
