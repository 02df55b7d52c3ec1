// The P-CAD / Mentor converter window (commands 1 and 5, dialog 1000): P-CAD reports, and Mentor
// lists rewritten as P-CAD reports.
#pragma once

#include "converter/converter_window.h"

namespace zuro::converter {

class ConverterDialog : public ConverterWindow {
 public:
  ConverterDialog(automation::LibraryContext& context, WindowState& state, ConverterUi& ui);

  int DialogTemplate() const override { return 1000; }
  bool mentor_mode() const { return mentor_mode_; }

 protected:
  std::string WindowTitle() const override;
  FileDialogRequest ReportDialog() const override;
  readers::ReadResult ReadReportText(const std::string& folder,
                                     const std::string& name,
                                     std::string& text) override;

 private:
  const bool mentor_mode_;
};

}  // namespace zuro::converter
