#include "converter/converter_dialog.h"

#include <optional>
#include <utility>

#include "readers/fixed_width_report.h"
#include "readers/mentor_converter.h"
#include "readers/pcad_reader.h"

namespace zuro::converter {

ConverterDialog::ConverterDialog(automation::LibraryContext& context,
                                 WindowState& state,
                                 ConverterUi& ui)
    : ConverterWindow(context, state, ui, kPcadWindowRules),
      mentor_mode_(context.command == LibraryCommand::kMentor) {}

std::string ConverterDialog::WindowTitle() const {
  return mentor_mode_ ? "Текстовый конвертер MENTOR-ЗЕНТАР" : "Текстовый конвертер P-CAD-ЗЕНТАР";
}

FileDialogRequest ConverterDialog::ReportDialog() const {
  FileDialogRequest request;
  request.default_extension = mentor_mode_ ? "lst" : "bom";
  request.initial_name = mentor_mode_ ? "*.lst" : "*.bom";
  request.filter = mentor_mode_ ? "*.lst||" : "*.bom||";
  return request;
}

// A Mentor list is first rewritten, in memory, as a P-CAD report, which is read under the list's
// name with a blank before it: the name the window has always shown for a list.
readers::ReadResult ConverterDialog::ReadReportText(const std::string&,
                                                    const std::string& name,
                                                    std::string& text) {
  if (mentor_mode_) {
    state_.report_path = readers::ConvertedReportPath(name);
    // A "Part Lister" report printed in columns is rewritten as a report directly; a list of
    // ";"-separated fields goes through the list's conversion. Either gives an empty text for a
    // report it cannot read, which is refused for the reason it gives.
    std::string refusal;
    if (std::optional<std::string> report = readers::PartListerReportAsQuoted(text, &refusal))
      text = std::move(*report);
    else
      text = readers::ConvertMentor(text);
    if (text.empty()) {
      table().DeleteAllItems();
      state_.attributes = readers::ReportAttributes();
      state_.attributes.refusal =
          refusal.empty() ? "no header line naming \"REFDES\" and \"QTY\"" : refusal;
      return readers::ReadResult::kBadStructure;
    }
  }
  return readers::ReadReport(text, table(), state_.attributes);
}

}  // namespace zuro::converter
