#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "automation/library_context.h"
#include "base/settings.h"
#include "base/text_encoding.h"
#include "converter/converter_dialog.h"
#include "converter/headless_ui.h"
#include "converter/orcad_converter_dialog.h"
#include "converter/settings_dialog.h"
#include "generation/designators.h"
#include "readers/latin_designators.h"
#include "table/component_rows.h"
#include "table/table_file.h"
#include "tests/file_faults.h"
#include "tests/test_folder.h"

namespace zuro {
namespace {

using converter::kIdLatinDesignatorsCheck;
using converter::kIdNotFittedEdit;
using converter::kIdOpenReport;
using converter::kIdSettings;
using converter::kRangeSeparatorRadios;

TEST(SettingsFileTest, ReadsKeysWhateverTheirCaseAndSaysEachLineItIgnored) {
  struct Case {
    std::string text;
    Settings expected;
    size_t ignored;
  };
  const std::vector<Case> cases = {
      {"", {}, 0},
      {"RangeSeparator=-\r\n", {RangeSeparator::kDash, {}, false}, 0},
      {"rangeseparator = ...\nLATINDESIGNATORS=1", {RangeSeparator::kDots, {}, true}, 0},
      {"NotFitted= DNP ; ;Не устанавливать;\n",
       {RangeSeparator::kDots, {"DNP", "Не устанавливать"}, false},
       0},
      // Comments, sections and blank lines say nothing; the last line of a key wins.
      {"; note\n# note\n[zuro]\n\nLatinDesignators=1\nLatinDesignators=0\n", {}, 0},
      // What makes no sense keeps the default and is said once.
      {"RangeSeparator=–\nLatinDesignators=yes\nColour=red\nno equals sign\n=1\n", {}, 5},
  };
  for (const Case& c : cases) {
    const SettingsReading reading = ParseSettings(c.text);
    EXPECT_EQ(reading.settings, c.expected) << c.text;
    EXPECT_EQ(reading.ignored.size(), c.ignored) << c.text;
  }
  EXPECT_EQ(ParseSettings("x\nColour=red\n").ignored,
            (std::vector<std::string>{"line 1: no KEY=VALUE, ignored",
                                      "line 2: unknown key Colour, ignored"}));
}

TEST(SettingsFileTest, WritingKeepsTheDesignersOtherLinesAndLosesNoFile) {
  const Settings chosen{RangeSeparator::kDash, {"DNP", "NF"}, true};
  // Each key's line is replaced where it stands, its repetitions dropped; other lines stay.
  EXPECT_EQ(SettingsText("; mine\r\nrangeseparator=...\nColour=red\nRangeSeparator=...\n", chosen),
            "; mine\r\nRangeSeparator=-\r\nColour=red\r\nNotFitted=DNP;NF\r\n"
            "LatinDesignators=1\r\n");
  EXPECT_EQ(ParseSettings(SettingsText("", chosen)).settings, chosen);

  testing_support::TestFolder folder("settings");
  const std::string path = folder + kSettingsFileName;
  testing_support::ExpectNoFileLost(
      {path}, [&] { folder.Write(kSettingsFileName, "LatinDesignators=0\r\nColour=red\r\n"); },
      [&] { SaveSettings(folder.path(), chosen); });
  ASSERT_TRUE(SaveSettings(folder.path(), chosen));
  EXPECT_EQ(LoadSettings(folder.path()).settings, chosen);
  EXPECT_EQ(LoadSettings(folder.path()).ignored.size(), 1u);  // Colour=red, kept
  EXPECT_EQ(LoadSettings(folder.path() + "missing/").settings, Settings());
  // A file an editor saved in UTF-8 reads as its code page 1251 twin.
  folder.Write(kSettingsFileName, std::string("NotFitted=") + "\xd0\x9d\xd0\x95\r\n");
  EXPECT_EQ(LoadSettings(folder.path()).settings.not_fitted, std::vector<std::string>{"НЕ"});
}

TEST(NotFittedMarksTest, TheWholeCellItsFirstWordOrItsEndInParenthesesOrBrackets) {
  const NotFittedMarks marks({"DNP", "DNI", "Не устанавливать"});
  const std::pair<std::string, std::string> cases[] = {
      {"DNP", "DNP"},
      {" dnp\t", "DNP"},
      {"DNP 10k", "DNP"},
      {"DNP\t10k", "DNP"},
      {"10k [DNP]", "DNP"},
      {"0,1 мкФ (DNI)", "DNI"},
      {"(dni)", "DNI"},
      {"не устанавливать", "Не устанавливать"},
      {"DNPX", ""},
      {"DNP10k", ""},
      {"xDNP", ""},
      {"10k DNP", ""},
      {"(DNP) 10k", ""},
      {"10k (DNP", ""},
      {"10k [DNP)", ""},
      {"10k (DNPX)", ""},
      {"", ""},
  };
  for (const auto& [cell, mark] : cases)
    EXPECT_EQ(marks.MarkOf(cell), mark) << cell;
  EXPECT_EQ(NotFittedMarks({}).MarkOf("DNP"), "");
}

TEST(LatinDesignatorsTest, OnlyDesignatorsWhoseLettersAllLookLatinChange) {
  const std::pair<std::string, std::string> cases[] = {
      {"С1", "C1"},  // Cyrillic С
      {"ВА1,С2, Т3", "BA1,C2, T3"},
      {"рс1", "pc1"},
      {"ХS1...ХS3", "XS1...XS3"},
      {"ДД1,С2", "ДД1,C2"},  // a designator with Д is the designer's own name
      {"R1,C2", "R1,C2"},
      {"", ""},
  };
  for (const auto& [text, latin] : cases)
    EXPECT_EQ(readers::LatinDesignatorText(text), latin) << text;
}

// A list that changed is joined again as its window's reader joins one; value columns and lists
// without look-alikes are left as they are.
TEST(LatinDesignatorsTest, ChangedListsJoinTheirRunsAsTheirWindowJoinsThem) {
  struct Case {
    LibraryCommand command;
    std::string column;
    std::string list;
    std::string expected;
  };
  const Case cases[] = {
      {LibraryCommand::kPcad, "RefDes", "С1,C2,C3,C7", "C1...C3,C7"},
      {LibraryCommand::kPcad, "RefDes", "С1,C2", "C1,C2"},
      {LibraryCommand::kPcad, "RefDes", "R1,R3...R5", "R1,R3...R5"},
      {LibraryCommand::kOrcad, "Reference", "С1,C2,C4,C5", "C1,C2,C4,C5"},
      {LibraryCommand::kOrcad, "Reference", "С1,C2,C3", "C1...C3"},
      {LibraryCommand::kAltiumDesigner, "Designator", "С1,C2,C3", "C1...C3"},
      {LibraryCommand::kAltiumDesigner, "Comment", "С1,C2,C3", "С1,C2,C3"},
      {LibraryCommand::kPcad, "Designator", "С1,C2,C3", "С1,C2,C3"},
  };
  for (const Case& c : cases) {
    table::GridModel table;
    readers::ReportAttributes attributes;
    table.SetColumnCount(3);
    table.SetRowCount(2);
    attributes.names = {"Value", c.column};
    if (c.column == "RefDes")
      attributes.refdes_column = 2;
    table.SetItemText(1, 1, "С1");
    table.SetItemText(1, 2, c.list);
    readers::UseLatinDesignators(table, attributes, c.command);
    EXPECT_EQ(table.GetItemText(1, 2), c.expected) << c.column << " " << c.list;
    EXPECT_EQ(table.GetItemText(1, 1), "С1");
  }
}

TEST(DocumentRangesTest, OnlyTheRunsTakeTheDash) {
  EXPECT_EQ(generation::DocumentRanges("DA1-1,R1...R5,\nC2", RangeSeparator::kDash),
            "DA1-1,R1-R5,\nC2");
  EXPECT_EQ(generation::DocumentRanges("R1...R5", RangeSeparator::kDots), "R1...R5");
}

// A settings dialog played headlessly: the controls it was given and what the designer changed.
class HeadlessSettingsUi : public converter::SettingsUi {
 public:
  void CheckRadio(std::span<const int>, int index) override { radio_ = index; }
  int CheckedRadio(std::span<const int>) const override { return radio_; }
  void SetText(int id, const std::string& text) override { texts_[id] = text; }
  std::string Text(int id) const override { return texts_.count(id) ? texts_.at(id) : ""; }
  void SetChecked(int id, bool checked) override { checks_[id] = checked; }
  bool IsChecked(int id) const override { return checks_.count(id) && checks_.at(id); }
  converter::MessageAnswer ShowMessage(const converter::MessageRequest& message) override {
    messages.push_back(message.text);
    return converter::MessageAnswer::kOk;
  }
  void ShowHelp(const std::string& path) override { help.push_back(path); }
  void Close(int result) override { closed = result; }

