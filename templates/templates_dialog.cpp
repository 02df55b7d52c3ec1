#include "templates/templates_dialog.h"

#include <algorithm>

namespace zuro::templates {

namespace {

constexpr int kAddRemoveButtons[] = {kIdAddAttribute, kIdRemoveAttribute, kIdRemoveAllAttributes};

}  // namespace

TemplatesDialog::TemplatesDialog(const TemplatesDialogSetup& setup, TemplatesUi& ui)
    : setup_(setup), ui_(ui) {}

// Every showing starts from the loaded report and from the file on disk: whatever a cancelled
// showing left in the table is read over. A missing file leaves every template empty; OK then
// creates it.
void TemplatesDialog::OnInitDialog() {
  ui_.ClearList(kIdAvailableAttributes);
  const int names = static_cast<int>(setup_.attribute_names.size());
  for (int index = 0; index < names; ++index)
    ui_.AddListItem(kIdAvailableAttributes, setup_.attribute_names[index], index + 1);
  ui_.ClearFields();
  for (int position = 0; position < kFieldCount; ++position)
    ui_.AddField(std::string(FieldCaption(FieldAt(position))));
  ui_.SelectField(0);
  Load(setup_.templates, setup_.command_number, setup_.library_folder);
  ShowField();
}

// The combo box's selection moved to another field.
void TemplatesDialog::OnFieldChanged() {
  ShowField();
}

// A click in the available list; ">" may add what it selected.
void TemplatesDialog::OnAvailableSelectionChanged() {
  if (ui_.ListItemCount(kIdAvailableAttributes) > 0)
    ui_.EnableControl(kIdAddAttribute, true);
}

// A click in the chosen list; "<" and "<<" may remove.
void TemplatesDialog::OnChosenSelectionChanged() {
  if (ui_.ListItemCount(kIdChosenAttributes) > 0)
    EnableRemoving(true);
}

// ">": the available list keeps its selection, so a second click adds the same attribute again;
// a template may repeat an attribute. The list may grow past ten items, but only the first ten
// reach the table.
void TemplatesDialog::OnAdd() {
  const int selected = ui_.ListSelection(kIdAvailableAttributes);
  if (selected < 0)
    return;
  ui_.AddListItem(kIdChosenAttributes, ui_.ListItemText(kIdAvailableAttributes, selected),
                  ui_.ListItemData(kIdAvailableAttributes, selected));
  EnableRemoving(true);
  Sync();
}

// "<" with no item selected leaves the list and the table alone.
void TemplatesDialog::OnRemove() {
  const int selected = ui_.ListSelection(kIdChosenAttributes);
  if (selected < 0)
    return;
  ui_.DeleteListItem(kIdChosenAttributes, selected);
  if (ui_.ListItemCount(kIdChosenAttributes) == 0)
    EnableRemoving(false);
  Sync();
}

// "<<" empties the field's template.
void TemplatesDialog::OnRemoveAll() {
  ui_.ClearList(kIdChosenAttributes);
  EnableRemoving(false);
  Sync();
}

// Every edit is in the table already; the current field is synced once more and the whole table
// saved. A file that cannot be written keeps its old contents and the dialog still closes with
// OK: the user is not told.
void TemplatesDialog::OnOk() {
  Sync();
  Save(setup_.templates, setup_.command_number, setup_.library_folder);
  ui_.CloseDialog(kIdTemplatesOk);
}

// The file is not written. The table keeps the edits, but every use of the templates loads the
// file first, so they have no effect.
void TemplatesDialog::OnCancel() {
  ui_.CloseDialog(kIdTemplatesCancel);
}

void TemplatesDialog::OnHelp() {
  ui_.ShowHelp(setup_.help_path);
}

bool TemplatesDialog::OnButton(int id) {
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

// The chosen list shows the field's references that name an attribute of the loaded report, by
// the attribute's name as the available list shows it. Empty slots (0 or less) and references
// beyond the report's attributes (a template made for another report layout) are not shown; the
// next edit of the field drops them from the table, as it writes what the list shows.
void TemplatesDialog::ShowField() {
  ui_.ClearList(kIdChosenAttributes);
  const int field = ui_.SelectedField();
  if (field >= 0 && field < kFieldCount) {
    const int attributes = ui_.ListItemCount(kIdAvailableAttributes);
    for (const int32_t reference : setup_.templates.Row(FieldAt(field))) {
      if (reference > 0 && reference <= attributes)
        ui_.AddListItem(kIdChosenAttributes,
                        ui_.ListItemText(kIdAvailableAttributes, reference - 1), reference);
    }
  }
  ui_.SelectListItem(kIdAvailableAttributes, -1);
  for (const int id : kAddRemoveButtons)
    ui_.EnableControl(id, false);
}

void TemplatesDialog::EnableRemoving(bool enabled) {
  ui_.EnableControl(kIdRemoveAttribute, enabled);
  ui_.EnableControl(kIdRemoveAllAttributes, enabled);
}

// Writes the chosen list into the selected field's row: its item data in list order, the first
// ten only, the rest of the row emptied. Text typed into the combo box selects no field; then no
// row changes.
void TemplatesDialog::Sync() {
  const int field = ui_.SelectedField();
  if (field < 0 || field >= kFieldCount)
    return;
  TemplateRow& row = setup_.templates.Row(FieldAt(field));
  row = {};
  const int count = std::min(ui_.ListItemCount(kIdChosenAttributes), kReferencesPerField);
  for (int index = 0; index < count; ++index)
    row[index] = ui_.ListItemData(kIdChosenAttributes, index);
}

}  // namespace zuro::templates
