// Library-wide state: one object per loaded library, alive from load to unload. The exports use a
// single instance; tests make their own. Its texts are code page 1251, as every text of the
// library; its paths and file names (report_path, report_folder, library_folder, help_path) are
// UTF-8, as the file system seam takes them, and become code page 1251 only where they are shown
// or handed to the host (Cp1251FromUtf8Path).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/host_objects.h"
#include "readers/report_attributes.h"
#include "table/replace_step.h"
#include "templates/field_templates.h"

namespace zuro::host {

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
  // 1 when the active document is a model document: the windows then offer only the specification.
  int32_t model_document_flag = 0;

  // 1 while the PDM window runs: no quantity columns, text lines instead of host objects.
  int32_t text_output_mode = 0;
  int32_t command_number = 0;  // 1 P-CAD, 2 OrCAD, 3 Protel, 4 Altium Designer, 5 Mentor, 6 Allegro
  // Name of the report being converted, without its folder (UTF-8).
  std::string report_path;
  // Folder of that report with its separator, where files beside it go (UTF-8).
  std::string report_folder;

  // The loaded report's attribute names and the columns of "RefDes" and "ID PartLib".
  readers::ReportAttributes attributes;
  // The field templates of the current command, with the result of their last load.
  templates::FieldTemplates field_templates;
  // Objects of the specification, list of elements and purchased-items list already made from
  // the current table (the windows ask before making them again).
  std::array<bool, 3> duplicate_flags{};

  std::string library_folder;  // UTF-8, ends with the path separator
  std::string help_path;       // library folder + library base name + ".chm" (UTF-8)

  // The specification style's additional columns; every library command clears the "БЦО" number,
  // so that its first object looks them up again.
  SpecStyleColumns spec_columns;

  // The search and replace shared by the replace-text dialog and its window.
  table::ReplaceState replace_state;
  // The OrCAD reader's part column, kept when a report's header has none.
  int32_t orcad_part_column = 0;
};

// Library folder and help file path from the library module's full path (UTF-8).
void SetLibraryPaths(LibraryContext& context, const std::string& module_path);

}  // namespace zuro::host
