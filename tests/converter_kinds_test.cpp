// The OrCAD and the Protel / Altium Designer / Cadence Allegro windows where they differ from the
// P-CAD window: titles, file dialogs, the converted CSV kept beside a report, the marks and the
// second open command.
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "base/text_encoding.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "converter/protel_converter_dialog.h"
#include "automation/library_context.h"
#include "readers/designator_lists.h"
#include "table/table_file.h"

namespace zuro::converter {
namespace {

const std::string kAltiumText =
    "Bill of materials\r\n"
    "Designator\tQuantity\tComment\r\n"
    "C3,C1,C2\t3\t100n\r\n"
    "R1\t1\t10k\r\n";

class ConverterKindsTest : public ::testing::Test {
 protected:
  void Open(int command) {
    context_.command = static_cast<LibraryCommand>(command);
    context_.library_folder = files_.path();
    window_ = MakeConverterWindow(context_, state_, ui_);
    ASSERT_TRUE(window_);
    window_->OnInitDialog();
  }
  void Load(const std::string& path, int command = kIdOpenReport) {
    ui_.QueueFile(path);
    window_->OnCommand(command);
  }
  std::vector<std::string> Text() const { return table::TableFileText(window_->table()); }

  testing_support::TestFolder files_{"kinds"};
  automation::LibraryContext context_;
  converter::WindowState state_;
  HeadlessUi ui_;
  std::unique_ptr<ConverterWindow> window_;
};

TEST_F(ConverterKindsTest, EachCommandHasItsWindowTitleAndFileDialog) {
  struct Expected {
    int command;
    int dialog;
    const char* title;
    const char* dialog_fields;  // extension, initial name and filter
  };
  const Expected kinds[] = {
      {1, 1000, "Текстовый конвертер P-CAD-ЗЕНТАР", "bom*.bom*.bom||"},
      {2, 1003, "Текстовый конвертер OrCAD-ЗЕНТАР", "bom*.bom*.bom||"},
      {3, 1005, "Текстовый конвертер Protel-ЗЕНТАР", "csv*.csv*.csv||"},
      {4, 1005, "Текстовый конвертер Altium Designer-ЗЕНТАР", "csv;txt*csv;*.txt*.csv;*.txt||"},
      {5, 1000, "Текстовый конвертер MENTOR-ЗЕНТАР", "lst*.lst*.lst||"},
      {6, 1005, "Текстовый конвертер Cadence Allegro-ЗЕНТАР",
       "htm*.htm;*.csv;*.txt*.htm;*.csv;*.txt||"},
  };
  for (const Expected& kind : kinds) {
    SCOPED_TRACE(kind.command);
    Open(kind.command);
    EXPECT_EQ(window_->DialogTemplate(), kind.dialog);
    EXPECT_EQ(ui_.caption(), kind.title);
    Load("");
    const FileDialogRequest& request = ui_.file_dialogs().back();
    EXPECT_EQ(request.default_extension + request.initial_name + request.filter,
              kind.dialog_fields);
  }
  context_.command = LibraryCommand{7};
  EXPECT_FALSE(MakeConverterWindow(context_, state_, ui_));
}

// The CSV is kept beside the report for the designer where no file of its name is; the caption
// and ReportPath name it. Read again, the report gives its table anew and leaves the CSV of the
// first reading as it is.
TEST_F(ConverterKindsTest, AltiumReportIsReadThroughTheCsvKeptBesideIt) {
  Open(4);
  Load(files_.Write("board.txt", kAltiumText));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Text(), (std::vector<std::string>{"#Designator#Quantity#Comment#Количество в комплекты"
                                              "#Количество на регулировку",
                                              "#C1...C3#3#100n##", "#R1#1#10k##"}));
  const std::string kept =
      "\"Bill of materials\",\r\n\"Designator\",\"Quantity\",\"Comment\",\r\n\r\n"
      "\"C3,C1,C2\",\"3\",\"100n\",\r\n\"R1\",\"1\",\"10k\",\r\n";
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.csv"), kept);
  EXPECT_EQ(state_.report_path, "board.csv");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер Altium Designer-ЗЕНТАР:board");

  Load(files_.Write("board.txt", kAltiumText + "R2\t1\t22k\r\n"));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Text().back(), "#R2#1#22k##");
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.csv"), kept);
}

