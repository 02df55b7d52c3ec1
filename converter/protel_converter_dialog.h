// The Protel / Altium Designer / Cadence Allegro converter window (commands 3, 4 and 6, dialog
// 1005): quoted CSV reports, and Altium Designer and Cadence Allegro reports rewritten as quoted
// CSV, which is kept beside the report where no file of its name is.
#pragma once

#include "converter/converter_window.h"

namespace zuro::converter {

class ProtelConverterDialog : public ConverterWindow {
 public:
  ProtelConverterDialog(automation::LibraryContext& context, WindowState& state, ConverterUi& ui)
      : ConverterWindow(context, state, ui, kProtelWindowRules) {}

  int DialogTemplate() const override { return 1005; }

 protected:
  std::string WindowTitle() const override;
  FileDialogRequest ReportDialog() const override;
  readers::ReadResult ReadReportText(const std::string& folder,
                                     const std::string& name,
                                     std::string& text) override;

 private:
  void KeepConvertedReport(const std::string& folder,
                           const std::string& report_name,
                           const std::string& converted_name,
                           const std::string& text);
};

// The name of the quoted CSV a report is rewritten into: the report's name with ".csv" for its
// extension.
std::string ConvertedCsvName(const std::string& report_name);

}  // namespace zuro::converter
