// The attribute templates dialog "Шаблоны обозначений" of the PDM window: the user picks a PDM
// attribute of Attributes.txt and builds the list of report attributes its value is composed of,
// for electrical items or for assembly units as the library's TemplateMode says. The dialog edits
// the library-wide table of that mode in place and writes it to its file at OK. It has the layout
// and the behaviour of the field templates dialog and talks to the screen through the same port,
// so the same class runs behind the Win32 dialog 1007 and in tests.
#pragma once

#include <string>
#include <vector>

#include "pdm/attribute_templates.h"
#include "templates/template_lists_dialog.h"

namespace zuro::converter {

// Controls of dialog 1007 beyond those it shares with the field templates dialog: the combo box
// (templates::kIdTemplateField) lists the PDM attributes.
inline constexpr int kIdAttributeKindLabel = 1024;  // "Атрибуты ЭРИ" or "Атрибуты СЕ"

// What the PDM window hands to its attribute templates dialog. The tables and the names are the
// library's own and must outlive the dialog.
struct AttributeTemplatesDialogSetup {
  pdm::AttributeTemplates& templates;  // its mode picks the table edited
  // Attribute names of the loaded report, in column order; empty before any report is read.
  const std::vector<std::string>& attribute_names;
  std::string library_folder;  // ends with the path separator
  std::string help_path;       // the library's compiled HTML help file
};

class AttributeTemplatesDialog : public templates::TemplateListsDialog {
 public:
  AttributeTemplatesDialog(const AttributeTemplatesDialogSetup& setup, templates::TemplatesUi& ui);

  void OnInitDialog() override;

 private:
  pdm::AttributeValueTable& Table() { return setup_.templates.Table(setup_.templates.mode); }
  std::string SelectedAttribute() const;
  void FillChosenList() override;
  void Sync() override;
  void Save() override;

  AttributeTemplatesDialogSetup setup_;
  // The PDM attributes of Attributes.txt as the combo box lists them.
  std::vector<std::string> attribute_list_;
};

}  // namespace zuro::converter
