// The templates dialog's screen without a screen: a combo box and two list boxes that behave as
// the Win32 controls do (deleting the selected item clears the selection, typing into the combo's
// edit part selects no field), the buttons' enabling and the result the dialog closed with. Tests
// play the user on it and look at what it shows.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "templates/templates_ui.h"

namespace zuro::templates {

class HeadlessTemplatesUi : public TemplatesUi {
 public:
  struct Item {
    std::string text;
    int data = 0;
    bool operator==(const Item&) const = default;
  };

  // What the user does.
  void TypeFieldText(const std::string& text);

  // What the dialog shows. Controls start enabled, as a dialog's do.
  const std::vector<std::string>& fields() const { return fields_; }
  const std::string& field_text() const { return field_text_; }
  const std::vector<Item>& Items(int list) const;
  std::vector<std::string> Texts(int list) const;
  bool IsControlEnabled(int id) const { return !disabled_controls_.contains(id); }
  // The text a control was given; empty for one never given any.
  std::string ControlText(int id) const;
  std::optional<int> close_result() const { return close_result_; }
  const std::vector<std::string>& help_requests() const { return help_requests_; }

  void ClearFields() override;
  void AddField(const std::string& caption) override { fields_.push_back(caption); }
  void SelectField(int index) override;
  int SelectedField() const override { return selected_field_; }

  void ClearList(int list) override;
  void AddListItem(int list, const std::string& text, int data) override;
  void DeleteListItem(int list, int index) override;
  int ListItemCount(int list) const override;
  std::string ListItemText(int list, int index) const override;
  int ListItemData(int list, int index) const override;
  int ListSelection(int list) const override;
  void SelectListItem(int list, int index) override;

  void EnableControl(int id, bool enabled) override;
  void SetControlText(int id, const std::string& text) override { control_texts_[id] = text; }
  void CloseDialog(int result) override { close_result_ = result; }
  void ShowHelp(const std::string& help_path) override { help_requests_.push_back(help_path); }

 private:
  struct ListBox {
    std::vector<Item> items;
    int selection = -1;
  };
  ListBox& List(int list);
  const ListBox& List(int list) const;

  std::vector<std::string> fields_;
  int selected_field_ = -1;
  std::string field_text_;
  ListBox available_;
  ListBox chosen_;
  std::set<int> disabled_controls_;
  std::map<int, std::string> control_texts_;
  std::optional<int> close_result_;
  std::vector<std::string> help_requests_;
};

}  // namespace zuro::templates
