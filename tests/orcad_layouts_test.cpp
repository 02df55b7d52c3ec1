// The OrCAD window and the reports it is given: what OrCAD Capture writes by default, read whole,
// and the reports of other systems, refused with a message instead of a table that lacks
// designators.
#include <gtest/gtest.h>

#include "tests/table_text.h"
#include "tests/test_folder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/leading_numbers.h"
#include "base/text_encoding.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "generation/designators.h"
#include "automation/library_context.h"
#include "readers/orcad_reader.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

using testing_support::ReadBytes;

std::string Sample(const std::string& name) {
  return ReadBytes(std::string(ZURO_SOURCE_DIR) + "/samples/" + name);
}

// A report line as OrCAD Capture writes it: tab-separated, ended with CR LF.
std::string Tabbed(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i)
    line += (i > 0 ? "\t" : "") + fields[i];
  return line + "\r\n";
}

// The title block at the top of each page of a Capture report, its header and ruler included.
std::string PageTitle(int page, size_t ruler = 46) {
  return "ПЛАТА ИНДИКАЦИИ                                             Revised: 02.11.2026\r\n"
         "БВГД.468332.011 Э3                                          Revision: 1\r\n"
         "\r\n"
         "НИЦ приводной техники\r\n"
         "\r\n"
         "Bill Of Materials         02.11.2026      9:41:37\tPage" +
         std::to_string(page) + "\r\n\r\n" + Tabbed({"Item", "Quantity", "Reference", "Part"}) +
         std::string(ruler, '_') + "\r\n\r\n";
}

// The text with its tabs turned into blanks up to the next multiple of eight, as an editor does.
std::string ExpandTabs(const std::string& text) {
  std::string result;
  size_t column = 0;
  for (const char c : text) {
    if (c == '\t') {
      result.append(8 - column % 8, ' ');
      column += 8 - column % 8;
      continue;
    }
    result += c;
    column = c == '\n' || c == '\r' ? 0 : column + 1;
  }
  return result;
}

// Both Capture samples are one board of 85 placed parts in 22 components: the same table.
const std::string kCaptureTable =
    "#Item#Quantity#Reference#Part#PCB Footprint#Наименование\n"
    "#1#24#C1...C12,C14...C24,C31#0,1мкФ #C0603#Конденсатор К10-17в-Н50-0,1 мкФ\n"
    "#2#1#C13#1мкФ #C0805#Конденсатор К10-17в-Н50-1 мкФ\n"
    "#3#2#C25,C26#10мкФ #C1206#Конденсатор К10-17в-Н50-10 мкФ\n"
    "#4#4#C27...C30#22пФ #C0603#Конденсатор К10-17в-М47-22 пФ ±5%\n"
    "#5#2#C32,C33#220мкФ #CAP_D10#Конденсатор К50-35-35 В-220 мкФ ±20%\n"
    "#6#1#DA1#LM5017MR #SOIC8_PAD#Микросхема LM5017MR\n"
    "#7#3#DA2...DA4#INA181A2 #SOT23-6#Микросхема INA181A2IDBVR\n"
    "#8#1#DD1#STM32F401RCT6 #LQFP64#Микросхема STM32F401RCT6\n"
    "#9#1#DD2#DRV8323RS #VQFN48#Микросхема DRV8323RSRGZR\n"
    "#10#3#HL1...HL3#КИПД21П-К #LED_0805#Индикатор КИПД21П-К\n"
    "#11#1#L1#22мкГн #IND_7X7#Дроссель SRR7032-220M\n"
    "#12#18#R1...R10,R12,R14...R20#10кОм #R0603#Резистор Р1-12-0,062-10 кОм ±5%\n"
    "#13#2#R11,R13#1кОм #R0603#Резистор Р1-12-0,062-1 кОм ±5%\n"
    "#14#3#R21...R23#0,005Ом #R2512#Резистор WSL2512R0050FEA\n"
    "#15#6#R24...R29#4,7Ом #R0805#Резистор Р1-12-0,125-4,7 Ом ±5%\n"
    "#16#1#R30#100кОм #R0603#Резистор Р1-12-0,062-100 кОм ±1%\n"
    "#17#1#SB1#TS-A02SA #BTN_6X6#Кнопка тактовая TS-A02SA\n"
    "#18#1#VD1#SS34 #SMA#Диод SS34\n"
    "#19#6#VT1...VT6#BSC050N10NS5 #TDSON8#Транзистор BSC050N10NS5\n"
    "#20#1#X1#PLS-6 #PLS6#Вилка штыревая PLS-6\n"
    "#21#2#X2,X3#DG128-5.0-03P #DG128_3#Клеммник DG128-5.0-03P\n"
    "#22#1#ZQ1#8МГц #HC49SM#Резонатор кварцевый HC-49SM 8 МГц\n";
