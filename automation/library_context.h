// Library-wide state: one object per loaded library, alive from load to unload. The exports use a
// single instance; tests make their own. Its texts are code page 1251, as every text of the
// library; its paths (library_folder, help_path) are UTF-8, as the file system seam takes them,
// and become code page 1251 only where they are shown or handed to the host (Cp1251FromUtf8Path).
// What a window keeps of its report lives with the windows (converter/window_state.h).
#pragma once

#include <cstdint>
#include <string>

#include "automation/host_objects.h"
#include "base/library_command.h"
#include "base/settings.h"

namespace zuro::automation {

// Where the windows' documents go: host objects, or the text lines of the PDM's object list.
enum class OutputMode : int32_t { kHostObjects = 0, kTextLines = 1 };

// The kind of the host's active document when the command started. With a model document the
// windows offer only the specification.
enum class ActiveDocument : int32_t { kGraphicOrSpecification = 0, kModel = 1 };

struct LibraryContext {
  LibraryContext() = default;
  LibraryContext(const LibraryContext&) = delete;
  LibraryContext& operator=(const LibraryContext&) = delete;
  ~LibraryContext() { ReleaseHostObjects(); }

  // Releases the automation objects in the order the host expects at unload.
  void ReleaseHostObjects();

  // Full path of a file in the library folder (a UTF-8 name gives a UTF-8 path).
  std::string LibraryFile(const std::string& name) const { return library_folder + name; }

  // Host connection.
  ZentarObject application;
  GraphicDocument graphic_document;
  ModelDocument model_document;
  SpecDocument spec_document;
  ActiveDocument active_document = ActiveDocument::kGraphicOrSpecification;

  // Text lines while the PDM window runs: no quantity columns, no host objects.
  OutputMode output_mode = OutputMode::kHostObjects;
  LibraryCommand command = LibraryCommand::kNone;

  std::string library_folder;  // UTF-8, ends with the path separator
  std::string help_path;       // library folder + library base name + ".chm" (UTF-8)
  // The designer's settings of the library folder, read when a window opens.
  Settings settings;

  // The specification style's additional columns; every library command clears the "БЦО" number,
  // so that its first object looks them up again.
  SpecStyleColumns spec_columns;
};

// Library folder and help file path from the library module's full path (UTF-8).
void SetLibraryPaths(LibraryContext& context, const std::string& module_path);

}  // namespace zuro::automation
