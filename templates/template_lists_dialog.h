// What the dialogs of the templates layout share: a combo box picks what is edited, the available
// list offers the report's attributes, the chosen list holds the ordered template, ">", "<" and
// "<<" edit it and every edit is synced at once into the library's table, OK writes the file.
// Each dialog says how the chosen list is shown, synced and saved.
#pragma once

#include <string>

#include "templates/templates_ui.h"

namespace zuro::templates {

class TemplateListsDialog : public TemplateListsEvents {
 public:
  TemplateListsDialog(const TemplateListsDialog&) = delete;
  TemplateListsDialog& operator=(const TemplateListsDialog&) = delete;

  // Dialog events.
  void OnFieldChanged() override;
  void OnAvailableSelectionChanged() override;
  void OnChosenSelectionChanged() override;
  void OnAdd();
  void OnRemove();
  void OnRemoveAll();
  void OnOk();
  void OnCancel() override;
  void OnHelp();
  bool OnButton(int id) override;

 protected:
  TemplateListsDialog(TemplatesUi& ui, std::string help_path)
      : ui_(ui), help_path_(std::move(help_path)) {}
  ~TemplateListsDialog() override = default;

  // Fills the chosen list with the template picked in the combo box, then resets the buttons.
  void ShowTemplate();
  void EnableRemoving(bool enabled);

  TemplatesUi& ui_;

 private:
  // The chosen list's items for the template picked in the combo box.
  virtual void FillChosenList() = 0;
  // Writes the chosen list into the library's table.
  virtual void Sync() = 0;
  // Writes the table to its file at OK.
  virtual void Save() = 0;

  std::string help_path_;
};

}  // namespace zuro::templates