constexpr int64_t kCaptureParts = 85;
const char* const kCaptureSamples[] = {"board_orcad_capture.bom", "board_orcad_capture_single.bom"};

// The designators of a table and the sum of its quantities, from the column titled so.
struct Counted {
  int64_t designators = 0;
  int64_t quantities = 0;
};
Counted Count(const table::GridModel& table) {
  int quantity = -1, reference = -1;
  for (int col = 1; col < table.GetColumnCount(); ++col) {
    if (table.GetItemText(0, col) == "Quantity")
      quantity = col;
    if (table.GetItemText(0, col) == "Reference")
      reference = col;
  }
  Counted counted;
  for (int row = 1; row < table.GetRowCount(); ++row) {
    counted.designators += generation::CountDesignators(table.GetItemText(row, reference));
    counted.quantities += LeadingInteger(table.GetItemText(row, quantity));
  }
  return counted;
}

class OrcadLayoutsTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& text) {
    return ReadOrcadReport(text, table_, attributes_, orcad_);
  }
  std::string Dump() const { return testing_support::TableText(table_); }
  // The rows of a report of the four default columns holding the lines given, after its first
  // page's title block.
  std::string Rows(const std::string& lines) {
    EXPECT_EQ(Read(PageTitle(1) + lines), ReadResult::kLoaded);
    const std::string dump = Dump();
    return dump.substr(dump.find('\n') + 1);
  }

  table::GridModel table_;
  ReportAttributes attributes_;
  OrcadReadOptions orcad_;
};

TEST_F(OrcadLayoutsTest, CaptureSamplesReadWhole) {
  for (const char* name : kCaptureSamples) {
    SCOPED_TRACE(name);
    orcad_.part_column = 0;
    ASSERT_EQ(Read(Sample(name)), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), kCaptureTable);
    EXPECT_EQ(orcad_.part_column, 3);
    EXPECT_EQ(attributes_.partlib_column, -1);
    const Counted counted = Count(table_);
    EXPECT_EQ(counted.designators, kCaptureParts);
    EXPECT_EQ(counted.quantities, kCaptureParts);
  }
  // The layouts read before Capture's were added count their designators as before: every one.
  for (const char* name : {"board_orcad.bom", "board_orcad_fixed.bom"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Read(Sample(name)), ReadResult::kLoaded);
    const Counted counted = Count(table_);
    EXPECT_EQ(counted.designators, 65);
    EXPECT_EQ(counted.quantities, 65);
  }
}

// A list wraps after a comma onto lines that begin with two tabs; the last of them has no comma,
// unless the report ends there.
TEST_F(OrcadLayoutsTest, WrappedListsEndWhereverTheReportOrTheItemEnds) {
  const std::string item = Tabbed({"1", "6", "C1,C2,C3,", "0,1 мкФ"}) + "\t\tC4,C5,\r\n";
  const std::string row = "#1#6#C1...C6#0,1мкФ \n";
  EXPECT_EQ(Rows(item + "\t\tC6\r\n"), row);
  EXPECT_EQ(Rows(item + "\t\tC6"), row);
  EXPECT_EQ(Rows(item + "\t\tC6,"), row);
  EXPECT_EQ(Rows(item + "\t\tC6,\r\n"), row);
  EXPECT_EQ(Rows(item + "\t\tC6\r\n\r\n"), row);
  // The next item follows the wrapped list at once, or after a list that ended with a comma.
  const std::string next = Tabbed({"2", "2", "R2,R1", "10 кОм"});
  EXPECT_EQ(Rows(item + "\t\tC6\r\n" + next), row + "#2#2#R2,R1#10кОм \n");
  EXPECT_EQ(Rows(Tabbed({"1", "6", "C1,C2,C3,C4,C5,C6,", "0,1 мкФ"}) + next),
            row + "#2#2#R2,R1#10кОм \n");
  // The value may stand after the last line of the list instead of the first.
  EXPECT_EQ(Rows(Tabbed({"1", "6", "C1,C2,C3,"}) + "\t\tC4,C5,\r\n" +
                 Tabbed({"", "", "C6", "0,1 мкФ"}) + next),
            row + "#2#2#R2,R1#10кОм \n");
}