  int radio_ = -1;
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  std::vector<std::string> messages;
  std::vector<std::string> help;
  std::optional<int> closed;
};

TEST(SettingsDialogTest, OkWritesTheFileCancelWritesNothingAFailedWriteKeepsTheDialog) {
  testing_support::TestFolder folder("dialog");
  folder.Write(kSettingsFileName, "NotFitted=DNP\r\n; mine\r\n");
  const std::string path = folder + kSettingsFileName;

  HeadlessSettingsUi ui;
  converter::SettingsDialog dialog(folder.path(), "/lib/zuro.chm", ui);
  dialog.OnInitDialog();
  EXPECT_EQ(ui.radio_, 0);
  EXPECT_EQ(ui.texts_[kIdNotFittedEdit], "DNP");
  EXPECT_FALSE(ui.checks_[kIdLatinDesignatorsCheck]);
  dialog.OnHelp();
  EXPECT_EQ(ui.help, std::vector<std::string>{"/lib/zuro.chm::/settings.htm"});

  ui.radio_ = 1;
  ui.texts_[kIdNotFittedEdit] = "DNP; NF ;;";
  ui.checks_[kIdLatinDesignatorsCheck] = true;
  dialog.OnCancel();
  EXPECT_EQ(ui.closed, converter::kIdClose);
  EXPECT_EQ(testing_support::ReadBytes(path), "NotFitted=DNP\r\n; mine\r\n");

  ui.closed.reset();
  SetFileFaultHook([](const char* step) { return std::string(step) == "move"; });
  dialog.OnOk();
  SetFileFaultHook(nullptr);
  EXPECT_FALSE(ui.closed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].starts_with("Не удалось записать файл ")) << ui.messages[0];
  EXPECT_EQ(testing_support::ReadBytes(path), "NotFitted=DNP\r\n; mine\r\n");

