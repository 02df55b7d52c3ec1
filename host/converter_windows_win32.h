#pragma once

#include <windows.h>

#include "host/library_entry.h"
#include "host/pdm_entry.h"
#include "pdm/attribute_templates.h"

namespace zuro::host {

// Opens the converter windows as modal dialogs of the library's resources, with no owner window.
class Win32ConverterWindows : public ConverterWindows {
 public:
  explicit Win32ConverterWindows(HINSTANCE module) : module_(module) {}
  void Run(ConverterWindowKind kind, LibraryContext& context, WindowState& state) override;

 private:
  HINSTANCE module_;
};

// Opens the PDM window (dialog 1006) on the PDM's report, modally and with no owner window. It
// lives as long as the library, and so do the attribute templates it holds: the ERI and SE tables
// and the mode that the templates dialog last showed.
class Win32PdmWindows : public PdmWindows {
 public:
  explicit Win32PdmWindows(HINSTANCE module) : module_(module) {}
  void Run(LibraryContext& context, WindowState& state, const std::string& report_path) override;

 private:
  HINSTANCE module_;
  pdm::AttributeTemplates attribute_templates_;
};

}  // namespace zuro::host
