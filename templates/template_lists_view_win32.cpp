#include "templates/template_lists_view_win32.h"

#include <vector>

#include "base/html_help_win32.h"
#include "base/win32_text.h"

namespace zuro::templates {

INT_PTR TemplateListsView::Run(HWND owner, TemplateListsEvents& events) {
  events_ = &events;
  return DialogBoxParamW(module_, MAKEINTRESOURCEW(dialog_id_), owner, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

// Finds the view through the window's user data, set when the dialog starts. Nothing may leave a
// dialog procedure: whatever a handler throws ends that message only.
INT_PTR CALLBACK TemplateListsView::DialogProc(HWND window,
                                               UINT message,
                                               WPARAM wparam,
                                               LPARAM lparam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* view = reinterpret_cast<TemplateListsView*>(GetWindowLongPtrW(window, DWLP_USER));
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
bool TemplateListsView::HandleMessage(UINT message, WPARAM wparam) {
  switch (message) {
    case WM_INITDIALOG:
      events_->OnInitDialog();
      return true;
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam));
    case WM_CLOSE:
      events_->OnCancel();
      return true;
  }
  return false;
}

// The combo box and the list boxes report a changed selection; the buttons, Enter and Escape
// report a click (code 0). The other notifications (focus, edit changes, double clicks) mean
// nothing to the dialogs.
bool TemplateListsView::OnCommand(int id, int code) {
  switch (id) {
    case kIdTemplateField:
      if (code != CBN_SELCHANGE)
        return false;
      events_->OnFieldChanged();
      return true;
    case kIdAvailableAttributes:
      if (code != LBN_SELCHANGE)
        return false;
      events_->OnAvailableSelectionChanged();
      return true;
    case kIdChosenAttributes:
      if (code != LBN_SELCHANGE)
        return false;
      events_->OnChosenSelectionChanged();
      return true;
    default:
      return code == BN_CLICKED && events_->OnButton(id);
  }
}

void TemplateListsView::AddField(const std::string& caption) {
  const std::wstring text = WideFromCp1251(caption);
  Send(kIdTemplateField, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Not sorted: LB_ADDSTRING appends, and the index it returns is the new item's.
void TemplateListsView::AddListItem(int list, const std::string& text, int data) {
  const std::wstring wide = WideFromCp1251(text);
  const LRESULT index = Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (index >= 0)
    Send(list, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

std::string TemplateListsView::ListItemText(int list, int index) const {
  const LRESULT length = Send(list, LB_GETTEXTLEN, index);
  if (length <= 0)
    return {};
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = Send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return copied > 0 ? Cp1251FromWide(text.data(), static_cast<int>(copied)) : std::string();
}

// A button disabled while it has the focus ("<" removing the last item) would leave the keyboard
// nowhere: the focus moves on to the next control first.
void TemplateListsView::EnableControl(int id, bool enabled) {
  HWND control = GetDlgItem(window_, id);
  if (!control)
    return;
  if (!enabled && GetFocus() == control)
    SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(control, enabled ? TRUE : FALSE);
}

void TemplateListsView::SetControlText(int id, const std::string& text) {
  SetDlgItemTextW(window_, id, WideFromCp1251(text).c_str());
}

// The same help file as the converter windows', at its default topic, owned by the dialog.
void TemplateListsView::ShowHelp(const std::string& help_path) {
  ShowHtmlHelp(window_, help_path);
}

}  // namespace zuro::templates
