// The replace-text dialog on the screen: dialog 1004 of the library's resources, owned by its
// converter window, which runs each search step when the dialog sends it WM_COPYDATA.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "converter/replace_text_dialog.h"

namespace zuro::converter {

class Win32ReplaceTextDialog : public ReplaceTextUi {
 public:
  Win32ReplaceTextDialog(HINSTANCE module,
                         HWND owner,
                         table::ReplaceState& state,
                         const std::vector<std::string>& attribute_names,
                         const std::string& library_folder);
  Win32ReplaceTextDialog(const Win32ReplaceTextDialog&) = delete;
  Win32ReplaceTextDialog& operator=(const Win32ReplaceTextDialog&) = delete;

  // Shows the dialog modally over its owner until it closes.
  INT_PTR Run();

  void AddColumn(const std::string& name, int item_data) override;
  int SelectedColumn() const override;
  void AddEntry(ReplaceCombo combo, const std::string& entry) override;
  std::vector<std::string> Entries(ReplaceCombo combo) const override;
  std::string EditText(ReplaceCombo combo) const override;
  std::optional<std::string> SelectedEntry(ReplaceCombo combo) const override;
  void EnableButton(int id, bool enabled) override;
  void ShowMessage(const MessageRequest& message) override;
  void RequestStep() override;
  void Close(int result) override;

  // The dialog's events (see view_dialog_win32.h).
  void OnInitDialog(HWND window);
  bool OnCommand(int id, int code);
  void OnClose() { dialog_.OnCancel(); }

 private:
  HWND Combo(ReplaceCombo combo) const;
  std::string EntryText(HWND combo, LRESULT index) const;

  HINSTANCE module_;
  HWND owner_;
  HWND window_ = nullptr;
  ReplaceTextDialog dialog_;
};

}  // namespace zuro::converter
