// The replace-text dialog (dialog 1004, "Заменить текст"): the designer picks a column and types
// a text and its replacement; the converter window, which owns the table, runs each search step.
// The screen is reached only through ReplaceTextUi, so the same class runs behind the Win32
// dialog and in the tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "converter/converter_ui.h"
#include "table/replace_step.h"

namespace zuro::converter {

// Controls of dialog 1004.
inline constexpr int kIdReplaceColumns = 1013;
inline constexpr int kIdReplaceFind = 1019;
inline constexpr int kIdReplaceWith = 1020;
inline constexpr int kIdReplaceOne = 1004;
inline constexpr int kIdReplaceAll = 1005;
inline constexpr int kIdReplaceSkip = 1006;

// The find and replacement histories in the library folder, one entry per line.
inline constexpr const char* kFindHistoryFile = "bom1.txt";
inline constexpr const char* kReplacementHistoryFile = "bom2.txt";

enum class ReplaceCombo { kFind, kReplacement };

class ReplaceTextUi {
 public:
  virtual ~ReplaceTextUi() = default;

  // The column list: entry i shows attribute i and carries i + 1.
  virtual void AddColumn(const std::string& name, int item_data) = 0;
  // Index of the selected column entry, -1 when none is selected.
  virtual int SelectedColumn() const = 0;
  // The two combo boxes keep their lists sorted.
  virtual void AddEntry(ReplaceCombo combo, const std::string& entry) = 0;
  // Every list entry, in list order.
  virtual std::vector<std::string> Entries(ReplaceCombo combo) const = 0;
  virtual std::string EditText(ReplaceCombo combo) const = 0;
  // The selected list entry's text, nothing when no entry is selected.
  virtual std::optional<std::string> SelectedEntry(ReplaceCombo combo) const = 0;
  virtual void EnableButton(int id, bool enabled) = 0;
  virtual void ShowMessage(const MessageRequest& message) = 0;
  // Asks the converter window for one search step on the shared state and waits for it.
  virtual void RequestStep() = 0;
  virtual void Close(int result) = 0;
};

class ReplaceTextDialog {
 public:
  ReplaceTextDialog(table::ReplaceState& state,
                    const std::vector<std::string>& attribute_names,
                    std::string library_folder,
                    ReplaceTextUi& ui);

  // Dialog events. None of them throws.
  void OnInitDialog();
  // A change of the column choice or of either text.
  void OnChoiceChanged();
  void OnReplace();
  void OnReplaceAll();
  void OnSkip();
  void OnCancel();

 private:
  enum class Action { kReplace, kReplaceAll, kSkip };
  void Act(Action action);
  void LoadHistories();
  void SaveHistories();
  void ReadTexts();
  void EnableActions(bool enabled);

  table::ReplaceState& state_;
  const std::vector<std::string>& attribute_names_;
  const std::string library_folder_;
  ReplaceTextUi& ui_;
};

}  // namespace zuro::converter
