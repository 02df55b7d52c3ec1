// The templates dialog "Шаблоны обозначений": the user builds each document field's template by
// moving attribute names of the loaded report into the field's ordered list. The dialog edits the
// library-wide templates table in place and writes it to the command's file at OK. The screen is
// reached only through TemplatesUi, so the same class runs behind the Win32 dialog and in tests.
#pragma once

#include <string>
#include <vector>

#include "templates/field_templates.h"
#include "templates/template_lists_dialog.h"
#include "templates/templates_ui.h"

namespace zuro::templates {

// What a converter window hands to its templates dialog. The table and the names are the
// library's own and must outlive the dialog.
struct TemplatesDialogSetup {
  FieldTemplates& templates;
  // Attribute names of the loaded report, in column order; empty before any report is read.
  const std::vector<std::string>& attribute_names;
  LibraryCommand command = LibraryCommand::kNone;  // selects the templates file
  std::string library_folder;                      // ends with the path separator
  std::string help_path;                           // the library's compiled HTML help file
};

class TemplatesDialog : public TemplateListsDialog {
 public:
  TemplatesDialog(const TemplatesDialogSetup& setup, TemplatesUi& ui);

  void OnInitDialog() override;

 private:
  void FillChosenList() override;
  void Sync() override;
  void Save() override;

  TemplatesDialogSetup setup_;
};

}  // namespace zuro::templates
