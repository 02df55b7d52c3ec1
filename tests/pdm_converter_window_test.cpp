// The PDM window as the PDM opens it: the handed report read at start-up, the two kinds of rows
// shown and hidden, and Create writing the object lines of the rows passed on, in the
// specification's order, beside the report and over res.txt; Cancel leaving no res.txt.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/file_faults.h"
#include "tests/test_folder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "converter/pdm_converter_window.h"
#include "table/component_rows.h"

namespace zuro::pdm {
namespace {

using converter::HeadlessUi;
using converter::kIdShowItems;
using converter::kIdShowUnits;
using converter::kIdUnitTemplates;
using converter::PdmConverterWindow;

// Object lines that name their row's designator, so that the order of the list shows.
class NamingLines : public PdmObjectLines {
 public:
  bool Begin(const std::string&) override {
    ++begins;
    return templates_readable;
  }
  void AppendLines(const table::GridModel& table,
                   const readers::ReportAttributes&,
                   int row,
                   std::string& list) override {
    list += table.GetItemText(row, 2) + "#\n";
    warnings_.push_back("warning of " + table.GetItemText(row, 2));
  }
  std::vector<std::string> TakeWarnings() override { return std::exchange(warnings_, {}); }
  bool templates_readable = true;
  int begins = 0;

 private:
  std::vector<std::string> warnings_;
};

const std::string kReport =
    "\"Count\";\"RefDes\";\"TypeElement\";\"Name\";\"Раздел\"\r\n"
    "\"1\";\"R1\";\"Резистор\";\"С2-33\";\"Прочие изделия\"\r\n"
    "\"1\";\"A1\";\"Плата\";\"АБВГ\";\"Сборочные единицы\"\r\n"
    "\"1\";\"C1\";\"Конденсатор\";\"К10-17\";\"Прочие изделия\"\r\n";

class PdmWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = files_ + "library/";
    std::filesystem::create_directories(library_);
    context_.library_folder = library_;
  }
  void Start(const std::string& report_path) {
    window_ = std::make_unique<PdmConverterWindow>(context_, state_, ui_, lines_, report_path);
    window_->OnInitDialog();
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int row = 1; row < window_->table().GetRowCount(); ++row)
      cells.push_back(window_->table().GetItemText(row, column));
    return cells;
  }
  std::string ObjectList() const { return testing_support::ReadBytes(library_ + "res.txt"); }

  testing_support::TestFolder files_{"pdm_window"};
  std::string library_;
  automation::LibraryContext context_;
  converter::WindowState state_;
  HeadlessUi ui_;
  NamingLines lines_;
  std::unique_ptr<PdmConverterWindow> window_;
};

TEST_F(PdmWindowTest, StartUpReadsTheHandedReportWithoutAFileDialog) {
  Start(files_.Write("board.bom", kReport));
  EXPECT_TRUE(ui_.file_dialogs().empty());
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер ZURO-ВЕЛДОР:board");
  EXPECT_EQ(Column(0), (std::vector<std::string>{"ЭРИ(1/2)", "ЭРИ(2/2)", "СЕ(1/1)"}));
  EXPECT_TRUE(ui_.IsMenuItemChecked(kIdShowItems));
  EXPECT_TRUE(ui_.IsMenuItemChecked(kIdShowUnits));
  EXPECT_TRUE(ui_.IsControlEnabled(converter::kIdCreate));
  EXPECT_EQ(context_.output_mode, automation::OutputMode::kTextLines);
  EXPECT_EQ(context_.command, LibraryCommand::kPcad);
  // No quantity columns: the object lines have no use for them.
  EXPECT_EQ(window_->table().GetColumnCount(), 6);

  // A later open asks for the report with the window's own filter.
  window_->OnCommand(converter::kIdOpenReport);
  ASSERT_EQ(ui_.file_dialogs().size(), 1u);
  EXPECT_EQ(ui_.file_dialogs()[0].filter, "*.bom;*.lst||");
}

TEST_F(PdmWindowTest, ReportThatIsNoReportLeavesTheWindowEmpty) {
  Start(files_.Write("board.bom", "Count;RefDes\r\n1;R1\r\n"));
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер ZURO-ВЕЛДОР");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
  EXPECT_FALSE(ui_.IsControlEnabled(converter::kIdCreate));
}

