#include "converter/settings_dialog_win32.h"

#include "base/html_help_win32.h"
#include "base/win32_text.h"
#include "converter/settings_dialog.h"
#include "converter/view_dialog_win32.h"

namespace zuro::converter {

namespace {

class Win32SettingsDialog : public SettingsUi {
 public:
  Win32SettingsDialog(const std::string& library_folder, const std::string& help_path)
      : dialog_(library_folder, help_path, *this) {}

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

  // The dialog's events (see view_dialog_win32.h).
  void OnInitDialog(HWND window) {
    window_ = window;
    dialog_.OnInitDialog();
  }
  bool OnCommand(int id, int /*code*/) {
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
  void OnClose() { dialog_.OnCancel(); }

 private:
  HWND window_ = nullptr;
  SettingsDialog dialog_;
};

}  // namespace

INT_PTR RunSettingsDialog(HINSTANCE module,
                          HWND owner,
                          const std::string& library_folder,
                          const std::string& help_path) {
  Win32SettingsDialog view(library_folder, help_path);
  return RunViewDialog(module, kIdSettingsDialog, owner, view);
}

}  // namespace zuro::converter
