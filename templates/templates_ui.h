// The screen as the templates dialogs' behaviour sees it: the combo box of what is being edited,
// the two attribute lists, the buttons, the labels and the frame. The field templates dialog 1002
// and the PDM attribute templates dialog 1007 share this layout and this port. The Win32 view
// implements it over either dialog; tests implement it headlessly. Texts are code page 1251; the
// view converts them at the Win32 call.
#pragma once

#include <string>

namespace zuro::templates {

// Controls of dialog 1002.
inline constexpr int kIdTemplatesOk = 1;
inline constexpr int kIdTemplatesCancel = 2;
inline constexpr int kIdTemplatesHelp = 1004;        // "Справка"
inline constexpr int kIdTemplateField = 1005;        // combo box of the ten document fields
inline constexpr int kIdAvailableAttributes = 1006;  // list box: the report's attributes
inline constexpr int kIdChosenAttributes = 1007;     // list box: the field's template
inline constexpr int kIdAddAttribute = 1009;         // ">"
inline constexpr int kIdRemoveAttribute = 1010;      // "<"
inline constexpr int kIdRemoveAllAttributes = 1011;  // "<<"

class TemplatesUi {
 public:
  virtual ~TemplatesUi() = default;

  // The field combo box.
  virtual void ClearFields() = 0;
  virtual void AddField(const std::string& caption) = 0;
  virtual void SelectField(int index) = 0;
  // Index of the selected field; -1 when the text in the combo's edit part selects none.
  virtual int SelectedField() const = 0;

  // The two list boxes, named by their control ids. Item data is an attribute number.
  virtual void ClearList(int list) = 0;
  virtual void AddListItem(int list, const std::string& text, int data) = 0;
  virtual void DeleteListItem(int list, int index) = 0;
  virtual int ListItemCount(int list) const = 0;
  virtual std::string ListItemText(int list, int index) const = 0;
  virtual int ListItemData(int list, int index) const = 0;
  // Index of the selected item, -1 when none is; selecting -1 removes the selection.
  virtual int ListSelection(int list) const = 0;
  virtual void SelectListItem(int list, int index) = 0;

  // The buttons, the labels and the frame.
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual void CloseDialog(int result) = 0;
  // Shows the help file at its default topic, owned by the dialog.
  virtual void ShowHelp(const std::string& help_path) = 0;
};

// What a view hands on to the behaviour of a dialog of this layout: the dialog's opening and the
// user's doings in its controls.
class TemplateListsEvents {
 public:
  virtual ~TemplateListsEvents() = default;

  virtual void OnInitDialog() = 0;
  // The combo box's selection changed.
  virtual void OnFieldChanged() = 0;
  virtual void OnAvailableSelectionChanged() = 0;
  virtual void OnChosenSelectionChanged() = 0;
  // A click on one of the dialog's buttons, by its control id; false for any other id.
  virtual bool OnButton(int id) = 0;
  // The frame's close box or Escape.
  virtual void OnCancel() = 0;
};

}  // namespace zuro::templates