// P-CAD's other layouts are read by the converter window only: this window would take the
// separators of a "separated" report for values, and a "formatted" one has no quotes to read.
TEST_F(PdmWindowTest, OtherPcadLayoutsAreRefused) {
  for (const char* sample : {"board_separated.bom", "board_formatted.bom"}) {
    SCOPED_TRACE(sample);
    ui_ = HeadlessUi();
    Start(files_.Write(
        sample, testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + sample)));
    ASSERT_EQ(ui_.messages().size(), 1u);
    EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
    EXPECT_EQ(window_->table().GetRowCount(), 0);
    EXPECT_FALSE(ui_.IsControlEnabled(converter::kIdCreate));
  }
  // The same records separated by ";" are read.
  std::string report = kReport;
  Start(files_.Write("semicolons.bom", report));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"R1", "C1", "A1"}));
}

// Hiding a kind unmarks its rows; "Выбрать все" marks them again although they stay hidden, and
// Create then passes them on. The list runs in the specification's order: by component.
TEST_F(PdmWindowTest, HiddenRowsSelectAllAndCreateInSortedOrder) {
  Start(files_.Write("board.bom", kReport));
  window_->OnCommand(kIdShowUnits);
  const table::GridModel& table = window_->table();
  EXPECT_FALSE(ui_.IsMenuItemChecked(kIdShowUnits));
  EXPECT_EQ(table.GetRowHeight(3), 0);
  EXPECT_EQ(table.GetItemImage(3, 0), -1);
  EXPECT_EQ(table.GetItemImage(1, 0), table::kMarked);

  window_->OnCommand(converter::kIdCreate);
  EXPECT_EQ(ObjectList(), "C1#\nR1#\n");
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.txt"), "C1#\nR1#\n");
  EXPECT_EQ(ui_.close_result(), converter::kIdCreate);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text, "warning of R1");

  window_->OnCommand(converter::kIdSelectAll);
  EXPECT_EQ(table.GetRowHeight(3), 0);
  window_->OnCommand(converter::kIdCreate);
  EXPECT_EQ(ObjectList(), "C1#\nA1#\nR1#\n");

  // Shown again, the rows get their height back and are marked.
  window_->OnCommand(kIdShowUnits);
  EXPECT_EQ(table.GetRowHeight(3), table.GetRowHeight(0));
  EXPECT_EQ(table.GetItemImage(3, 0), table::kMarked);
}

TEST_F(PdmWindowTest, ListOfElementsChoiceWritesAnEmptyList) {
  Start(files_.Write("board.bom", kReport));
  files_.Write("library/res.txt", "old#\n");
  ui_.CheckRadio(converter::kDocumentKindRadios, 1);
  window_->OnOk();
  EXPECT_EQ(ObjectList(), "");
  EXPECT_EQ(ui_.close_result(), converter::kIdCreate);
}

// A second "Открыть..." cancelled in its file dialog changes nothing: the table still names its
// report, whose name the table file is offered under and beside which Create writes the list.
TEST_F(PdmWindowTest, CancelledSecondOpenKeepsTheReport) {
  Start(files_.Write("board.bom", kReport));
  window_->OnCommand(converter::kIdOpenReport);  // no file queued: the dialog is cancelled
  EXPECT_EQ(state_.report_path, "board.bom");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер ZURO-ВЕЛДОР:board");
  EXPECT_EQ(Column(2), (std::vector<std::string>{"R1", "C1", "A1"}));

  window_->OnCommand(converter::kIdSaveTable);
  EXPECT_EQ(ui_.file_dialogs().back().initial_name, "board");
  window_->OnCommand(converter::kIdCreate);
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.txt"), "C1#\nA1#\nR1#\n");
  EXPECT_FALSE(FileExists(files_ + ".txt"));
}

