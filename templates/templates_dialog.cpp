#include "templates/templates_dialog.h"

#include <algorithm>

namespace zuro::templates {

TemplatesDialog::TemplatesDialog(const TemplatesDialogSetup& setup, TemplatesUi& ui)
    : TemplateListsDialog(ui, setup.help_path), setup_(setup) {}

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
  Load(setup_.templates, setup_.command, setup_.library_folder);
  ShowTemplate();
}

// The chosen list shows the field's references that name an attribute of the loaded report, by
// the attribute's name as the available list shows it. Empty slots (0 or less) and references
// beyond the report's attributes (a template made for another report layout) are not shown; the
// next edit of the field drops them from the table, as it writes what the list shows.
void TemplatesDialog::FillChosenList() {
  const int field = ui_.SelectedField();
  if (field < 0 || field >= kFieldCount)
    return;
  const int attributes = ui_.ListItemCount(kIdAvailableAttributes);
  for (const int32_t reference : setup_.templates.Row(FieldAt(field))) {
    if (reference > 0 && reference <= attributes)
      ui_.AddListItem(kIdChosenAttributes, ui_.ListItemText(kIdAvailableAttributes, reference - 1),
                      reference);
  }
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

// The whole table, every field, to the command's file. While no field is selected OK still saves.
void TemplatesDialog::Save() {
  templates::Save(setup_.templates, setup_.command, setup_.library_folder);
}

}  // namespace zuro::templates
