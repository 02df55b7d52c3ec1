#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "converter/replace_text_dialog.h"
#include "tests/file_faults.h"
#include "table/component_rows.h"
#include "table/replace_step.h"

namespace zuro::converter {
namespace {

using table::GridModel;
using table::ReplaceState;

// A table of one column holding the given texts in rows 1...
void Fill(GridModel& table, const std::vector<std::string>& cells) {
  table::ResetComponentTable(table);
  table.InsertColumn("Value");
  for (const std::string& cell : cells)
    table.SetItemText(table::AppendComponentRow(table), 1, cell);
}

std::vector<std::string> Column(const GridModel& table) {
  std::vector<std::string> cells;
  for (int row = 1; row < table.GetRowCount(); ++row)
    cells.push_back(table.GetItemText(row, 1));
  return cells;
}

// The dialog's screen: the column list, two sorted combo boxes and the buttons, and the window's
// step run on the same table as WM_COPYDATA would.
class FakeReplaceUi : public ReplaceTextUi {
 public:
  FakeReplaceUi(GridModel& table, ReplaceState& state) : table_(table), state_(state) {}

  void AddColumn(const std::string& name, int) override { columns.push_back(name); }
  int SelectedColumn() const override { return selected_column; }
  void AddEntry(ReplaceCombo combo, const std::string& entry) override {
    auto& list = lists[combo];
    list.insert(std::upper_bound(list.begin(), list.end(), entry), entry);
  }
  std::vector<std::string> Entries(ReplaceCombo combo) const override {
    const auto found = lists.find(combo);
    return found == lists.end() ? std::vector<std::string>{} : found->second;
  }
  std::string EditText(ReplaceCombo combo) const override {
    const auto found = edits.find(combo);
    return found == edits.end() ? "" : found->second;
  }
  std::optional<std::string> SelectedEntry(ReplaceCombo) const override { return std::nullopt; }
  void EnableButton(int id, bool enabled) override {
    if (enabled)
      disabled.erase(id);
    else
      disabled.insert(id);
  }
  void ShowMessage(const MessageRequest& message) override { messages.push_back(message.text); }
  void RequestStep() override { table::ReplaceStep(table_, state_); }
  void Close(int result) override { closed = result; }

  int selected_column = -1;
  std::map<ReplaceCombo, std::string> edits;
  std::map<ReplaceCombo, std::vector<std::string>> lists;
  std::vector<std::string> columns;
  std::set<int> disabled;
  std::vector<std::string> messages;
  int closed = 0;

 private:
  GridModel& table_;
  ReplaceState& state_;
};

class ReplaceTextTest : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& cells) {
    Fill(table_, cells);
    state_.pending_row = 0;
    state_.Restart();
    ui_ = std::make_unique<FakeReplaceUi>(table_, state_);
    dialog_ = std::make_unique<ReplaceTextDialog>(state_, names_, folder_.path(), *ui_);
    dialog_->OnInitDialog();
  }
  void Choose(const std::string& find, const std::string& replacement) {
    ui_->selected_column = 0;
    ui_->edits[ReplaceCombo::kFind] = find;
    ui_->edits[ReplaceCombo::kReplacement] = replacement;
    dialog_->OnChoiceChanged();
  }
  table::Colour Background(int row) const { return table_.GetItemBkColour(row, 1); }

  testing_support::TestFolder folder_{"replace"};
  std::vector<std::string> names_{"Value"};
  GridModel table_;
  ReplaceState state_;
  std::unique_ptr<FakeReplaceUi> ui_;
  std::unique_ptr<ReplaceTextDialog> dialog_;
};

// The first "Заменить" only shows a match; each further one replaces the shown match and shows
// the next, searching again from the first row; the last ends the search.
TEST_F(ReplaceTextTest, ReplaceStepByStep) {
  Open({"10k", "1k", "100"});
  EXPECT_EQ(ui_->disabled.size(), 3u);
  Choose("10", "22");
  EXPECT_TRUE(ui_->disabled.empty());

  dialog_->OnReplace();
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"10k", "1k", "100"}));
  EXPECT_EQ(Background(1), table::kMatchColour);
  EXPECT_TRUE(ui_->messages.empty());

  dialog_->OnReplace();
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"22k", "1k", "100"}));
  EXPECT_EQ(Background(1), table::kPlainColour);
  EXPECT_EQ(Background(3), table::kMatchColour);

  dialog_->OnReplace();
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"22k", "1k", "220"}));
  EXPECT_EQ(Background(3), table::kPlainColour);
  EXPECT_EQ(ui_->messages, std::vector<std::string>{"Поиск текста окончен"});
  EXPECT_EQ(state_.pending_row, 0);
  EXPECT_FALSE(state_.skip || state_.all);
}

