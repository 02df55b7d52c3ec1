// The settings dialog "Параметры", opened by "Файл" → "Параметры..." of every converter window and
// of the PDM window: how the documents write a run of designators, the marks of parts not fitted,
// and whether Cyrillic look-alike letters of designators are read as Latin. It shows the
// settings file of the library folder and writes it at OK; Отмена writes nothing. The screen is
// reached through SettingsUi, so the same class runs behind the Win32 dialog and in tests.
#pragma once

#include <span>
#include <string>

#include "base/settings.h"
#include "converter/converter_ui.h"

namespace zuro::converter {

// The dialog's template and controls. Their ids stand apart from every other dialog's and
// menu's of the library.
inline constexpr int kIdSettingsDialog = 1100;
inline constexpr int kIdRangeDotsRadio = 1101;  // "R1...R5"
inline constexpr int kIdRangeDashRadio = 1102;  // "R1-R5"
inline constexpr int kIdNotFittedEdit = 1103;   // marks separated by ";"
inline constexpr int kIdLatinDesignatorsCheck = 1104;
inline constexpr int kIdSettingsHelp = 1105;
inline constexpr int kRangeSeparatorRadios[] = {kIdRangeDotsRadio, kIdRangeDashRadio};

// The help page of the dialog inside the library's help file.
inline constexpr char kSettingsHelpTopic[] = "::/settings.htm";

class SettingsUi {
 public:
  virtual ~SettingsUi() = default;

  virtual void CheckRadio(std::span<const int> group, int index) = 0;
  // Index of the checked radio of the group, -1 when none is checked.
  virtual int CheckedRadio(std::span<const int> group) const = 0;
  virtual void SetText(int id, const std::string& text) = 0;  // code page 1251
  virtual std::string Text(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual MessageAnswer ShowMessage(const MessageRequest& message) = 0;
  // The help file (a UTF-8 path, a topic inside it allowed).
  virtual void ShowHelp(const std::string& help_path) = 0;
  virtual void Close(int result) = 0;
};

class SettingsDialog {
 public:
  // `library_folder` ends with the path separator; both paths are UTF-8.
  SettingsDialog(std::string library_folder, std::string help_path, SettingsUi& ui);

  void OnInitDialog();
  // Writes the file and closes the dialog; a file that cannot be written is said, and the dialog
  // stays open with what the designer chose.
  void OnOk();
  void OnCancel();
  void OnHelp();

  // The settings shown (after OnInitDialog) or written (after OnOk).
  const Settings& settings() const { return settings_; }

 private:
  Settings ReadControls() const;

  std::string library_folder_;
  std::string help_path_;
  SettingsUi& ui_;
  Settings settings_;
};

// The marks as the dialog's edit box shows them, and back.
std::string MarksText(const std::vector<std::string>& marks);

}  // namespace zuro::converter