// The one-part-a-line report writes the item's quantity on its first line and every further
// designator on a line of its own, repeating the value.
TEST_F(OrcadLayoutsTest, OnePartALineRepeatsTheValueWithoutJoiningIt) {
  const auto line = [](const std::string& reference) {
    return Tabbed({"", "", reference, "10 кОм", "R0603"});
  };
  EXPECT_EQ(Rows(Tabbed({"1", "3", "R3", "10 кОм", "R0603"}) + line("R1") + line("R2") +
                 Tabbed({"2", "1", "C1", "1 мкФ", "C0805"})),
            "#1#3#R1...R3#10кОм \n#2#1#C1#1мкФ \n");
  EXPECT_EQ(Rows(Tabbed({"1", "2", "R2", "10 кОм"}) + line("R1")), "#1#2#R2,R1#10кОм \n");
  // The quantity's line may list no designator: all of them stand below it, one a line.
  EXPECT_EQ(Rows(Tabbed({"1", "1", "", "10 кОм"}) + line("R7")), "#1#1#R7#10кОм \n");
  EXPECT_EQ(Rows(Tabbed({"1", "2", "", "10 кОм"}) + line("R7") + line("R5")),
            "#1#2#R7,R5#10кОм \n");
  EXPECT_EQ(Rows(Tabbed({"1", "3", "", "10 кОм"}) + line("R7") + line("R5") + line("R6")),
            "#1#3#R5...R7#10кОм \n");
  // A value that differs from the item's still goes on with it, as a wrapped value does.
  EXPECT_EQ(Rows(Tabbed({"1", "2", "R1", "10"}) + Tabbed({"", "", "R2", "кОм"})),
            "#1#2#R1,R2#10 кОм\n");
}

// A long report repeats its title block, header and ruler on every page, also inside an item.
TEST_F(OrcadLayoutsTest, PageTitleBlocksAreNoPartOfTheItems) {
  const std::string first = Tabbed({"1", "5", "R1", "10 кОм"}) + Tabbed({"", "", "R2", "10 кОм"});
  const std::string continued =
      Tabbed({"", "", "R3", "10 кОм"}) + Tabbed({"", "", "R4,R5", "10 кОм"});
  const std::string next = Tabbed({"2", "1", "C1", "1 мкФ"});
  const std::string rows = "#1#5#R1...R5#10кОм \n#2#1#C1#1мкФ \n";
  EXPECT_EQ(Rows(first + "\r\n" + PageTitle(2) + continued + next), rows);
  EXPECT_EQ(Rows(first + PageTitle(2) + continued + next), rows);
  EXPECT_EQ(Rows(first + "\r\n\r\n" + PageTitle(2, 10) + continued + next), rows);
  // Between two items, and at the end of the report.
  EXPECT_EQ(Rows(first + continued + "\r\n" + PageTitle(2) + next + "\r\n" + PageTitle(3)), rows);
  // A "Revised:" line that starts no title block is read as before.
  EXPECT_EQ(Rows(Tabbed({"1", "2", "R1,", "1k"}) + Tabbed({"", "", "R2", "Revised: 1"})),
            "#1#2#R1,R2#1k Revised:1\n");
}

// OrCAD's ruler of "_" stands under every page's header. Whatever its length, it adds no
// designator and no part of a value, also after items.
TEST_F(OrcadLayoutsTest, RulerOfAnyLengthAddsNothing) {
  for (const size_t length : {1u, 10u, 46u, 120u, 3000u}) {
    SCOPED_TRACE(length);
    const std::string ruler = std::string(length, '_') + "\r\n";
    const std::string header = Tabbed({"Item", "Quantity", "Reference", "Part"});
    EXPECT_EQ(Rows(Tabbed({"1", "4", "C1,C2,", "10n"}) + header + ruler + "\t\tC3,C4\r\n" + header +
                   "\t" + ruler + Tabbed({"2", "1", "R1", "1k"}) + ruler),
              "#1#4#C1...C4#10n \n#2#1#R1#1k \n");
  }
}

