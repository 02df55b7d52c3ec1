#include "converter/replace_text_dialog.h"

#include <cstdio>
#include <exception>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "base/text_file.h"

namespace zuro::converter {

namespace {

constexpr int kActionButtons[] = {kIdReplaceOne, kIdReplaceAll, kIdReplaceSkip};
constexpr ReplaceCombo kCombos[] = {ReplaceCombo::kFind, ReplaceCombo::kReplacement};

const char* HistoryFile(ReplaceCombo combo) {
  return combo == ReplaceCombo::kFind ? kFindHistoryFile : kReplacementHistoryFile;
}

bool IsWordSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The words of a history file: an entry that held blanks comes back as several entries. Words
// are kept whole at any length.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < text.size()) {
    while (start < text.size() && IsWordSpace(text[start]))
      ++start;
    size_t end = start;
    while (end < text.size() && !IsWordSpace(text[end]))
      ++end;
    if (end > start)
      words.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

// True when an entry of the list begins with the text, letters of either case alike.
bool ListHasEntryBeginningWith(const std::vector<std::string>& entries, const std::string& text) {
  const std::string lower = LowerCp1251(text);
  for (const std::string& entry : entries) {
    if (LowerCp1251(entry).starts_with(lower))
      return true;
  }
  return false;
}

}  // namespace

ReplaceTextDialog::ReplaceTextDialog(table::ReplaceState& state,
                                     const std::vector<std::string>& attribute_names,
                                     std::string library_folder,
                                     ReplaceTextUi& ui)
    : state_(state),
      attribute_names_(attribute_names),
      library_folder_(std::move(library_folder)),
      ui_(ui) {}

void ReplaceTextDialog::OnInitDialog() {
  for (size_t i = 0; i < attribute_names_.size(); ++i)
    ui_.AddColumn(attribute_names_[i], static_cast<int>(i) + 1);
  EnableActions(false);
  state_.column = 0;
  LoadHistories();
}

// The actions need a column and both texts. A match still shown belongs to the old choice: it
// loses its highlight unchanged, and the next action starts from the first row.
void ReplaceTextDialog::OnChoiceChanged() {
  ReadTexts();
  const bool ready =
      !state_.find_text.empty() && !state_.replacement_text.empty() && ui_.SelectedColumn() >= 0;
  if (!ready) {
    EnableActions(false);
    return;
  }
  EnableActions(true);
  if (state_.pending_row > 0) {
    state_.Finish();
    state_.skip = true;
    ui_.RequestStep();
  }
  state_.pending_row = 0;
  state_.Restart();
  state_.all = false;
  state_.skip = false;
}

void ReplaceTextDialog::OnReplace() {
  Act(Action::kReplace);
}

void ReplaceTextDialog::OnReplaceAll() {
  Act(Action::kReplaceAll);
}

void ReplaceTextDialog::OnSkip() {
  Act(Action::kSkip);
}

void ReplaceTextDialog::OnCancel() {
  ui_.Close(kIdClose);
}

// "Заменить" and "Заменить все" search again from the first row, so that the replaced match is
// followed by the first one left; "Пропустить" goes on after the shown match. The end of the
// search is told by the state's own flag, which stays right in a table of any length.
void ReplaceTextDialog::Act(Action action) {
  try {
    if (action != Action::kSkip)
      SaveHistories();
    ReadTexts();
    state_.column = ui_.SelectedColumn() + 1;
    if (action == Action::kSkip)
      state_.skip = true;
    else
      state_.Restart();
    state_.all = action == Action::kReplaceAll;
    ui_.RequestStep();
    if (state_.finished)
      ui_.ShowMessage({"Поиск текста окончен", "Внимание", MessageButtons::kOk});
  } catch (const std::exception&) {
    // A failed step leaves the table as the window left it; the dialog stays usable.
  }
}

// A history that cannot be read is skipped.
void ReplaceTextDialog::LoadHistories() {
  for (const ReplaceCombo combo : kCombos) {
    const std::optional<TextFile> history = ReadTextFile(library_folder_ + HistoryFile(combo));
    if (!history)
      continue;
    for (const std::string& word : Words(history->text))
      ui_.AddEntry(combo, word);
  }
}

// The texts typed go into their lists unless an entry already begins with them; then both lists
// are written out whole, each file replaced only once it is written completely. A file that
// cannot be written keeps its old entries.
void ReplaceTextDialog::SaveHistories() {
  for (const ReplaceCombo combo : kCombos) {
    const std::string text = ui_.EditText(combo);
    if (!text.empty() && !ListHasEntryBeginningWith(ui_.Entries(combo), text))
      ui_.AddEntry(combo, text);
  }
  if (ui_.Entries(ReplaceCombo::kFind).empty() && ui_.Entries(ReplaceCombo::kReplacement).empty())
    return;
  for (const ReplaceCombo combo : kCombos) {
    const std::vector<std::string> entries = ui_.Entries(combo);
    ReplaceFileContents(library_folder_ + HistoryFile(combo), [&](std::FILE* file) {
      for (const std::string& entry : entries) {
        const std::string line = entry + "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size())
          return false;
      }
      return true;
    });
  }
}

// While a list selection is being confirmed the edit fields may still show the old texts; the
// two selected entries then stand for them.
void ReplaceTextDialog::ReadTexts() {
  state_.find_text = ui_.EditText(ReplaceCombo::kFind);
  state_.replacement_text = ui_.EditText(ReplaceCombo::kReplacement);
  if (state_.find_text.empty() || state_.replacement_text.empty()) {
    const std::optional<std::string> find = ui_.SelectedEntry(ReplaceCombo::kFind);
    const std::optional<std::string> replacement = ui_.SelectedEntry(ReplaceCombo::kReplacement);
    if (find && replacement) {
      state_.find_text = *find;
      state_.replacement_text = *replacement;
    }
  }
}

void ReplaceTextDialog::EnableActions(bool enabled) {
  for (const int id : kActionButtons)
    ui_.EnableButton(id, enabled);
}

}  // namespace zuro::converter
