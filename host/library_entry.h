// The library's entry: connection to the host and the choice of converter window by command.
#pragma once

#include <cstdint>
#include <string>

#include "automation/library_context.h"
#include "base/paths.h"
#include "converter/window_kinds.h"
#include "converter/window_state.h"

namespace zuro::host {

using automation::DispatchRef;
using automation::LibraryContext;
using converter::ConverterWindowFor;
using converter::ConverterWindowKind;
using converter::WindowState;

// Finds the host's application object. The Windows connector loads the host API library from the
// host program's folder; tests and the command line connect to the stand-in host directly.
class HostConnector {
 public:
  virtual ~HostConnector() = default;
  // The application object, or null when the host library, its export or the object is missing.
  virtual DispatchRef Connect() = 0;
};

// Opens the converter windows modally; Win32 dialogs in the DLL, headless ports elsewhere.
class ConverterWindows {
 public:
  virtual ~ConverterWindows() = default;
  virtual void Run(ConverterWindowKind kind, LibraryContext& context, WindowState& state) = 0;
};

// Runs one library command (the body of LIBRARYENTRY) and hands the windows' state to the window
// it opens. Never throws.
void LibraryEntry(LibraryContext& context,
                  WindowState& state,
                  HostConnector& connector,
                  ConverterWindows& windows,
                  uint32_t command) noexcept;

// Path of the host API library: the host program's path with its file name replaced by `name`
// (kept as given, trailing blank included). Narrow or wide paths.
template <typename String>
String HostApiLibraryPath(const String& host_program_path, const String& name) {
  return host_program_path.substr(0, FileNameStart(host_program_path)) + name;
}

}  // namespace zuro::host
