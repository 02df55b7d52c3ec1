#include "converter/replace_text_dialog_win32.h"

#include <algorithm>

#include "base/win32_text.h"
#include "converter/view_dialog_win32.h"

namespace zuro::converter {

namespace {

constexpr int kReplaceDialogTemplate = 1004;

// The dialog opens beside its converter window, where it hides none of the table it searches;
// when the screen has no room there, over the window's right edge.
void PlaceBesideOwner(HWND dialog, HWND owner) {
  RECT frame, over;
  if (!owner || !GetWindowRect(dialog, &frame) || !GetWindowRect(owner, &over))
    return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
    return;
  const int width = frame.right - frame.left;
  int left = over.right;
  if (left + width > monitor.rcWork.right)
    left = std::max<int>(monitor.rcWork.left, over.right - width);
  SetWindowPos(dialog, nullptr, left, over.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32ReplaceTextDialog::Win32ReplaceTextDialog(HINSTANCE module,
                                               HWND owner,
                                               table::ReplaceState& state,
                                               const std::vector<std::string>& attribute_names,
                                               const std::string& library_folder)
    : module_(module), owner_(owner), dialog_(state, attribute_names, library_folder, *this) {}

INT_PTR Win32ReplaceTextDialog::Run() {
  return RunViewDialog(module_, kReplaceDialogTemplate, owner_, *this);
}

void Win32ReplaceTextDialog::OnInitDialog(HWND window) {
  window_ = window;
  PlaceBesideOwner(window, owner_);
  dialog_.OnInitDialog();
}

// The column list reports a new choice; the combo boxes a typed text and a list entry confirmed.
bool Win32ReplaceTextDialog::OnCommand(int id, int code) {
  switch (id) {
    case kIdReplaceColumns:
      if (code == LBN_SELCHANGE)
        dialog_.OnChoiceChanged();
      return true;
    case kIdReplaceFind:
    case kIdReplaceWith:
      if (code == CBN_EDITCHANGE || code == CBN_SELENDOK || code == CBN_SELCHANGE)
        dialog_.OnChoiceChanged();
      return true;
    case kIdReplaceOne:
      dialog_.OnReplace();
      return true;
    case kIdReplaceAll:
      dialog_.OnReplaceAll();
      return true;
    case kIdReplaceSkip:
      dialog_.OnSkip();
      return true;
    case IDCANCEL:
      dialog_.OnCancel();
      return true;
  }
  return false;
}

HWND Win32ReplaceTextDialog::Combo(ReplaceCombo combo) const {
  return GetDlgItem(window_, combo == ReplaceCombo::kFind ? kIdReplaceFind : kIdReplaceWith);
}

std::string Win32ReplaceTextDialog::EntryText(HWND combo, LRESULT index) const {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR)
    return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return Cp1251FromWide(text.c_str());
}

void Win32ReplaceTextDialog::AddColumn(const std::string& name, int item_data) {
  HWND list = GetDlgItem(window_, kIdReplaceColumns);
  const LRESULT index =
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp1251(name).c_str()));
  if (index >= 0)
    SendMessageW(list, LB_SETITEMDATA, index, item_data);
}

int Win32ReplaceTextDialog::SelectedColumn() const {
  const LRESULT index = SendDlgItemMessageW(window_, kIdReplaceColumns, LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void Win32ReplaceTextDialog::AddEntry(ReplaceCombo combo, const std::string& entry) {
  SendMessageW(Combo(combo), CB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(WideFromCp1251(entry).c_str()));
}

std::vector<std::string> Win32ReplaceTextDialog::Entries(ReplaceCombo combo) const {
  HWND box = Combo(combo);
  std::vector<std::string> entries;
  const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index)
    entries.push_back(EntryText(box, index));
  return entries;
}

std::string Win32ReplaceTextDialog::EditText(ReplaceCombo combo) const {
  HWND box = Combo(combo);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
  return Cp1251FromWide(text.c_str());
}

std::optional<std::string> Win32ReplaceTextDialog::SelectedEntry(ReplaceCombo combo) const {
  HWND box = Combo(combo);
  const LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR)
    return std::nullopt;
  return EntryText(box, index);
}

void Win32ReplaceTextDialog::EnableButton(int id, bool enabled) {
  if (HWND button = GetDlgItem(window_, id))
    EnableWindow(button, enabled ? TRUE : FALSE);
}

void Win32ReplaceTextDialog::ShowMessage(const MessageRequest& message) {
  MessageBoxW(window_, WideFromCp1251(message.text).c_str(),
              WideFromCp1251(message.caption).c_str(), MB_OK | MB_ICONWARNING);
}

// The step needs no data: everything is in the shared state, which the window has changed by the
// time SendMessage returns.
void Win32ReplaceTextDialog::RequestStep() {
  COPYDATASTRUCT nothing{};
  SendMessageW(owner_, WM_COPYDATA, reinterpret_cast<WPARAM>(window_),
               reinterpret_cast<LPARAM>(&nothing));
}

void Win32ReplaceTextDialog::Close(int result) {
  EndDialog(window_, result);
}

}  // namespace zuro::converter