// Each new layout read in its window beside the designer's own CSV of the name the conversion
// would take: the table comes from the conversion in memory, nobody is told, the CSV keeps its
// bytes, and ReportPath and the caption name the report as always.
TEST_F(ConverterKindsTest, NewLayoutsReadInTheirWindowsBesideTheDesignersCsv) {
  const auto data = [](const std::string& name) {
    return testing_support::ReadBytes(std::string(ZURO_TEST_DATA) + "/" + name);
  };
  const std::string designers = data("designer_board.csv");
  const struct {
    int command;
    const char* report;
    std::string text;
    int designator_column;
    std::vector<std::string> designators;  // of each row
    const char* caption;
  } kReports[] = {
      {6,
       "board.htm",
       data("allegro_condensed_attributes.htm"),
       7,
       {"X1, X2", "C1...C12", "R2...R4", "DA1", "R1,R5...R8"},
       "Текстовый конвертер Cadence Allegro-ЗЕНТАР:board"},
      {6,
       "board.txt",
       data("allegro_report.txt"),
       7,
       {"X1,X2", "C1...C12", "R2...R4", "DA1", "R1,R5...R8"},
       "Текстовый конвертер Cadence Allegro-ЗЕНТАР:board"},
      {4,
       "board.txt",
       kAltiumText,
       1,
       {"C1...C3", "R1"},
       "Текстовый конвертер Altium Designer-ЗЕНТАР:board"},
      {3,
       "bom.csv",
       data("altium_undoubled_quote.csv"),
       3,
       {"J1...J3", "C1...C4", "H1...H4", "R1"},
       "Текстовый конвертер Protel-ЗЕНТАР:bom"},
      {4,
       "bom.csv",
       data("altium_undoubled_quote.csv"),
       3,
       {"J1...J3", "C1...C4", "H1...H4", "R1"},
       "Текстовый конвертер Altium Designer-ЗЕНТАР:bom"},
  };
  for (const auto& report : kReports) {
    SCOPED_TRACE(std::string(report.report) + " " + std::to_string(report.command));
    Open(report.command);
    files_.Write("board.csv", designers);
    Load(files_.Write(report.report, report.text));
    EXPECT_TRUE(ui_.messages().empty());
    std::vector<std::string> designators;
    for (int row = 1; row < window_->table().GetRowCount(); ++row)
      designators.push_back(window_->table().GetItemText(row, report.designator_column));
    EXPECT_EQ(designators, report.designators);
    EXPECT_EQ(testing_support::ReadBytes(files_ + "board.csv"), designers);
    EXPECT_EQ(testing_support::ReadBytes(files_ + report.report), report.text);
    EXPECT_EQ(ui_.caption(), report.caption);
    const std::string name = report.report;
    EXPECT_EQ(state_.report_path, name.substr(0, name.find('.')) + ".csv");
  }
}

// Every layout of a real report reads whole in its window: as many designators as the report's
// quantities add up to, each of them counted as the documents will count it, and no message.
TEST_F(ConverterKindsTest, RealReportLayoutsReadWholeInTheirWindows) {
  const struct {
    int command;
    const char* fixture;
    int64_t designators;  // counted by hand in the fixture
  } kFixtures[] = {
      {1, "pcad_formatted_widened.bom", 19},
      {5, "partlister_wide.lst", 40},
      {5, "partlister_tabbed.lst", 11},
      {2, "orcad_header_first.bom", 5},
      {2, "orcad_capture_breaks.bom", 15},
      {3, "altium_channels.csv", 12},
      {4, "altium_channels.csv", 12},
      {3, "altium_undoubled_quote.csv", 12},
      {6, "allegro_condensed_attributes.htm", 23},
      {6, "allegro_report.txt", 23},
  };
  const std::vector<std::string> designator_titles = {"RefDes", "Reference", "Part Reference",
                                                      "Designator", "REFDES"};
  for (const auto& fixture : kFixtures) {
    SCOPED_TRACE(std::string(fixture.fixture) + " in " + std::to_string(fixture.command));
    Open(fixture.command);
    Load(files_.Write(fixture.fixture, testing_support::ReadBytes(std::string(ZURO_TEST_DATA) +
                                                                  "/" + fixture.fixture)));
    EXPECT_TRUE(ui_.messages().empty());
    const table::GridModel& table = window_->table();
    int column = 0;
    for (int col = 1; col < table.GetColumnCount(); ++col) {
      if (std::count(designator_titles.begin(), designator_titles.end(), table.GetItemText(0, col)))
        column = col;
    }
    ASSERT_GT(column, 0);
    int64_t designators = 0;
    for (int row = 1; row < table.GetRowCount(); ++row)
      designators += readers::CountDesignators(table.GetItemText(row, column));
    EXPECT_EQ(designators, fixture.designators);
  }
}

