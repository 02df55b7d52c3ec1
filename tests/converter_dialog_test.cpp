#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "converter/converter_dialog.h"
#include "converter/headless_ui.h"
#include "table/table_file.h"
#include "automation/dispatch.h"
#include "automation/library_context.h"
#include "base/text_encoding.h"

namespace zuro::converter {
namespace {

const std::string kPcadCaption = "Текстовый конвертер P-CAD-ЗЕНТАР";
const std::string kMentorCaption = "Текстовый конвертер MENTOR-ЗЕНТАР";
const std::string kQuantityHeadings = "#Количество в комплекты#Количество на регулировку";
constexpr int kTableCommands[] = {kIdSelectAll, kIdClearAll, kIdCreate, kIdTemplates, kIdReplace};

const std::string kSmallReport =
    "\"Count\";\"RefDes\";\"Value\"\r\n"
    "\"2\";\"R1\";\"10 кОм\"\r\n"
    "\"\";\"R2\";\"10 кОм\"\r\n"
    "\"1\";\"C1\";\"0,1 мкФ\"\r\n";

class ConverterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_ + "library");
    context_.library_folder = folder_ + "library/";
    context_.help_path = folder_ + "zuro.chm";
    context_.command = LibraryCommand::kPcad;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    return files_.Write(name, bytes);
  }
  // Samples are copied into the test's folder, as a designer's reports lie in theirs.
  std::string Sample(const std::string& name) { return files_.CopySample(name); }
  void Open(int command = 1) {
    context_.command = static_cast<LibraryCommand>(command);
    dialog_ = std::make_unique<ConverterDialog>(context_, state_, ui_);
    dialog_->OnInitDialog();
  }
  void Load(const std::optional<std::string>& path) {
    ui_.QueueFile(path);
    dialog_->OnCommand(kIdOpenReport);
  }
  void ChooseKind(int radio, int index) {
    ui_.CheckRadio(kDocumentKindRadios, index);
    dialog_->OnCommand(radio);
  }
  std::vector<std::string> Text() const { return table::TableFileText(dialog_->table()); }
  std::string Header() const { return Text().empty() ? "" : Text()[0]; }
  table::GridModel& Table() { return dialog_->table(); }

  bool CommandsEnabled(bool enabled) const {
    for (const int id : kTableCommands) {
      if (ui_.IsControlEnabled(id) != enabled)
        return false;
    }
    return ui_.IsMenuItemEnabled(kSettingsMenu) == enabled &&
           ui_.IsMenuItemEnabled(kCreateMenu) == enabled;
  }

  testing_support::TestFolder files_{"dialog"};
  const std::string folder_ = files_.path();
  automation::LibraryContext context_;
  converter::WindowState state_;
  HeadlessUi ui_;
  std::unique_ptr<ConverterDialog> dialog_;
};

TEST_F(ConverterDialogTest, StartsEmptyWithTableCommandsGreyed) {
  state_.duplicate_flags = {true, true, true};
  Open();
  EXPECT_TRUE(CommandsEnabled(false));
  for (const int id :
       {kIdSpecRadio, kIdListRadio, kIdPurchaseRadio, kIdSortByElementsRadio, kIdSortByGostRadio})
    EXPECT_FALSE(ui_.IsControlEnabled(id)) << id;
  EXPECT_TRUE(ui_.IsControlEnabled(kIdOpenReport));
  EXPECT_TRUE(ui_.IsMenuItemEnabled(kCreateListMenu));
  EXPECT_EQ(ui_.caption(), kPcadCaption);
  EXPECT_EQ(ui_.CheckedRadio(kDocumentKindRadios), 0);
  EXPECT_EQ(ui_.CheckedRadio(kSortModeRadios), 0);
  EXPECT_EQ(ui_.tooltips().at(kIdOpenReport), " Открыть файл *.ВОМ ");
  EXPECT_EQ(ui_.tooltips().at(kIdClearAll), " Оменить выбор всех элементов ");
  EXPECT_EQ(state_.duplicate_flags, (std::array<bool, 3>{}));
  EXPECT_TRUE(ui_.file_dialogs().empty());
  EXPECT_EQ(Table().GetRowCount(), 0);
}

