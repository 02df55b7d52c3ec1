#include "templates/templates_dialog_win32.h"

#include <vector>

#include "base/html_help_win32.h"
#include "base/win32_text.h"
#include "resources/resource.h"

namespace zuro::templates {

namespace {

class Win32TemplatesDialog : public TemplatesUi {
 public:
  Win32TemplatesDialog(HINSTANCE module, const TemplatesDialogSetup& setup)
      : module_(module), dialog_(setup, *this) {}

  INT_PTR Run(HWND owner) {
    return DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_TEMPLATES), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
  }

  void ClearFields() override { Send(kIdTemplateField, CB_RESETCONTENT); }
  void AddField(const std::string& caption) override {
    const std::wstring text = WideFromCp1251(caption);
    Send(kIdTemplateField, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
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
  HWND window_ = nullptr;
  TemplatesDialog dialog_;
};

// Finds the view through the window's user data, set when the dialog starts. Nothing may leave a
// dialog procedure: whatever a handler throws ends that message only.
INT_PTR CALLBACK Win32TemplatesDialog::DialogProc(HWND window,
                                                  UINT message,
                                                  WPARAM wparam,
                                                  LPARAM lparam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* view = reinterpret_cast<Win32TemplatesDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!view)
    return FALSE;
  try {
    if (message == WM_INITDIALOG)
      view->window_ = window;
    return view->HandleMessage(message, wparam) ? TRUE : FALSE;
  } catch (...) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }
}

// WM_INITDIALOG answers TRUE: the dialog manager then gives the focus to the first control.
bool Win32TemplatesDialog::HandleMessage(UINT message, WPARAM wparam) {
  switch (message) {
    case WM_INITDIALOG:
      dialog_.OnInitDialog();
      return true;
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam));
    case WM_CLOSE:
      dialog_.OnCancel();
      return true;
  }
  return false;
}

// The combo box and the list boxes report a changed selection; the buttons, Enter and Escape
// report a click (code 0). The other notifications (focus, edit changes, double clicks) mean
// nothing to the dialog.
bool Win32TemplatesDialog::OnCommand(int id, int code) {
  switch (id) {
    case kIdTemplateField:
      if (code != CBN_SELCHANGE)
        return false;
      dialog_.OnFieldChanged();
      return true;
    case kIdAvailableAttributes:
      if (code != LBN_SELCHANGE)
        return false;
      dialog_.OnAvailableSelectionChanged();
      return true;
    case kIdChosenAttributes:
      if (code != LBN_SELCHANGE)
        return false;
      dialog_.OnChosenSelectionChanged();
      return true;
    default:
      return code == BN_CLICKED && dialog_.OnButton(id);
  }
}

// Not sorted: LB_ADDSTRING appends, and the index it returns is the new item's.
void Win32TemplatesDialog::AddListItem(int list, const std::string& text, int data) {
  const std::wstring wide = WideFromCp1251(text);
  const LRESULT index = Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (index >= 0)
    Send(list, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

std::string Win32TemplatesDialog::ListItemText(int list, int index) const {
  const LRESULT length = Send(list, LB_GETTEXTLEN, index);
  if (length <= 0)
    return {};
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = Send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return copied > 0 ? Cp1251FromWide(text.data(), static_cast<int>(copied)) : std::string();
}

// A button disabled while it has the focus ("<" removing the last item) would leave the keyboard
// nowhere: the focus moves on to the next control first.
void Win32TemplatesDialog::EnableControl(int id, bool enabled) {
  HWND control = GetDlgItem(window_, id);
  if (!control)
    return;
  if (!enabled && GetFocus() == control)
    SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(control, enabled ? TRUE : FALSE);
}

// The same help file as the converter windows', at its default topic, owned by the dialog.
void Win32TemplatesDialog::ShowHelp(const std::string& help_path) {
  ShowHtmlHelp(window_, help_path);
}

}  // namespace

INT_PTR RunTemplatesDialog(HINSTANCE module, HWND owner, const TemplatesDialogSetup& setup) {
  try {
    Win32TemplatesDialog view(module, setup);
    return view.Run(owner);
  } catch (...) {
    return -1;
  }
}

}  // namespace zuro::templates