TEST_F(ReplaceTextTest, SkipPassesOverAndEndsOnTheLastMatch) {
  Open({"10k", "x", "10u", "10n"});
  Choose("10", "22");
  dialog_->OnReplace();  // shows row 1
  dialog_->OnSkip();     // row 1 unchanged, shows row 3
  EXPECT_EQ(Background(1), table::kPlainColour);
  EXPECT_EQ(Background(3), table::kMatchColour);
  dialog_->OnSkip();  // shows row 4
  dialog_->OnSkip();  // the last match: passed over, search ends
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"10k", "x", "10u", "10n"}));
  EXPECT_EQ(Background(4), table::kPlainColour);
  EXPECT_EQ(ui_->messages.size(), 1u);
  // A finished search: "Пропустить" ends at once again, "Заменить" starts from row 1.
  dialog_->OnSkip();
  EXPECT_EQ(ui_->messages.size(), 2u);
  dialog_->OnReplace();
  EXPECT_EQ(ui_->messages.size(), 2u);
  EXPECT_EQ(Background(1), table::kMatchColour);
}

TEST_F(ReplaceTextTest, ReplaceAllReplacesTheFirstOccurrenceOfEveryCell) {
  Open({"10-10", "5", "a10"});
  Choose("10", "47");
  dialog_->OnReplaceAll();
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"47-10", "5", "a47"}));
  EXPECT_EQ(ui_->messages.size(), 1u);
  for (int row = 1; row <= 3; ++row)
    EXPECT_NE(Background(row), table::kMatchColour);
  // A shown match is replaced as well: "Заменить" then "Заменить все".
  Open({"10", "10"});
  Choose("10", "20");
  dialog_->OnReplace();
  dialog_->OnReplaceAll();
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"20", "20"}));
}

TEST_F(ReplaceTextTest, ChangingTheChoiceReleasesTheShownMatchUnchanged) {
  Open({"10k", "10u"});
  Choose("10", "22");
  dialog_->OnReplace();
  ASSERT_EQ(Background(1), table::kMatchColour);
  Choose("10", "33");
  EXPECT_EQ(Background(1), table::kPlainColour);
  EXPECT_EQ(Column(table_), (std::vector<std::string>{"10k", "10u"}));
  EXPECT_EQ(state_.next_row, 1);
  EXPECT_FALSE(state_.finished);
  // Without a column or with an empty text nothing can be done.
  ui_->selected_column = -1;
  dialog_->OnChoiceChanged();
  EXPECT_EQ(ui_->disabled.size(), 3u);
}

// Row numbers past 10 000 and 20 000 are real rows: the search neither ends early nor starts
// again in the middle of the table.
TEST_F(ReplaceTextTest, LargeTablesSearchToTheirEnd) {
  std::vector<std::string> cells(25000, "x");
  cells[10500] = "10k";
  cells[20000] = "10u";
  cells[24999] = "10n";
  Open(cells);
  Choose("10", "22");
  dialog_->OnReplace();
  EXPECT_EQ(state_.pending_row, 10501);
  EXPECT_TRUE(ui_->messages.empty());
  dialog_->OnSkip();
  EXPECT_EQ(state_.pending_row, 20001);
  EXPECT_TRUE(ui_->messages.empty());
  dialog_->OnReplaceAll();
  EXPECT_EQ(table_.GetItemText(10501, 1), "22k");
  EXPECT_EQ(table_.GetItemText(20001, 1), "22u");
  EXPECT_EQ(table_.GetItemText(25000, 1), "22n");
  EXPECT_EQ(ui_->messages.size(), 1u);
}

TEST_F(ReplaceTextTest, HistoriesRoundTripAsWords) {
  Open({"10 uF"});
  Choose("10 uF", "22");
  dialog_->OnReplace();
  EXPECT_EQ(testing_support::ReadBytes(folder_ + "bom1.txt"), "10 uF\r\n");
  EXPECT_EQ(testing_support::ReadBytes(folder_ + "bom2.txt"), "22\r\n");
  // A text that an entry already begins with (in any letter case) is not added again.
  Choose("10 UF", "2");
  dialog_->OnReplace();
  EXPECT_EQ(testing_support::ReadBytes(folder_ + "bom1.txt"), "10 uF\r\n");
  EXPECT_EQ(testing_support::ReadBytes(folder_ + "bom2.txt"), "22\r\n");

  // Opened again: the entry with a blank comes back as two entries.
  Open({"10 uF"});
  EXPECT_EQ(ui_->lists[ReplaceCombo::kFind], (std::vector<std::string>{"10", "uF"}));
  EXPECT_EQ(ui_->lists[ReplaceCombo::kReplacement], std::vector<std::string>{"22"});
  // "Пропустить" writes no history.
  Choose("Ом", "кОм");
  dialog_->OnSkip();
  EXPECT_EQ(testing_support::ReadBytes(folder_ + "bom2.txt"), "22\r\n");
  dialog_->OnCancel();
  EXPECT_EQ(ui_->closed, 2);
}

// Both histories are written at each "Заменить"; a fault anywhere keeps each whole.
TEST_F(ReplaceTextTest, AFailedHistoryWriteLosesNoHistory) {
  testing_support::ExpectNoFileLost(
      {folder_ + "bom1.txt", folder_ + "bom2.txt"},
      [&] {
        folder_.Write("bom1.txt", "10 uF\r\n");
        folder_.Write("bom2.txt", "22\r\n");
      },
      [&] {
        Open({"4,7 kOhm"});
        Choose("4,7 kOhm", "4,7 кОм");
        dialog_->OnReplace();
      });
}

}  // namespace
}  // namespace zuro::converter
