// The Win32 view of a dialog with the templates dialogs' layout: a combo box of what is edited,
// the list of the report's attributes, the chosen list, ">", "<", "<<", OK, "Отмена" and "Справка"
// (dialogs 1002 and 1007). The behaviour behind it decides everything; this view turns the
// dialog's messages into its events and carries out what it asks of the controls.
#pragma once

#include <windows.h>

#include <string>

#include "templates/templates_ui.h"

namespace zuro::templates {

class TemplateListsView : public TemplatesUi {
 public:
  // `module` holds the dialog resource `dialog_id` (the library's own module, never the host
  // program's).
  TemplateListsView(HINSTANCE module, int dialog_id) : module_(module), dialog_id_(dialog_id) {}
  TemplateListsView(const TemplateListsView&) = delete;
  TemplateListsView& operator=(const TemplateListsView&) = delete;

  // Shows the dialog modally, owned by `owner`, handing its events to `events` until it closes.
  // IDOK or IDCANCEL, or -1 when the dialog could not be made.
  INT_PTR Run(HWND owner, TemplateListsEvents& events);

  void ClearFields() override { Send(kIdTemplateField, CB_RESETCONTENT); }
  void AddField(const std::string& caption) override;
  void SelectField(int index) override { Send(kIdTemplateField, CB_SETCURSEL, index); }
  int SelectedField() const override {
    return static_cast<int>(Send(kIdTemplateField, CB_GETCURSEL));
  }

  void ClearList(int list) override { Send(list, LB_RESETCONTENT); }
  void AddListItem(int list, const std::string& text, int data) override;
  void DeleteListItem(int list, int index) override { Send(list, LB_DELETESTRING, index); }
  int ListItemCount(int list) const override {
    const LRESULT count = Send(list, LB_GETCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
  }
  std::string ListItemText(int list, int index) const override;
  int ListItemData(int list, int index) const override {
    return static_cast<int>(Send(list, LB_GETITEMDATA, index));
  }
  int ListSelection(int list) const override { return static_cast<int>(Send(list, LB_GETCURSEL)); }
  void SelectListItem(int list, int index) override { Send(list, LB_SETCURSEL, index); }

  void EnableControl(int id, bool enabled) override;
  void SetControlText(int id, const std::string& text) override;
  void CloseDialog(int result) override { EndDialog(window_, result); }
  void ShowHelp(const std::string& help_path) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleMessage(UINT message, WPARAM wparam);
  bool OnCommand(int id, int code);

  LRESULT Send(int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return SendDlgItemMessageW(window_, id, message, wparam, lparam);
  }

  HINSTANCE module_;
  int dialog_id_;
  HWND window_ = nullptr;
  TemplateListsEvents* events_ = nullptr;
};

// Runs a dialog of this layout: its behaviour `Dialog`, made from `setup` over the view.
template <typename Dialog, typename Setup>
INT_PTR RunTemplateListsDialog(HINSTANCE module, HWND owner, int dialog_id, const Setup& setup) {
  try {
    TemplateListsView view(module, dialog_id);
    Dialog dialog(setup, view);
    return view.Run(owner, dialog);
  } catch (...) {
    return -1;
  }
}

}  // namespace zuro::templates