// Tabs turned into blanks leave no column under its header name: the report is refused, not read
// from the wrong characters. Blanks beside the tabs change nothing.
TEST_F(OrcadLayoutsTest, TabsTurnedIntoBlanksAreRefused) {
  for (const char* name : kCaptureSamples) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Read(Sample(name)), ReadResult::kLoaded);
    EXPECT_EQ(Read(ExpandTabs(Sample(name))), ReadResult::kBadStructure);
    EXPECT_EQ(table_.GetRowCount(), 0);
    EXPECT_EQ(orcad_.part_column, 3);
  }
  EXPECT_EQ(Rows(Tabbed({" 1 ", " 3 ", " C1, C2, ", " 10 n "}) + "\t\t C3 \r\n"),
            "# 1 # 3 #C1...C3#10n \n");
}

// What other systems write, opened in the OrCAD window: never a table with fewer designators
// than the quantities count.
TEST_F(OrcadLayoutsTest, OtherSystemsReportsAreRefused) {
  const std::pair<const char*, std::string> reports[] = {
      {"P-CAD", Sample("board.bom")},
      {"Protel", Sample("board.csv")},
      {"Altium Designer text", Sample("board_altium.txt")},
      {"Mentor list", Sample("board.lst")},
      {"Cadence Allegro", Sample("board_allegro.htm")},
      {"P-CAD separated sample", Sample("board_separated.bom")},
      {"P-CAD formatted sample", Sample("board_formatted.bom")},
      {"Mentor Part Lister sample", Sample("board_partlister.lst")},
      {"Altium Designer CSV sample", Sample("board_altium_plain.csv")},
      {"Altium Designer quoted text sample", Sample("board_altium_quoted.txt")},
      {"Cadence Allegro condensed sample", Sample("board_allegro_condensed.htm")},
      {"P-CAD formatted",
       "P-CAD Bill of Materials C:\\Проекты\\МУП-3\\board.pcb\r\n"
       "================================================\r\n"
       "\r\n"
       "Count  ComponentName  RefDes  Value     PatternName\r\n"
       "-----  -------------  ------  --------  -----------\r\n"
       "3      CAP            C1      0,1 мкФ   C0805\r\n"
       "                      C2\r\n"
       "                      C3\r\n"
       "1      RES            R1      10 кОм    R0805\r\n"},
      {"Mentor part list",
       "Part Lister\r\nDesign: board\r\n\r\n"
       " #  QTY  PART_NAME  REFDES\r\n"
       "--- ---- ---------- --------\r\n"
       " 1   3   CAP_0805   C1,C2,C3\r\n"},
      {"Mentor part list, Ref Designator",
       "Part Lister\r\nDesign: board\r\n\r\n"
       " #  QTY  PART_NAME  Ref Designator\r\n"
       "--- ---- ---------- --------------\r\n"
       " 1   3   CAP_0805   C1,C2,C3\r\n"},
      {"Altium Designer CSV",
       "Comment,Description,Designator,Footprint,Quantity\r\n0.1uF,Capacitor,\"C1, "
       "C2\",C0805,2\r\n"},
      {"Altium Designer CSV after a title",
       "Bill of Materials\r\n"
       "Comment,Description,Designator,Footprint,Quantity\r\n0.1uF,Capacitor,\"C1, "
       "C2\",C0805,2\r\n"},
      {"Altium Designer text, quoted fields",
       "Bill of Materials\r\nComment\tDesignator\tQuantity\r\n\r\n\"0.1uF\"\t\"C1, "
       "C2\"\t\"2\"\r\n"},
  };
  for (const auto& [what, text] : reports) {
    SCOPED_TRACE(what);
    ASSERT_EQ(Read(Sample("board_orcad_capture.bom")), ReadResult::kLoaded);
    orcad_.part_column = 2;
    EXPECT_EQ(Read(text), ReadResult::kBadStructure);
    EXPECT_EQ(table_.GetRowCount(), 0);
    EXPECT_EQ(table_.GetColumnCount(), 0);
    EXPECT_TRUE(attributes_.names.empty());
    EXPECT_EQ(orcad_.part_column, 2);
  }
  // A report without a header and without another system's column names stays an empty table.
  EXPECT_EQ(Read("Bill Of Materials\r\n1\t1\tR1\t1k\r\nReference list\r\n"), ReadResult::kLoaded);
  EXPECT_EQ(table_.GetRowCount(), 1);
}

// The command line reads each Capture sample whole and refuses each other system's report.
class OrcadCommandLineTest : public ::testing::Test {
 protected:
  struct Outcome {
    int status = -1;
    std::string out;  // UTF-8
    std::string err;
  };
  Outcome Table(const std::string& report, const std::string& converter = "orcad") {
    const std::string command = std::string("'") + ZURO_BOM_PATH + "' table '" + report +
                                "' --converter " + converter + " >'" + files_.path() + "out' 2>'" +
                                files_.path() + "err'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(files_.path() + "out"),
            ReadBytes(files_.path() + "err")};
  }

  testing_support::TestFolder files_{"orcad_cli"};
};