TEST_F(ConverterDialogTest, ModesAskForTheirOwnReportFiles) {
  Open(5);
  EXPECT_EQ(ui_.caption(), kMentorCaption);
  Load(std::nullopt);
  Open(1);
  Load(std::nullopt);
  ASSERT_EQ(ui_.file_dialogs().size(), 2u);
  const FileDialogRequest& mentor = ui_.file_dialogs()[0];
  const FileDialogRequest& pcad = ui_.file_dialogs()[1];
  EXPECT_EQ(mentor.default_extension + mentor.initial_name + mentor.filter, "lst*.lst*.lst||");
  EXPECT_EQ(pcad.default_extension + pcad.initial_name + pcad.filter, "bom*.bom*.bom||");
  EXPECT_FALSE(pcad.save);
}

TEST_F(ConverterDialogTest, ModelDocumentOffersOnlyTheSpecificationAndAsksAtOnce) {
  context_.active_document = automation::ActiveDocument::kModel;
  ui_.QueueFile(Write("small.bom", kSmallReport));
  Open();
  EXPECT_EQ(ui_.file_dialogs().size(), 1u);
  EXPECT_EQ(Table().GetRowCount(), 3);
  EXPECT_TRUE(ui_.IsMenuItemEnabled(kCreateMenu));
  EXPECT_FALSE(ui_.IsMenuItemEnabled(kCreateListMenu));
  EXPECT_FALSE(ui_.IsMenuItemEnabled(kCreatePurchasedMenu));
  EXPECT_TRUE(ui_.IsMenuItemEnabled({2, 0, 1}));
}

TEST_F(ConverterDialogTest, LoadedReportEnablesCommandsAndGetsQuantityColumns) {
  Open();
  state_.duplicate_flags = {true, true, true};
  Load(Sample("board.bom"));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_TRUE(CommandsEnabled(true));
  for (const int id : kDocumentKindRadios)
    EXPECT_TRUE(ui_.IsControlEnabled(id));
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":board");
  EXPECT_EQ(ui_.resizes().back(), 1);
  EXPECT_EQ(ui_.mark_image_attachments(), 1);
  EXPECT_EQ(state_.report_path, "board.bom");
  EXPECT_EQ(state_.report_folder, folder_);
  EXPECT_EQ(state_.duplicate_flags, (std::array<bool, 3>{}));
  EXPECT_EQ(Text().size(), 31u);
  EXPECT_TRUE(Header().starts_with("#Count#RefDes#Value"));
  EXPECT_TRUE(Header().ends_with("#ID PartLib" + kQuantityHeadings));
  EXPECT_EQ(Table().GetItemFormat(0, Table().GetColumnCount() - 1) & table::kFormatCentre,
            table::kFormatCentre);

  // A reload rebuilds the table before the columns are appended: again exactly two.
  Load(folder_ + "board.bom");
  EXPECT_TRUE(Header().ends_with("#ID PartLib" + kQuantityHeadings));
  EXPECT_EQ(Table().GetColumnCount(), 16 + 3);
}

TEST_F(ConverterDialogTest, MentorListIsConvertedAndRead) {
  Open(5);
  Load(Sample("board.lst"));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Text().size(), 31u);
  EXPECT_EQ(Text()[2].substr(0, 13), "#10#C1...C10#");
  // The converted report's name begins with a blank, and so does the caption's name.
  EXPECT_EQ(state_.report_path, " board.lst");
  EXPECT_EQ(ui_.caption(), kMentorCaption + ": board");
  EXPECT_FALSE(std::filesystem::exists(folder_ + " board.lst"));
}

