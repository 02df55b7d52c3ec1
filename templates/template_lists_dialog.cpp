#include "templates/template_lists_dialog.h"

namespace zuro::templates {

namespace {

constexpr int kAddRemoveButtons[] = {kIdAddAttribute, kIdRemoveAttribute, kIdRemoveAllAttributes};

}  // namespace

// The combo box's selection moved to another template.
void TemplateListsDialog::OnFieldChanged() {
  ShowTemplate();
}

// A click in the available list; ">" may add what it selected.
void TemplateListsDialog::OnAvailableSelectionChanged() {
  if (ui_.ListItemCount(kIdAvailableAttributes) > 0)
    ui_.EnableControl(kIdAddAttribute, true);
}

// A click in the chosen list; "<" and "<<" may remove.
void TemplateListsDialog::OnChosenSelectionChanged() {
  if (ui_.ListItemCount(kIdChosenAttributes) > 0)
    EnableRemoving(true);
}

// ">": the available list keeps its selection, so a second click adds the same attribute again;
// a template may repeat an attribute. The list may grow past what the table stores.
void TemplateListsDialog::OnAdd() {
  const int selected = ui_.ListSelection(kIdAvailableAttributes);
  if (selected < 0)
    return;
  ui_.AddListItem(kIdChosenAttributes, ui_.ListItemText(kIdAvailableAttributes, selected),
                  ui_.ListItemData(kIdAvailableAttributes, selected));
  EnableRemoving(true);
  Sync();
}

// "<" with no item selected leaves the list and the table alone.
void TemplateListsDialog::OnRemove() {
  const int selected = ui_.ListSelection(kIdChosenAttributes);
  if (selected < 0)
    return;
  ui_.DeleteListItem(kIdChosenAttributes, selected);
  if (ui_.ListItemCount(kIdChosenAttributes) == 0)
    EnableRemoving(false);
  Sync();
}

// "<<" empties the template.
void TemplateListsDialog::OnRemoveAll() {
  ui_.ClearList(kIdChosenAttributes);
  EnableRemoving(false);
  Sync();
}

// Every edit is in the table already; the current template is synced once more and the table
// saved. A file that cannot be written keeps its old contents and the dialog still closes with
// OK: the user is not told.
void TemplateListsDialog::OnOk() {
  Sync();
  Save();
  ui_.CloseDialog(kIdTemplatesOk);
}

// The file is not written. The table keeps the edits, but every use of the templates loads the
// file first, so they have no effect.
void TemplateListsDialog::OnCancel() {
  ui_.CloseDialog(kIdTemplatesCancel);
}

void TemplateListsDialog::OnHelp() {
  ui_.ShowHelp(help_path_);
}

bool TemplateListsDialog::OnButton(int id) {
  switch (id) {
    case kIdAddAttribute:
      OnAdd();
      return true;
    case kIdRemoveAttribute:
      OnRemove();
      return true;
    case kIdRemoveAllAttributes:
      OnRemoveAll();
      return true;
    case kIdTemplatesOk:
      OnOk();
      return true;
    case kIdTemplatesCancel:
      OnCancel();
      return true;
    case kIdTemplatesHelp:
      OnHelp();
      return true;
    default:
      return false;
  }
}

// After every change of template nothing is selected in the available list and no button edits.
void TemplateListsDialog::ShowTemplate() {
  ui_.ClearList(kIdChosenAttributes);
  FillChosenList();
  ui_.SelectListItem(kIdAvailableAttributes, -1);
  for (const int id : kAddRemoveButtons)
    ui_.EnableControl(id, false);
}

void TemplateListsDialog::EnableRemoving(bool enabled) {
  ui_.EnableControl(kIdRemoveAttribute, enabled);
  ui_.EnableControl(kIdRemoveAllAttributes, enabled);
}

}  // namespace zuro::templates