TEST_F(OrcadCommandLineTest, CaptureSamplesReadWholeAndOtherReportsAreRefused) {
  for (const char* name : kCaptureSamples) {
    SCOPED_TRACE(name);
    const Outcome read = Table(files_.CopySample(name));
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(read.err.empty()) << read.err;
    // The table of the reader, with the two quantity columns after its own.
    std::string expected;
    for (size_t start = 0; start < kCaptureTable.size();) {
      const size_t end = kCaptureTable.find('\n', start);
      expected += kCaptureTable.substr(start, end - start) +
                  (start == 0 ? "#Количество в комплекты#Количество на регулировку\n" : "##\n");
      start = end + 1;
    }
    EXPECT_EQ(Utf8ToCp1251(read.out), expected);
    int64_t designators = 0, quantities = 0;
    for (size_t start = read.out.find('\n') + 1; start < read.out.size();) {
      const size_t end = read.out.find('\n', start);
      std::vector<std::string> cells;
      for (size_t cell = start; cell <= end;) {
        const size_t hash = std::min(read.out.find('#', cell), end);
        cells.push_back(read.out.substr(cell, hash - cell));
        cell = hash + 1;
      }
      ASSERT_GE(cells.size(), 4u);
      quantities += LeadingInteger(cells[2]);
      designators += generation::CountDesignators(cells[3]);
      start = end + 1;
    }
    EXPECT_EQ(designators, kCaptureParts);
    EXPECT_EQ(quantities, kCaptureParts);
  }

  for (const char* name :
       {"board.bom", "board_separated.bom", "board_formatted.bom", "board.csv", "board_altium.txt",
        "board_altium_plain.csv", "board_altium_quoted.txt", "board.lst", "board_partlister.lst",
        "board_allegro.htm", "board_allegro_condensed.htm"}) {
    SCOPED_TRACE(name);
    const Outcome refused = Table(files_.CopySample(name));
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(testing_support::IsRefusalWithReason(refused.err)) << refused.err;
    EXPECT_TRUE(refused.out.empty());
  }
  // Nor does another window take a Capture report.
  for (const char* name : kCaptureSamples) {
    for (const char* converter : {"pcad", "mentor", "protel", "altium", "allegro"}) {
      SCOPED_TRACE(std::string(name) + " in " + converter);
      const Outcome refused = Table(files_ + name, converter);
      EXPECT_EQ(refused.status, 1);
      EXPECT_TRUE(testing_support::IsRefusalWithReason(refused.err)) << refused.err;
      EXPECT_TRUE(refused.out.empty());
    }
  }
}

// One report after another in the same window: a refusal between two readings leaves no trace.
TEST(OrcadWindowTest, RefusalBetweenTwoCaptureReports) {
  testing_support::TestFolder files("orcad_window");
  automation::LibraryContext context;
  converter::WindowState state;
  context.command = LibraryCommand::kOrcad;
  context.library_folder = files.path();
  converter::HeadlessUi ui;
  const std::unique_ptr<converter::ConverterWindow> window =
      converter::MakeConverterWindow(context, state, ui);
  window->OnInitDialog();
  const auto load = [&](const std::string& name) {
    ui.QueueFile(files.CopySample(name));
    window->OnCommand(converter::kIdOpenReport);
    return testing_support::TableText(window->table());
  };
  const std::string wrapped = load("board_orcad_capture.bom");
  EXPECT_EQ(window->table().GetRowCount(), 23);
  EXPECT_EQ(ui.caption(), "Текстовый конвертер OrCAD-ЗЕНТАР:board_orcad_capture");
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(load("board.lst"), "");
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "Недопустимая структура файла");
  EXPECT_EQ(ui.caption(), "Текстовый конвертер OrCAD-ЗЕНТАР");
  EXPECT_TRUE(state.report_path.empty());
  EXPECT_EQ(state.orcad.part_column, 3);
  EXPECT_EQ(load("board_orcad_capture_single.bom"), wrapped);
  EXPECT_EQ(ui.caption(), "Текстовый конвертер OrCAD-ЗЕНТАР:board_orcad_capture_single");
  EXPECT_EQ(ui.messages().size(), 1u);
}

}  // namespace
}  // namespace zuro::readers