TEST_F(ConverterDialogTest, ReportWithoutComponentsOrWithoutOutputColumns) {
  Open();
  // A header and no component is refused: an empty table would tell of a board without parts.
  Load(Write("header.bom", "\"Count\";\"RefDes\"\r\n"));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
  EXPECT_EQ(ui_.refusal_reasons(),
            std::vector<std::string>{"no component line after the header line"});
  EXPECT_EQ(Table().GetRowCount(), 0);
  EXPECT_TRUE(state_.report_path.empty());
  EXPECT_TRUE(CommandsEnabled(false));
  EXPECT_EQ(ui_.resizes().back(), -1);
  EXPECT_EQ(ui_.caption(), kPcadCaption);

  // The PDM road writes text lines: no quantity columns.
  context_.output_mode = automation::OutputMode::kTextLines;
  Load(Write("small.bom", kSmallReport));
  EXPECT_EQ(Text(),
            (std::vector<std::string>{"#Count#RefDes#Value", "#2#R1,R2#10 кОм", "#1#C1#0,1 мкФ"}));
  EXPECT_TRUE(CommandsEnabled(true));
}

TEST_F(ConverterDialogTest, BadStructureEmptiesTableAndRestoresCaption) {
  Open(5);
  Load(Sample("board.lst"));
  Load(Write("bad.lst", "Перечень\r\n"));  // no header: the converted report is empty
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_EQ(ui_.messages()[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(Table().GetRowCount(), 0);
  EXPECT_EQ(ui_.caption(), kMentorCaption);
  EXPECT_TRUE(state_.report_path.empty());
  EXPECT_TRUE(CommandsEnabled(false));
  EXPECT_EQ(ui_.resizes().back(), -1);
  EXPECT_FALSE(std::filesystem::exists(folder_ + " bad.lst"));
}

TEST_F(ConverterDialogTest, UnreadableOrCancelledChoiceKeepsTheTable) {
  Open();
  Load(Write("small.bom", kSmallReport));
  const std::vector<std::string> loaded = Text();
  const std::string caption = ui_.caption();

  Load(folder_ + "missing.bom");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_NE(ui_.messages()[0].text.find("missing.bom"), std::string::npos);
  EXPECT_EQ(Text(), loaded);
  EXPECT_EQ(ui_.caption(), caption);
  EXPECT_EQ(state_.report_path, "small.bom");
  EXPECT_TRUE(CommandsEnabled(true));

  // The open command forgets the report's name before it asks for a new one.
  Load(std::nullopt);
  EXPECT_EQ(state_.report_path, "");
  Load(Write("ab", kSmallReport + kSmallReport));  // a name this short reads as cancelled
  EXPECT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(Text(), loaded);
  EXPECT_TRUE(CommandsEnabled(true));

  Open(5);
  Load(folder_ + "missing.lst");
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text, "Не удалось открыть файл missing.lst");
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Reading a list writes nothing beside it: a file of the converted report's name stays as it
// was, and a folder the designer may not write to reads the same.
TEST_F(ConverterDialogTest, MentorListLeavesItsFolderAlone) {
  Open(5);
  const std::string list = Sample("board.lst");
  Write(" board.lst", "чужой файл");
  const std::vector<std::string> before = FolderListing(folder_);
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  Load(list);
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Text().size(), 31u);
  EXPECT_EQ(ui_.caption(), kMentorCaption + ": board");
  EXPECT_EQ(FolderListing(folder_), before);
  EXPECT_EQ(testing_support::ReadBytes(folder_ + " board.lst"), "чужой файл");
}

// A report saved in UTF-8 reads as its code page 1251 twin; a character 1251 has no form for
// becomes "?" and the designer is told once.
TEST_F(ConverterDialogTest, Utf8ReportReadsAsItsCp1251Twin) {
  Open();
  Load(Write("small.bom", kSmallReport));
  const std::vector<std::string> twin = Text();
  Load(Write("utf8.bom", Cp1251ToUtf8(kSmallReport)));
  EXPECT_EQ(Text(), twin);
  Load(Write("bom.bom", "\xEF\xBB\xBF" + Cp1251ToUtf8(kSmallReport)));
  EXPECT_EQ(Text(), twin);
  EXPECT_TRUE(ui_.messages().empty());

  std::string lossy = kSmallReport;
  lossy.replace(lossy.find("кОм"), 3, "к\x01\x02");
  std::string utf8 = Cp1251ToUtf8(lossy);
  utf8.replace(utf8.find("\x01\x02"), 2, "\xE2\x84\xA6\xE2\x84\xA6");  // two signs of ohm
  Load(Write("ohm.bom", utf8));
  EXPECT_EQ(Text()[1], "#2#R1,R2#10 к??##");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_NE(ui_.messages()[0].text.find("ohm.bom"), std::string::npos);
}

TEST_F(ConverterDialogTest, ShortReportNamesGiveShortCaptions) {
  EXPECT_EQ(CaptionWithFileName("K", "board.bom"), "K:board");
  EXPECT_EQ(CaptionWithFileName("K", "a.bom"), "K:a");
  EXPECT_EQ(CaptionWithFileName("K", "abcd"), "K:");
  EXPECT_EQ(CaptionWithFileName("K", "ab"), "K:");
  Open();
  Load(Write("abc", kSmallReport));
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":");
}

