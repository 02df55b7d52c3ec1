#include "standin/user_play_win32.h"

namespace zuro::standin {

namespace {

constexpr int kFileNameCombo = 0x47c;  // cmb13 of the common file dialog
constexpr int kFileNameEdit = 0x480;   // edt1, its older form

bool IsDialogClass(HWND window) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  return std::wstring(class_name) == L"#32770";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
  if (!IsDialogClass(window))
    return TRUE;
  auto* found = reinterpret_cast<ThreadDialogs*>(parameter);
  found->all.push_back(window);
  if (!IsWindowVisible(window))
    return TRUE;
  found->shown.push_back(window);
  if (GetDlgItem(window, kFileNameCombo) || GetDlgItem(window, kFileNameEdit))
    found->file_dialog = window;
  else if (GetMenu(window))
    found->converter = window;
  return TRUE;
}

}  // namespace

ThreadDialogs FindThreadDialogs(DWORD thread) {
  ThreadDialogs found;
  EnumThreadWindows(thread, CollectDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool WaitsForInput(HWND window) {
  DWORD_PTR result;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

void AnswerFileDialog(HWND dialog, const std::wstring& path) {
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (!name)
    name = GetDlgItem(dialog, kFileNameEdit);
  SetWindowTextW(name, path.c_str());
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

}  // namespace zuro::standin