// Missing templates leave the window open with nothing written; Cancel then deletes the object
// list of an earlier run.
TEST_F(PdmWindowTest, MissingTemplatesThenCancel) {
  Start(files_.Write("board.bom", kReport));
  files_.Write("library/res.txt", "old#\n");
  lines_.templates_readable = false;
  window_->OnCommand(converter::kIdCreate);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не созданы шаблоны полей КД");
  EXPECT_EQ(ObjectList(), "old#\n");
  EXPECT_FALSE(FileExists(files_ + "board.txt"));
  EXPECT_FALSE(ui_.close_result().has_value());

  window_->OnCancel();
  EXPECT_FALSE(FileExists(library_ + "res.txt"));
  EXPECT_EQ(ui_.close_result(), converter::kIdClose);
}

// A work database whose names1 cannot take the rows (a bom.db from elsewhere) keeps the window
// open with nothing written, even though the lines were composed while the rows were stored: the
// designer is told of the database, and of none of the lines' warnings.
TEST_F(PdmWindowTest, RowsTheDatabaseCannotTakeWriteNothing) {
  Start(files_.Write("board.bom", kReport));
  files_.Write("library/res.txt", "old#\n");
  files_.Write("board.txt", "old beside#\n");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((library_ + "bom.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE names1 (name BLOB)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  window_->OnCommand(converter::kIdCreate);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_TRUE(ui_.messages()[0].text.starts_with("Не удалось записать рабочую базу данных"))
      << ui_.messages()[0].text;
  EXPECT_EQ(ObjectList(), "old#\n");
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.txt"), "old beside#\n");
  EXPECT_FALSE(ui_.close_result().has_value());
}

// A file that cannot be written (here its temporary file's name is taken by a folder) is told
// of, and the other one is written all the same: the PDM receives this run's objects where the
// report's folder takes no file, and none of an earlier run where res.txt cannot be replaced.
TEST_F(PdmWindowTest, AFileThatCannotBeWrittenIsToldOfAndTheOtherWritten) {
  const struct {
    const char* blocked;  // the file whose temporary file cannot be made
    std::optional<std::string> list;
    std::optional<std::string> beside;
  } cases[] = {
      {"board.txt", "C1#\nA1#\nR1#\n", "old beside#\n"},
      {"library/res.txt", std::nullopt, "C1#\nA1#\nR1#\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.blocked);
    ui_ = HeadlessUi();
    Start(files_.Write("board.bom", kReport));
    files_.Write("library/res.txt", "old#\n");
    files_.Write("board.txt", "old beside#\n");
    std::filesystem::create_directories(files_ + c.blocked + ".new");
    window_->OnCommand(converter::kIdCreate);
    EXPECT_EQ(ui_.close_result(), converter::kIdCreate);
    ASSERT_FALSE(ui_.messages().empty());
    EXPECT_EQ(ui_.messages().back().text, "Не удалось записать файл " + (files_ + c.blocked));
    EXPECT_EQ(testing_support::FileBytes(library_ + "res.txt"), c.list);
    EXPECT_EQ(testing_support::FileBytes(files_ + "board.txt"), c.beside);
    std::filesystem::remove(files_ + c.blocked + ".new");
  }
}

// A Mentor list is read without a file written beside it: the designer's own board.bom there is
// left as it was. A report in a folder whose name holds "lst" is a P-CAD report.
TEST_F(PdmWindowTest, MentorListTouchesNoFileBesideIt) {
  files_.Write("board.bom", "designer's own report\r\n");
  Start(files_.Write("board.lst",
                     "QTY;REFDES;TypeElement\r\n2;R1,R2;Резистор\r\n1;C1;Конденсатор\r\n"));
  EXPECT_EQ(context_.command, LibraryCommand::kMentor);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"R1", "R2", "C1"}));
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.bom"), "designer's own report\r\n");

  std::filesystem::create_directories(files_ + "lst-files");
  window_->OnCommand(converter::kIdClose);
  Start(files_.Write("lst-files/board.bom", kReport));
  EXPECT_EQ(context_.command, LibraryCommand::kPcad);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"R1", "C1", "A1"}));
}

TEST_F(PdmWindowTest, TemplateCommandsOpenTheDialogInTheirMode) {
  Start(files_.Write("board.bom", kReport));
  window_->OnCommand(converter::kIdTemplates);
  window_->OnCommand(kIdUnitTemplates);
  EXPECT_EQ(ui_.attribute_template_modes(),
            (std::vector<TemplateMode>{TemplateMode::kEri, TemplateMode::kSe}));
}

}  // namespace
}  // namespace zuro::pdm