TEST_F(ConverterDialogTest, DocumentKindChoiceAddsAndRemovesQuantityColumns) {
  Open();
  Load(Write("small.bom", kSmallReport));
  const std::string loaded = "#Count#RefDes#Value" + kQuantityHeadings;

  ChooseKind(kIdPurchaseRadio, 2);  // the load appended them already
  EXPECT_EQ(Header(), loaded);
  EXPECT_TRUE(dialog_->purchase_columns());
  EXPECT_FALSE(ui_.IsControlEnabled(kIdSortByGostRadio));

  ChooseKind(kIdSpecRadio, 0);
  EXPECT_EQ(Header(), "#Count#RefDes#Value");
  EXPECT_FALSE(dialog_->purchase_columns());

  ChooseKind(kIdPurchaseRadio, 2);
  ChooseKind(kIdPurchaseRadio, 2);
  EXPECT_EQ(Header(), loaded);

  ChooseKind(kIdListRadio, 1);
  EXPECT_EQ(Header(), "#Count#RefDes#Value");
  EXPECT_EQ(dialog_->document_kind(), DocumentKind::kListOfElements);
  EXPECT_TRUE(ui_.IsControlEnabled(kIdSortByElementsRadio));
  EXPECT_TRUE(ui_.IsControlEnabled(kIdSortByGostRadio));

  // Without the flag the specification choice leaves the columns alone.
  ChooseKind(kIdSpecRadio, 0);
  EXPECT_EQ(Header(), "#Count#RefDes#Value");
  EXPECT_EQ(dialog_->document_kind(), DocumentKind::kSpecification);
}

TEST_F(ConverterDialogTest, MarksChangeOnlyInComponentRows) {
  Open();
  Load(Write("small.bom", kSmallReport));
  table::GridModel& table = Table();
  const int redraws = ui_.redraws();

  table.SetFocusCell(1, 1);
  dialog_->OnCommand(kIdGrid);
  EXPECT_EQ(table.GetItemImage(1, 0), 0);
  dialog_->OnCommand(kIdGrid);
  EXPECT_EQ(table.GetItemImage(1, 0), 1);
  table.SetItemImage(2, 0, -1);
  table.SetFocusCell(2, 1);
  dialog_->OnCommand(kIdGrid);
  EXPECT_EQ(table.GetItemImage(2, 0), 1);
  table.SetFocusCell(2, 2);  // only column 1 toggles
  dialog_->OnCommand(kIdGrid);
  EXPECT_EQ(table.GetItemImage(2, 0), 1);
  EXPECT_EQ(ui_.redraws(), redraws + 4);

  table.SetItemImage(0, 0, 7);
  dialog_->OnCommand(kIdClearAll);
  EXPECT_EQ(table.GetItemImage(1, 0) + table.GetItemImage(2, 0), 0);
  dialog_->OnCommand(kIdSelectAll);
  EXPECT_EQ(table.GetItemImage(1, 0) + table.GetItemImage(2, 0), 2);
  EXPECT_EQ(table.GetItemImage(0, 0), 7);
}