// A refused report is refused with the window's message, and the reason the command line prints
// after it names the line and what was expected there.
TEST_F(ConverterKindsTest, EveryRefusalSaysWhy) {
  const struct {
    int command;
    const char* name;
    std::string text;
    std::string reason;
  } kReports[] = {
      {1, "a.bom", "\"Count\",\"RefDes\"\r\n\r\n\"2\",\"R1\"\r\n\"\",\"\"\r\n",
       "line 4: no designator in the RefDes field of a part of the component"},
      {1, "b.bom", "\"Count\";\"RefDes\"\r\n", "no component line after the header line"},
      {1, "c.bom", "P-CAD Bill of Materials\r\n\r\nCount  RefDes\r\n------ ------\r\n     2 R1\r\n",
       "line 5: the component lists 1 of its 2 designators"},
      {5, "d.lst",
       "Part Lister output\r\n#  QTY REFDES VALUE\r\n-- --- ------ -----\r\n1  3   C1,C2  1u\r\n",
       "line 4: 2 designators listed for a quantity of 3"},
      {5, "e.lst", "Перечень\r\n", "no header line naming \"REFDES\" and \"QTY\""},
      {2, "f.bom", "\"Bill\"\r\nItem\tQuantity\tReference\r\n",
       "line 1: begins with a double quote, as a report of quoted fields does"},
      {2, "g.bom", "Title\r\nItem\tQuantity\tDesignator\r\n1\t1\tR1\r\n",
       "line 2: the designators' column is named as other systems name it, and none "
       "\"Reference\""},
      {3, "h.csv", "Designator,Quantity\r\n\"R1, R2\",3\r\n",
       "the quantities add up to 3, the designators listed number 2"},
      {4, "i.csv", "Ref,Qnty,Value\r\nR1,2,10k\r\n",
       "row 1: 1 designator listed for a quantity of 2"},
  };
  for (const auto& report : kReports) {
    SCOPED_TRACE(report.name);
    ui_ = HeadlessUi();
    Open(report.command);
    Load(files_.Write(report.name, report.text));
    ASSERT_EQ(ui_.messages().size(), 1u);
    EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
    EXPECT_EQ(ui_.refusal_reasons(), std::vector<std::string>{report.reason});
    EXPECT_EQ(window_->table().GetRowCount(), 0);
  }
}

// An Altium Designer report saved as CSV bears the name its conversion would get: it is read from
// the conversion in memory and never written over, in any letter case.
TEST_F(ConverterKindsTest, ReportBearingTheCsvNameIsNeverWrittenOver) {
  Open(4);
  const std::string report =
      "\"Designator\",\"Quantity\",\"Comment\"\r\n\"C3,C1,C2\",\"3\",\"100n\"\r\n";
  Load(files_.Write("BOARD.CSV", report));
  EXPECT_EQ(testing_support::ReadBytes(files_ + "BOARD.CSV"), report);
  EXPECT_EQ(Text()[1], "#C1...C3#3#100n##");
  EXPECT_TRUE(ui_.messages().empty());
}

// A CSV that cannot be written costs the table nothing; the designer is told.
TEST_F(ConverterKindsTest, UnwritableCsvStillGivesTheTable) {
  Open(6);
  std::filesystem::create_directory(files_ + "board.csv.new");
  Load(files_.Write("board.htm",
                    "<tr>\r\n<td><b>Designator</b></td>\r\n<td><b>Quantity</b></td>\r\n</tr>\r\n"
                    "<td nowrap>R1;R2;R3</td>\r\n<td nowrap>3</td>\r\n</tr>\r\n"));
  EXPECT_EQ(Text()[1], "#R1...R3#3##");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не удалось записать файл board.csv");
  EXPECT_FALSE(std::filesystem::exists(files_ + "board.csv"));
}

TEST(ConvertedCsvNameTest, TheLastExtensionBecomesCsv) {
  EXPECT_EQ(ConvertedCsvName("board.txt"), "board.csv");
  EXPECT_EQ(ConvertedCsvName("плата.v2.htm"), "плата.v2.csv");
  EXPECT_EQ(ConvertedCsvName("board"), "board.csv");
  EXPECT_EQ(ConvertedCsvName("board.csv"), "board.csv");
}

