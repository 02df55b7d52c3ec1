#include "converter/settings_dialog.h"

#include <utility>

#include "base/text_encoding.h"

namespace zuro::converter {

std::string MarksText(const std::vector<std::string>& marks) {
  std::string text;
  for (const std::string& mark : marks)
    text += (text.empty() ? "" : ";") + mark;
  return text;
}

SettingsDialog::SettingsDialog(std::string library_folder, std::string help_path, SettingsUi& ui)
    : library_folder_(std::move(library_folder)), help_path_(std::move(help_path)), ui_(ui) {}

// What the file says now: another window, or the designer with an editor, may have changed it.
void SettingsDialog::OnInitDialog() {
  settings_ = LoadSettings(library_folder_).settings;
  ui_.CheckRadio(kRangeSeparatorRadios, settings_.range_separator == RangeSeparator::kDash ? 1 : 0);
  ui_.SetText(kIdNotFittedEdit, MarksText(settings_.not_fitted));
  ui_.SetChecked(kIdLatinDesignatorsCheck, settings_.latin_designators);
}

Settings SettingsDialog::ReadControls() const {
  Settings settings;
  settings.range_separator =
      ui_.CheckedRadio(kRangeSeparatorRadios) == 1 ? RangeSeparator::kDash : RangeSeparator::kDots;
  settings.not_fitted = ParseMarks(ui_.Text(kIdNotFittedEdit));
  settings.latin_designators = ui_.IsChecked(kIdLatinDesignatorsCheck);
  return settings;
}

void SettingsDialog::OnOk() {
  const Settings chosen = ReadControls();
  if (!SaveSettings(library_folder_, chosen)) {
    ui_.ShowMessage(
        {"Не удалось записать файл " + Cp1251FromUtf8Path(library_folder_ + kSettingsFileName),
         "Внимание", MessageButtons::kOk});
    return;
  }
  settings_ = chosen;
  ui_.Close(kIdCreate);
}

void SettingsDialog::OnCancel() {
  ui_.Close(kIdClose);
}

void SettingsDialog::OnHelp() {
  ui_.ShowHelp(help_path_ + kSettingsHelpTopic);
}

}  // namespace zuro::converter