TEST_F(ConverterDialogTest, CommandsOfMenuAndButtons) {
  Open();
  Load(Write("small.bom", kSmallReport));
  const std::vector<std::string> loaded = Text();

  // No document is open and the library folder has no patterns: every create command stops
  // before it makes anything.
  for (const int create : {kIdCreateListByGost, kIdCreatePurchased, kIdCreateListByElements})
    dialog_->OnCommand(create);
  dialog_->OnCommand(kIdCreateSpec);
  ASSERT_EQ(ui_.messages().size(), 4u);
  EXPECT_EQ(ui_.messages()[0].text, "Не найден файл шаблона документа patternPE.spw");
  EXPECT_EQ(ui_.messages()[1].text, "Не найден файл шаблона документа patternVP.spw");
  EXPECT_EQ(ui_.messages()[3].text, "Не найден файл шаблона документа patternSP.spw");
  EXPECT_EQ(dialog_->document_kind(), DocumentKind::kSpecification);

  dialog_->OnCommand(kIdTemplates);
  dialog_->OnCommand(kIdTemplatesMenu);
  EXPECT_EQ(ui_.templates_dialogs(), 2);
  dialog_->OnCommand(kIdHelp);
  EXPECT_EQ(ui_.help_requests(), std::vector<std::string>{folder_ + "zuro.chm"});
  for (const int later : {kIdSaveTable, kIdOpenTable, kIdReplace, kIdCreate})
    EXPECT_TRUE(dialog_->OnCommand(later));
  dialog_->OnOk();
  EXPECT_EQ(Text(), loaded);
  EXPECT_FALSE(dialog_->OnCommand(4711));
  EXPECT_FALSE(ui_.close_result());
  dialog_->OnCommand(kIdClose);
  EXPECT_EQ(ui_.close_result(), 2);
}

TEST_F(ConverterDialogTest, TemplatesAreLoadedWhenAReportIsOpened) {
  std::ofstream(context_.library_folder + "bom.cfg") << "1 1\n5 2\n";
  Open();
  Load(std::nullopt);
  EXPECT_TRUE(state_.field_templates.loaded);
  EXPECT_EQ(state_.field_templates.Row(templates::DocumentField::kDesignators)[0], 2);

  Open(5);  // bom4.cfg is missing
  Load(std::nullopt);
  EXPECT_FALSE(state_.field_templates.loaded);
}

