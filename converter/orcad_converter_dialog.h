// The OrCAD converter window (command 2, dialog 1003): OrCAD reports, tab-separated or
// fixed-width.
#pragma once

#include "converter/converter_window.h"

namespace zuro::converter {

class OrcadConverterDialog : public ConverterWindow {
 public:
  OrcadConverterDialog(automation::LibraryContext& context, WindowState& state, ConverterUi& ui)
      : ConverterWindow(context, state, ui, kOrcadWindowRules) {}

  int DialogTemplate() const override { return 1003; }

 protected:
  std::string WindowTitle() const override;
  FileDialogRequest ReportDialog() const override;
  readers::ReadResult ReadReportText(const std::string& folder,
                                     const std::string& name,
                                     std::string& text) override;
};

}  // namespace zuro::converter