// A click toggles a mark only in a table with component rows; command 32771 opens a report in
// these windows only.
TEST_F(ConverterKindsTest, MarksAndTheSecondOpenCommand) {
  Open(3);
  const std::string report =
      files_.Write("board.csv", "\"Designator\",\"Quantity\"\r\n\"R1\",\"1\"\r\n\"R2\",\"1\"\r\n");
  Load(report, kIdOpenReportAlso);
  ASSERT_EQ(window_->table().GetRowCount(), 3);
  EXPECT_TRUE(ui_.IsMenuItemEnabled(kCreateMenu));
  window_->table().SetFocusCell(2, 1);
  window_->OnCommand(kIdGrid);
  EXPECT_EQ(window_->table().GetItemImage(2, 0), 0);

  // A report of no component rows is refused; a click on the emptied table does nothing.
  Load(files_.Write("empty.csv", "\"Designator\",\"Quantity\"\r\n"));
  EXPECT_EQ(ui_.messages().size(), 1u);
  window_->table().SetFocusCell(0, 1);
  window_->OnCommand(kIdGrid);
  EXPECT_EQ(window_->table().GetRowCount(), 0);
  EXPECT_FALSE(ui_.IsMenuItemEnabled(kCreateMenu));

  Open(1);
  EXPECT_FALSE(window_->OnCommand(kIdOpenReportAlso));
}

// The PDM road's text output leaves the P-CAD window without quantity columns; the later windows
// append them whatever it says.
TEST_F(ConverterKindsTest, QuantityColumnsInTheLaterWindowsDoNotFollowTextOutput) {
  context_.output_mode = automation::OutputMode::kTextLines;
  Open(3);
  Load(files_.Write("board.csv", "\"Designator\",\"Quantity\"\r\n\"R1\",\"1\"\r\n"));
  EXPECT_EQ(window_->table().GetColumnCount(), 5);
  Open(1);
  Load(files_.Write("board.bom", "\"Count\";\"RefDes\"\r\n\"1\";\"R1\"\r\n"));
  EXPECT_EQ(window_->table().GetColumnCount(), 3);
}

// One window reads a report of another layout after each other: the Altium Designer text with
// quoted fields, kept beside itself as CSV; an OrCAD report, refused with the window's title
// back and no CSV written; the CSV a spreadsheet program saved, never written over. The CSV kept
// beside the first report reads in the Protel window into the same table.
TEST_F(ConverterKindsTest, LayoutsOneAfterAnotherInOneWindow) {
  Open(4);
  Load(files_.CopySample("board_altium_quoted.txt"));
  ASSERT_TRUE(ui_.messages().empty());
  const std::vector<std::string> quoted = Text();
  EXPECT_EQ(quoted.size(), 31u);
  EXPECT_EQ(state_.report_path, "board_altium_quoted.csv");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер Altium Designer-ЗЕНТАР:board_altium_quoted");

  Load(files_.CopySample("board_orcad.bom"));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
  EXPECT_EQ(window_->table().GetRowCount(), 0);
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер Altium Designer-ЗЕНТАР");
  EXPECT_TRUE(state_.report_path.empty());
  EXPECT_FALSE(ui_.IsMenuItemEnabled(kCreateMenu));
  EXPECT_FALSE(std::filesystem::exists(files_ + "board_orcad.csv"));

  const std::string plain = files_.CopySample("board_altium_plain.csv");
  const std::string plain_bytes = testing_support::ReadBytes(plain);
  Load(plain);
  EXPECT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(Text(), quoted);
  EXPECT_TRUE(ui_.IsMenuItemEnabled(kCreateMenu));
  EXPECT_EQ(testing_support::ReadBytes(plain), plain_bytes);
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер Altium Designer-ЗЕНТАР:board_altium_plain");

  Open(3);
  Load(files_ + "board_altium_quoted.csv");
  EXPECT_EQ(Text(), quoted);
}

// OrCAD refuses a report whose first line begins with a double quote, with its own title back.
TEST_F(ConverterKindsTest, OrcadRefusalRestoresItsTitle) {
  Open(2);
  Load(files_.Write("good.bom", "Title\r\nItem\tQuantity\tReference\tPart\r\n1\t1\tR1\t10k\r\n"));
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер OrCAD-ЗЕНТАР:good");
  Load(files_.Write("bad.bom", "\"Count\";\"RefDes\"\r\n"));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Недопустимая структура файла");
  EXPECT_EQ(ui_.caption(), "Текстовый конвертер OrCAD-ЗЕНТАР");
  EXPECT_EQ(window_->table().GetRowCount(), 0);
  EXPECT_TRUE(state_.report_path.empty());
}

}  // namespace
}  // namespace zuro::converter
