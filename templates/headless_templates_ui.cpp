#include "templates/headless_templates_ui.h"

#include <stdexcept>

namespace zuro::templates {

// Typing into the edit part of a combo box whose list is closed takes its list's selection away,
// whatever the text: even a field's caption typed in full selects no field.
void HeadlessTemplatesUi::TypeFieldText(const std::string& text) {
  field_text_ = text;
  selected_field_ = -1;
}

const std::vector<HeadlessTemplatesUi::Item>& HeadlessTemplatesUi::Items(int list) const {
  return List(list).items;
}

std::vector<std::string> HeadlessTemplatesUi::Texts(int list) const {
  std::vector<std::string> texts;
  for (const Item& item : List(list).items)
    texts.push_back(item.text);
  return texts;
}

void HeadlessTemplatesUi::ClearFields() {
  fields_.clear();
  selected_field_ = -1;
  field_text_.clear();
}

// An index outside the list selects nothing and empties the edit part, as CB_SETCURSEL does.
void HeadlessTemplatesUi::SelectField(int index) {
  const bool valid = index >= 0 && index < static_cast<int>(fields_.size());
  selected_field_ = valid ? index : -1;
  field_text_ = valid ? fields_[index] : std::string();
}

void HeadlessTemplatesUi::ClearList(int list) {
  List(list) = {};
}

void HeadlessTemplatesUi::AddListItem(int list, const std::string& text, int data) {
  List(list).items.push_back({text, data});
}

// As LB_DELETESTRING: deleting the selected item leaves none selected, deleting one above it
// moves the selection up with its item, an index outside the list deletes nothing.
void HeadlessTemplatesUi::DeleteListItem(int list, int index) {
  ListBox& box = List(list);
  if (index < 0 || index >= static_cast<int>(box.items.size()))
    return;
  box.items.erase(box.items.begin() + index);
  if (box.selection == index)
    box.selection = -1;
  else if (box.selection > index)
    --box.selection;
}

int HeadlessTemplatesUi::ListItemCount(int list) const {
  return static_cast<int>(List(list).items.size());
}

std::string HeadlessTemplatesUi::ListItemText(int list, int index) const {
  return List(list).items.at(index).text;
}

int HeadlessTemplatesUi::ListItemData(int list, int index) const {
  return List(list).items.at(index).data;
}

int HeadlessTemplatesUi::ListSelection(int list) const {
  return List(list).selection;
}

// An index outside the list removes the selection, as LB_SETCURSEL does.
void HeadlessTemplatesUi::SelectListItem(int list, int index) {
  ListBox& box = List(list);
  box.selection = index >= 0 && index < static_cast<int>(box.items.size()) ? index : -1;
}

void HeadlessTemplatesUi::EnableControl(int id, bool enabled) {
  if (enabled)
    disabled_controls_.erase(id);
  else
    disabled_controls_.insert(id);
}

std::string HeadlessTemplatesUi::ControlText(int id) const {
  const auto text = control_texts_.find(id);
  return text == control_texts_.end() ? std::string() : text->second;
}

HeadlessTemplatesUi::ListBox& HeadlessTemplatesUi::List(int list) {
  return const_cast<ListBox&>(static_cast<const HeadlessTemplatesUi&>(*this).List(list));
}

const HeadlessTemplatesUi::ListBox& HeadlessTemplatesUi::List(int list) const {
  switch (list) {
    case kIdAvailableAttributes:
      return available_;
    case kIdChosenAttributes:
      return chosen_;
    default:
      throw std::out_of_range("no list box " + std::to_string(list));
  }
}

}  // namespace zuro::templates
