#include "converter/headless_ui.h"

#include <cstdio>

#include "base/text_encoding.h"

namespace zuro::converter {

HeadlessUi::HeadlessUi(MessageSink sink) : sink_(std::move(sink)) {}

void HeadlessUi::EnableControl(int id, bool enabled) {
  if (enabled)
    disabled_controls_.erase(id);
  else
    disabled_controls_.insert(id);
}

void HeadlessUi::EnableMenuItem(const MenuPath& path, bool enabled) {
  if (enabled)
    greyed_menu_items_.erase(path);
  else
    greyed_menu_items_.insert(path);
}

void HeadlessUi::CheckMenuItem(int command, bool checked) {
  if (checked)
    checked_menu_items_.insert(command);
  else
    checked_menu_items_.erase(command);
}

// An index outside the group clears every radio of it, as the Win32 call does.
void HeadlessUi::CheckRadio(std::span<const int> group, int index) {
  for (size_t radio = 0; radio < group.size(); ++radio) {
    if (static_cast<int>(radio) == index)
      checked_radios_.insert(group[radio]);
    else
      checked_radios_.erase(group[radio]);
  }
}

int HeadlessUi::CheckedRadio(std::span<const int> group) const {
  for (size_t radio = 0; radio < group.size(); ++radio) {
    if (checked_radios_.contains(group[radio]))
      return static_cast<int>(radio);
  }
  return -1;
}

// A question nobody answered is declined: a road that was not told to go on stops there.
MessageAnswer HeadlessUi::ShowMessage(const MessageRequest& message) {
  messages_.push_back(message);
  if (sink_)
    sink_(message);
  MessageAnswer answer =
      message.buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kNo;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  return answer;
}

// The reason goes where the messages go, as a line of its own after the window's message.
void HeadlessUi::ExplainRefusal(const std::string& reason) {
  refusal_reasons_.push_back(reason);
  if (sink_)
    sink_(MessageRequest{reason, "", MessageButtons::kOk});
}

std::optional<std::string> HeadlessUi::ChooseFile(const FileDialogRequest& request) {
  file_dialogs_.push_back(request);
  if (files_.empty())
    return std::nullopt;
  std::optional<std::string> path = std::move(files_.front());
  files_.pop_front();
  return path;
}

std::string MessageLine(const MessageRequest& message) {
  std::string line = message.caption.empty() ? "" : Cp1251ToUtf8(message.caption) + ": ";
  return line + Cp1251ToUtf8(message.text) + "\n";
}

HeadlessUi::MessageSink StandardErrorSink() {
  return [](const MessageRequest& message) {
    const std::string line = MessageLine(message);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  };
}

}  // namespace zuro::converter
