// What the library's windows keep: the report a window shows, its attributes and field
// templates, which documents were already made from its table, and the search and replace. The
// library holds one for its whole life and its entries hand it to every window they open, so a
// window finds what the one before it left (the last search, the OrCAD reader's part column);
// each command starts with no report.
#pragma once

#include <array>
#include <string>

#include "readers/orcad_reader.h"
#include "readers/report_attributes.h"
#include "table/replace_step.h"
#include "templates/field_templates.h"

namespace zuro::converter {

struct WindowState {
  // Name of the report being converted, without its folder (UTF-8).
  std::string report_path;
  // Folder of that report with its separator, where files beside it go (UTF-8).
  std::string report_folder;

  // The loaded report's attribute names and the columns of "RefDes" and "ID PartLib".
  readers::ReportAttributes attributes;
  // The field templates of the current command, with the result of their last load.
  templates::FieldTemplates field_templates;
  // Objects of the specification, list of elements and purchased-items list already made from
  // the current table (the window asks before making them again).
  std::array<bool, 3> duplicate_flags{};

  // The search and replace shared by the replace-text dialog and its window.
  table::ReplaceState replace_state;
  // What the OrCAD reader remembers from one report to the next.
  readers::OrcadReadOptions orcad;
};

}  // namespace zuro::converter
