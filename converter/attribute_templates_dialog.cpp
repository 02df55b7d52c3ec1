#include "converter/attribute_templates_dialog.h"

#include <algorithm>

namespace zuro::converter {

using pdm::AttributeRecord;
using pdm::kValueSlotCount;
using pdm::LoadAttributeTemplates;
using pdm::ReadAttributeList;
using pdm::SaveAttributeTable;
using pdm::TemplateMode;
using templates::kIdAvailableAttributes;
using templates::kIdChosenAttributes;

AttributeTemplatesDialog::AttributeTemplatesDialog(const AttributeTemplatesDialogSetup& setup,
                                                   templates::TemplatesUi& ui)
    : TemplateListsDialog(ui, setup.help_path), setup_(setup) {}

// Every showing starts from the loaded report and from the files on disk: Attributes.txt is read
// again, and both tables are loaded over whatever a cancelled showing left in them. Missing files
// leave the lists empty.
void AttributeTemplatesDialog::OnInitDialog() {
  ui_.ClearList(kIdAvailableAttributes);
  const int names = static_cast<int>(setup_.attribute_names.size());
  for (int index = 0; index < names; ++index)
    ui_.AddListItem(kIdAvailableAttributes, setup_.attribute_names[index], index + 1);
  attribute_list_ = ReadAttributeList(setup_.library_folder);
  ui_.ClearFields();
  for (const std::string& name : attribute_list_)
    ui_.AddField(name);
  ui_.SetControlText(kIdAttributeKindLabel,
                     setup_.templates.mode == TemplateMode::kSe ? "Атрибуты СЕ" : "Атрибуты ЭРИ");
  LoadAttributeTemplates(setup_.templates, setup_.library_folder);
  ui_.SelectField(0);
  ShowTemplate();
}

std::string AttributeTemplatesDialog::SelectedAttribute() const {
  const int selected = ui_.SelectedField();
  if (selected < 0 || selected >= static_cast<int>(attribute_list_.size()))
    return {};
  return attribute_list_[selected];
}

// Every value of the PDM attribute's record, whether or not the loaded report has an attribute of
// that name (the templates serve P-CAD reports and converted Mentor lists alike), the twentieth
// of a hand-written line included. The names are the template; item data is not read.
void AttributeTemplatesDialog::FillChosenList() {
  const AttributeRecord* record = Table().Find(SelectedAttribute());
  if (!record)
    return;
  for (const std::string& value : record->values) {
    if (!value.empty())
      ui_.AddListItem(kIdChosenAttributes, value, 0);
  }
}

// Writes the chosen list into the record of the selected PDM attribute, its slots emptied first:
// the item texts in list order, the first 20 only. A PDM attribute without a record takes the
// first free one. When all 100 records are taken by other attributes the edit has nowhere to go
// and stays in the list alone: it is not saved.
void AttributeTemplatesDialog::Sync() {
  AttributeRecord* record = Table().RecordFor(SelectedAttribute());
  if (!record)
    return;
  record->values = {};
  const int count = std::min(ui_.ListItemCount(kIdChosenAttributes), kValueSlotCount);
  for (int index = 0; index < count; ++index)
    record->values[index] = ui_.ListItemText(kIdChosenAttributes, index);
}

// Only the current mode's file is written; the other table was loaded for nothing but is not
// saved. The file holds the PDM attributes of Attributes.txt alone, in its order: a record of
// another name is dropped now. With no PDM attribute listed (Attributes.txt missing or empty)
// there was nothing to edit, and the file is left as it is rather than emptied.
void AttributeTemplatesDialog::Save() {
  if (!attribute_list_.empty())
    SaveAttributeTable(Table(), setup_.templates.mode, attribute_list_, setup_.library_folder);
}

}  // namespace zuro::converter
