#include "converter/settings_dialog_win32.h"

#include "base/html_help_win32.h"
#include "base/win32_text.h"
#include "converter/settings_dialog.h"

namespace zuro::converter {

namespace {

class Win32SettingsDialog : public SettingsUi {
 public:
  Win32SettingsDialog(const std::string& library_folder, const std::string& help_path)
      : dialog_(library_folder, help_path, *this) {}

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  void CheckRadio(std::span<const int> group, int index) override {
    for (size_t i = 0; i < group.size(); ++i)
      CheckDlgButton(window_, group[i], static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED);
  }
  int CheckedRadio(std::span<const int> group) const override {
    for (size_t i = 0; i < group.size(); ++i) {
      if (IsDlgButtonChecked(window_, group[i]) == BST_CHECKED)
        return static_cast<int>(i);
    }
    return -1;
  }
  void SetText(int id, const std::string& text) override {
    SetDlgItemTextW(window_, id, WideFromCp1251(text).c_str());
  }
  std::string Text(int id) const override {
    HWND control = GetDlgItem(window_, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return Cp1251FromWide(text.c_str());
  }
  void SetChecked(int id, bool checked) override {
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  bool IsChecked(int id) const override { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
  MessageAnswer ShowMessage(const MessageRequest& message) override {
    MessageBoxW(window_, WideFromCp1251(message.text).c_str(),
                WideFromCp1251(message.caption).c_str(), MB_OK | MB_ICONWARNING);
    return MessageAnswer::kOk;
  }
  void ShowHelp(const std::string& help_path) override { ShowHtmlHelp(nullptr, help_path); }
  void Close(int result) override { EndDialog(window_, result); }

 private:
  bool OnCommand(int id) {
    switch (id) {
      case IDOK:
        dialog_.OnOk();
        return true;
      case IDCANCEL:
        dialog_.OnCancel();
        return true;
      case kIdSettingsHelp:
        dialog_.OnHelp();
        return true;
    }
    return false;
  }

  HWND window_ = nullptr;
  SettingsDialog dialog_;
};

// Nothing may leave a dialog procedure: whatever a handler throws ends that message only.
INT_PTR CALLBACK Win32SettingsDialog::DialogProc(HWND window,
                                                 UINT message,
                                                 WPARAM wparam,
                                                 LPARAM lparam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* view = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!view)
    return FALSE;
  try {
    switch (message) {
      case WM_INITDIALOG:
        view->window_ = window;
        view->dialog_.OnInitDialog();
        return TRUE;
      case WM_COMMAND:
        return view->OnCommand(LOWORD(wparam)) ? TRUE : FALSE;
      case WM_CLOSE:
        view->dialog_.OnCancel();
        return TRUE;
    }
  } catch (...) {
  }
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

INT_PTR RunSettingsDialog(HINSTANCE module,
                          HWND owner,
                          const std::string& library_folder,
                          const std::string& help_path) {
  Win32SettingsDialog view(library_folder, help_path);
  return DialogBoxParamW(module, MAKEINTRESOURCEW(kIdSettingsDialog), owner,
                         &Win32SettingsDialog::DialogProc, reinterpret_cast<LPARAM>(&view));
}

}  // namespace zuro::converter
