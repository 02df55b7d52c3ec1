// A converter window's screen without a screen: it remembers what the window did to its controls,
// menu and frame, answers the file dialogs and questions from answers queued beforehand, and hands
// every message to a sink. Tests look at what it remembers; zuro-bom prints the messages.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "converter/converter_ui.h"

namespace zuro::converter {

class HeadlessUi : public ConverterUi {
 public:
  using MessageSink = std::function<void(const MessageRequest&)>;

  explicit HeadlessUi(MessageSink sink = {});

  // Answers, used in the order queued. Without one a file dialog is cancelled, an OK box answers
  // OK and a Yes/No question No.
  void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }

  // Controls and menu items start enabled, as a dialog's do.
  bool IsControlEnabled(int id) const { return !disabled_controls_.contains(id); }
  bool IsMenuItemEnabled(const MenuPath& path) const { return !greyed_menu_items_.contains(path); }
  bool IsMenuItemChecked(int command) const { return checked_menu_items_.contains(command); }
  const std::string& caption() const { return caption_; }
  const std::map<int, std::string>& tooltips() const { return tooltips_; }
  const std::vector<MessageRequest>& messages() const { return messages_; }
  const std::vector<std::string>& refusal_reasons() const { return refusal_reasons_; }
  const std::vector<FileDialogRequest>& file_dialogs() const { return file_dialogs_; }
  // The width changes in the order asked for.
  const std::vector<int>& resizes() const { return resizes_; }
  int redraws() const { return redraws_; }
  int mark_image_attachments() const { return mark_image_attachments_; }
  const std::vector<std::string>& help_requests() const { return help_requests_; }
  int templates_dialogs() const { return templates_dialogs_; }
  // The modes the attribute templates dialog was shown in, in order.
  const std::vector<pdm::TemplateMode>& attribute_template_modes() const {
    return attribute_template_modes_;
  }
  int replace_dialogs() const { return replace_dialogs_; }
  // The settings dialog: what plays the designer there (null: it is cancelled), and how often
  // it was shown.
  void PlaySettingsDialog(std::function<bool()> play) { play_settings_ = std::move(play); }
  int settings_dialogs() const { return settings_dialogs_; }
  std::optional<int> close_result() const { return close_result_; }

  void EnableControl(int id, bool enabled) override;
  void EnableMenuItem(const MenuPath& path, bool enabled) override;
  void CheckMenuItem(int command, bool checked) override;
  void CheckRadio(std::span<const int> group, int index) override;
  int CheckedRadio(std::span<const int> group) const override;
  void AddTooltip(int id, const std::string& text) override { tooltips_[id] = text; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void ResizeWidth(int delta) override { resizes_.push_back(delta); }
  void CloseWindow(int result) override { close_result_ = result; }
  void RedrawTable() override { ++redraws_; }
  void AttachMarkImages() override { ++mark_image_attachments_; }
  MessageAnswer ShowMessage(const MessageRequest& message) override;
  void ExplainRefusal(const std::string& reason) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  void ShowHelp(const std::string& help_path) override { help_requests_.push_back(help_path); }
  void ShowTemplatesDialog() override { ++templates_dialogs_; }
  void ShowAttributeTemplatesDialog(pdm::TemplateMode mode) override {
    attribute_template_modes_.push_back(mode);
  }
  void ShowReplaceTextDialog() override { ++replace_dialogs_; }
  bool ShowSettingsDialog() override {
    ++settings_dialogs_;
    return play_settings_ && play_settings_();
  }

 private:
  MessageSink sink_;
  std::deque<std::optional<std::string>> files_;
  std::deque<MessageAnswer> answers_;

  std::set<int> disabled_controls_;
  std::set<MenuPath> greyed_menu_items_;
  std::set<int> checked_menu_items_;
  std::set<int> checked_radios_;
  std::map<int, std::string> tooltips_;
  std::string caption_;
  std::vector<MessageRequest> messages_;
  std::vector<std::string> refusal_reasons_;
  std::vector<FileDialogRequest> file_dialogs_;
  std::vector<int> resizes_;
  int redraws_ = 0;
  int mark_image_attachments_ = 0;
  std::vector<std::string> help_requests_;
  int templates_dialogs_ = 0;
  std::vector<pdm::TemplateMode> attribute_template_modes_;
  int replace_dialogs_ = 0;
  std::function<bool()> play_settings_;
  int settings_dialogs_ = 0;
  std::optional<int> close_result_;
};

// A message as one UTF-8 text for a terminal: "caption: text", or the text alone when the caption
// is empty; ends with a line feed.
std::string MessageLine(const MessageRequest& message);
// A sink that writes each message's line to standard error.
HeadlessUi::MessageSink StandardErrorSink();

}  // namespace zuro::converter
