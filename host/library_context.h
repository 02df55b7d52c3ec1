// Library-wide state: one object per loaded library, alive from load to unload. The exports use a
// single instance; tests make their own.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_objects.h"

namespace zuro::host {

struct LibraryContext {
  LibraryContext() = default;
  LibraryContext(const LibraryContext&) = delete;
  LibraryContext& operator=(const LibraryContext&) = delete;
  ~LibraryContext() { ReleaseHostObjects(); }

  // Releases the automation objects in the order the host expects at unload.
  void ReleaseHostObjects();

  // Full path of a file in the library folder.
  std::string LibraryFile(const std::string& name) const { return library_folder + name; }

  // Host connection.
  ZentarObject application;
  GraphicDocument graphic_document;
  ModelDocument model_document;
  SpecDocument spec_document;
  // 1 when the active document is a model document: the windows then offer only the specification.
  int32_t model_document_flag = 0;

  // 1 while the PDM window runs: no quantity columns, text lines instead of host objects.
  int32_t text_output_mode = 0;
  int32_t command_number = 0;  // 1 P-CAD, 2 OrCAD, 3 Protel, 4 Altium Designer, 5 Mentor, 6 Allegro
  std::string report_path;     // name of the report being converted, without its folder

  std::string library_folder;  // ends with the path separator
  std::string help_path;       // library folder + library base name + ".chm"

  // Column of the specification style that takes the designators ("БЦО"); 0 or less means "look
  // it up again", which every library command asks for.
  int32_t spec_bco_column = 0;
};

// Library folder and help file path from the library module's full path.
void SetLibraryPaths(LibraryContext& context, const std::string& module_path);

}  // namespace zuro::host
