#pragma once

#include <windows.h>

#include "host/library_entry.h"

namespace zuro::host {

// Opens the converter windows as modal dialogs of the library's resources, with no owner window.
class Win32ConverterWindows : public ConverterWindows {
 public:
  explicit Win32ConverterWindows(HINSTANCE module) : module_(module) {}
  void Run(ConverterWindowKind kind, LibraryContext& context) override;

 private:
  HINSTANCE module_;
};

}  // namespace zuro::host