  dialog.OnOk();
  EXPECT_EQ(ui.closed, converter::kIdCreate);
  EXPECT_EQ(testing_support::ReadBytes(path),
            "NotFitted=DNP;NF\r\n; mine\r\nRangeSeparator=-\r\nLatinDesignators=1\r\n");
  EXPECT_EQ(dialog.settings(), (Settings{RangeSeparator::kDash, {"DNP", "NF"}, true}));
}

// A P-CAD report with a part not fitted, one marked in its value's end, and a capacitor typed
// with a Cyrillic С.
const std::string kReport =
    "\"Count\";\"RefDes\";\"Value\"\r\n"
    "\"3\";\"R1\";\"10 кОм\"\r\n"
    "\"\";\"R2\";\"10 кОм\"\r\n"
    "\"\";\"R3\";\"10 кОм\"\r\n"
    "\"1\";\"R4\";\"DNP\"\r\n"
    "\"3\";\"С1\";\"0,1 мкФ\"\r\n"
    "\"\";\"C2\";\"0,1 мкФ\"\r\n"
    "\"\";\"C3\";\"0,1 мкФ\"\r\n"
    "\"1\";\"C4\";\"10 мкФ [dnp]\"\r\n";

class SettingsInTheWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.path() + "library");
    context_.library_folder = folder_.path() + "library/";
    context_.command = LibraryCommand::kPcad;
    report_ = folder_.Write("board.bom", kReport);
  }
  void Open() {
    window_ = std::make_unique<converter::ConverterDialog>(context_, state_, ui_);
    window_->OnInitDialog();
  }
  void Read() {
    ui_.QueueFile(report_);
    window_->OnCommand(kIdOpenReport);
  }
  std::vector<int> Unticked() const {
    std::vector<int> rows;
    for (int row = 1; row < window_->table().GetRowCount(); ++row) {
      if (window_->table().GetItemImage(row, 0) == table::kUnmarked)
        rows.push_back(row);
    }
    return rows;
  }
  void WriteSettings(const std::string& text) {
    folder_.Write("library/" + std::string(kSettingsFileName), text);
  }

  testing_support::TestFolder folder_{"window"};
  automation::LibraryContext context_;
  converter::WindowState state_;
  converter::HeadlessUi ui_;
  std::unique_ptr<converter::ConverterWindow> window_;
  std::string report_;
};

// Without the file every row is ticked and the designators are as typed; the settings of the file
// are read when the window opens, and again after the dialog's OK, never after its Отмена.
TEST_F(SettingsInTheWindowTest, ReadingActsOnTheRowsAndDesignatorsOnlyWhenAsked) {
  Open();
  Read();
  EXPECT_TRUE(Unticked().empty());
  EXPECT_EQ(window_->table().GetItemText(3, 2), "С1,C2...C3");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер P-CAD-ЗЕНТАР:board");

  WriteSettings("NotFitted=DNP;NF\r\nLatinDesignators=1\r\n");
  Read();  // the window read its settings when it opened
  EXPECT_TRUE(Unticked().empty());

  ui_.PlaySettingsDialog([] { return false; });
  window_->OnCommand(kIdSettings);
  Read();
  EXPECT_TRUE(Unticked().empty());

  ui_.PlaySettingsDialog([] { return true; });
  window_->OnCommand(kIdSettings);
  Read();
  EXPECT_EQ(Unticked(), (std::vector<int>{2, 4}));
  EXPECT_EQ(window_->table().GetItemText(3, 2), "C1...C3");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер P-CAD-ЗЕНТАР:board - не отмечено строк: 2 (DNP)");
  EXPECT_EQ(ui_.settings_dialogs(), 2);
  EXPECT_TRUE(std::none_of(
      ui_.messages().begin(), ui_.messages().end(),
      [](const converter::MessageRequest& m) { return m.text.find("DNP") != std::string::npos; }));

  // A table file is no report: its rows come back ticked, its caption without a note.
  const std::string tbl = folder_ + "board.tbl";
  ASSERT_TRUE(table::WriteTableFile(tbl, window_->table()));
  ui_.QueueFile(tbl);
  window_->OnCommand(converter::kIdOpenTable);
  EXPECT_TRUE(Unticked().empty());
  EXPECT_EQ(window_->table().GetItemText(3, 2), "C1...C3");
}

}  // namespace
}  // namespace zuro
