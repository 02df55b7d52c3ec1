#include "converter/orcad_converter_dialog.h"

#include "readers/orcad_reader.h"

namespace zuro::converter {

std::string OrcadConverterDialog::WindowTitle() const {
  return "Текстовый конвертер OrCAD-ЗЕНТАР";
}

FileDialogRequest OrcadConverterDialog::ReportDialog() const {
  FileDialogRequest request;
  request.default_extension = "bom";
  request.initial_name = "*.bom";
  request.filter = "*.bom||";
  return request;
}

readers::ReadResult OrcadConverterDialog::ReadReportText(const std::string&,
                                                         const std::string&,
                                                         std::string& text) {
  return readers::ReadOrcadReport(text, table(), state_.attributes, state_.orcad);
}

}  // namespace zuro::converter