// A table saved with all its edits comes back as it was saved, every row marked, in a window
// whose choices start again; the report's name and columns stay those of the last report read.
TEST_F(ConverterDialogTest, SavedTableOpensAgainWithItsEdits) {
  Open();
  Load(Sample("board.bom"));
  ChooseKind(kIdPurchaseRadio, 2);
  Table().SetItemText(3, 3, "0,1 мкФ ±10%");
  Table().SetItemText(1, Table().GetColumnCount() - 2, "5");
  Table().SetItemImage(2, 0, 0);
  const std::vector<std::string> edited = Text();
  state_.duplicate_flags = {true, true, true};

  ui_.QueueFile(folder_ + "saved.tbl");
  dialog_->OnCommand(kIdSaveTable);
  const FileDialogRequest& save = ui_.file_dialogs().back();
  EXPECT_TRUE(save.save && save.overwrite_prompt && save.hide_read_only);
  EXPECT_EQ(save.initial_name + save.default_extension + save.filter, "boardtbl.tbl||");
  const std::string bytes = testing_support::ReadBytes(folder_ + "saved.tbl");
  EXPECT_TRUE(bytes.starts_with("#Count#RefDes#Value#"));
  EXPECT_NE(bytes.find("#Количество в комплекты#Количество на регулировку\r\n#1#A1#"),
            std::string::npos);

  Load(Write("small.bom", kSmallReport));
  ui_.QueueFile(folder_ + "saved.tbl");
  dialog_->OnCommand(kIdOpenTable);
  const FileDialogRequest& open = ui_.file_dialogs().back();
  EXPECT_EQ(open.initial_name + open.default_extension + open.filter, "*.tbltbl.tbl||");
  EXPECT_EQ(Text(), edited);
  EXPECT_EQ(Table().GetItemImage(2, 0), 1);
  EXPECT_EQ(state_.attributes.names.back(), "Количество на регулировку");
  EXPECT_EQ(state_.attributes.names.size(), 18u);
  EXPECT_EQ(state_.report_path, "small.bom");
  EXPECT_EQ(state_.attributes.refdes_column, 2);  // small.bom's, not the table's
  EXPECT_EQ(state_.attributes.partlib_column, -1);
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":saved");
  EXPECT_EQ(dialog_->document_kind(), DocumentKind::kSpecification);
  EXPECT_EQ(ui_.CheckedRadio(kDocumentKindRadios), 0);
  EXPECT_FALSE(dialog_->purchase_columns());
  EXPECT_FALSE(ui_.IsControlEnabled(kIdSortByGostRadio));
  EXPECT_EQ(state_.duplicate_flags, (std::array<bool, 3>{}));
  EXPECT_TRUE(CommandsEnabled(true));

  // The specification choice keeps the columns that came with the table.
  ChooseKind(kIdSpecRadio, 0);
  EXPECT_EQ(Text(), edited);
}

TEST_F(ConverterDialogTest, TableFilesWithATitleLineOnlyOrNothing) {
  Open(5);
  ui_.QueueFile(Write("titles.tbl", "#Count#RefDes\r\n"));
  dialog_->OnCommand(kIdOpenTable);
  EXPECT_EQ(Text(), std::vector<std::string>{"#Count#RefDes"});
  EXPECT_TRUE(CommandsEnabled(true));
  EXPECT_EQ(ui_.caption(), kMentorCaption + ":titles");

  ui_.QueueFile(Write("empty.tbl", ""));
  dialog_->OnCommand(kIdOpenTable);
  EXPECT_EQ(Table().GetRowCount(), 1);
  EXPECT_EQ(Table().GetColumnCount(), 1);
  EXPECT_TRUE(CommandsEnabled(false));
  EXPECT_TRUE(ui_.messages().empty());

  // A cancelled dialog, a short name and a missing file change nothing.
  ui_.QueueFile(Write("titles.tbl", "#Count#RefDes\r\n#1#R1\r\n"));
  dialog_->OnCommand(kIdOpenTable);
  const std::vector<std::string> opened = Text();
  dialog_->OnCommand(kIdOpenTable);
  ui_.QueueFile(Write("a.t", "#x\r\n"));
  dialog_->OnCommand(kIdOpenTable);
  ui_.QueueFile(folder_ + "missing.tbl");
  dialog_->OnCommand(kIdOpenTable);
  EXPECT_EQ(Text(), opened);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не удалось открыть файл missing.tbl");
}

// A table that cannot be written is told of, and the file saved before stays whole.
TEST_F(ConverterDialogTest, UnwritableTableKeepsTheOldFile) {
  Open();
  Load(Write("small.bom", kSmallReport));
  const std::string old_file = Write("kept.tbl", "#old\r\n");
  std::filesystem::create_directory(folder_ + "kept.tbl.new");  // the temporary file's place
  ui_.QueueFile(old_file);
  dialog_->OnCommand(kIdSaveTable);
  EXPECT_EQ(testing_support::ReadBytes(old_file), "#old\r\n");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не удалось записать файл kept.tbl");
  ui_.QueueFile(folder_ + "abc");  // a name this short reads as cancelled
  dialog_->OnCommand(kIdSaveTable);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "abc"));
}

TEST_F(ConverterDialogTest, ReplaceStartsANewSearchAndStepsRunOnTheTable) {
  Open();
  Load(Write("small.bom", kSmallReport));
  state_.replace_state = {};
  state_.replace_state.pending_row = 2;
  state_.replace_state.Finish();
  state_.replace_state.column = 3;
  dialog_->OnCommand(kIdReplace);
  EXPECT_EQ(ui_.replace_dialogs(), 1);
  EXPECT_EQ(state_.replace_state.pending_row, 0);
  EXPECT_EQ(state_.replace_state.next_row, 1);
  EXPECT_FALSE(state_.replace_state.finished);
  EXPECT_EQ(state_.replace_state.column, 3);
  state_.replace_state.find_text = "кОм";
  state_.replace_state.replacement_text = "Ом";
  state_.replace_state.all = true;
  dialog_->OnReplaceStep();
  EXPECT_EQ(Table().GetItemText(1, 3), "10 Ом");
}

// A screen whose file dialog fails as a host call or the library itself may fail.
class FailingUi : public HeadlessUi {
 public:
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override {
    if (++calls_ == 1)
      throw automation::AutomationError("the host failed the call");
    throw std::runtime_error("out of order");
  }

 private:
  int calls_ = 0;
};

TEST(ConverterDialogFailureTest, ErrorsEndTheCommandWithAMessage) {
  automation::LibraryContext context;
  WindowState state;
  context.command = LibraryCommand::kPcad;
  FailingUi ui;
  ConverterDialog dialog(context, state, ui);
  dialog.OnInitDialog();
  EXPECT_TRUE(dialog.OnCommand(kIdOpenReport));
  EXPECT_NO_THROW(dialog.OnCommand(kIdOpenReport));
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_NE(ui.messages()[0].text.find("the host failed the call"), std::string::npos);
  EXPECT_EQ(ui.messages()[1].caption, "Внимание");
  EXPECT_FALSE(ui.close_result());
}

TEST(TableFileTextTest, WritesColumnsFromOneWithEmptyCellsAsAdjacentMarks) {
  table::GridModel table(3, 4, 1, 1);
  table.SetItemText(0, 0, " ");
  table.SetItemText(0, 1, "Count");
  table.SetItemText(0, 2, "RefDes");
  table.SetItemText(0, 3, "Value");
  table.SetItemText(1, 1, "3");
  table.SetItemText(1, 2, "R1...R3");
  table.SetItemText(2, 3, "1 кОм");
  EXPECT_EQ(table::TableFileText(table),
            (std::vector<std::string>{"#Count#RefDes#Value", "#3#R1...R3#", "###1 кОм"}));
  EXPECT_TRUE(table::TableFileText(table::GridModel()).empty());
}

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

TEST(HeadlessUiTest, AnswersInOrderAndWritesMessagesInUtf8) {
  std::vector<std::string> lines;
  HeadlessUi ui([&](const MessageRequest& message) { lines.push_back(MessageLine(message)); });
  ui.QueueAnswer(MessageAnswer::kYes);
  EXPECT_EQ(ui.ShowMessage({"Продолжить?", "", MessageButtons::kYesNo}), MessageAnswer::kYes);
  EXPECT_EQ(ui.ShowMessage({"Продолжить?", "", MessageButtons::kYesNo}), MessageAnswer::kNo);
  EXPECT_EQ(ui.ShowMessage({"Готово", "Внимание", MessageButtons::kOk}), MessageAnswer::kOk);
  const std::string question = Utf8(u8"Продолжить?\n");
  EXPECT_EQ(lines, (std::vector<std::string>{question, question, Utf8(u8"Внимание: Готово\n")}));
  ui.QueueFile("a.bom");
  EXPECT_EQ(ui.ChooseFile({}), "a.bom");
  EXPECT_EQ(ui.ChooseFile({}), std::nullopt);
}

}  // namespace
}  // namespace zuro::converter
