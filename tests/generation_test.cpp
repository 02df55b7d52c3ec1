// The list of elements and the purchased-items list as the converter window makes them: the
// window's create commands run against the stand-in host, whose call log and documents show what
// the library wrote.
#include <gtest/gtest.h>

#include "tests/sim_objects.h"
#include "tests/test_folder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "generation/generation_run.h"
#include "automation/library_context.h"
#include "standin/sim_host.h"

namespace zuro::converter {
namespace {

using standin::SimDocument;
using standin::SimHost;
using standin::SimObject;

// Columns: 1 Count, 2 RefDes, 3 Name, 4 Purchase name, 5 Note.
const std::string kHeader = "\"Count\";\"RefDes\";\"Name\";\"Purchase\";\"Note\"\r\n";
// Field 1 Count, 2 and 3 Name, 4 Note, 5 RefDes, 6 Purchase, 7 Note, 8 Name, 9 Purchase.
const std::string kTemplates =
    "1 1\r\n2 3\r\n3 3\r\n4 5\r\n5 2\r\n6 4\r\n7 5\r\n8 3\r\n9 4\r\n10\r\n";

std::string Record(const std::string& count,
                   const std::string& refdes,
                   const std::string& name,
                   const std::string& purchase = "Резистор",
                   const std::string& note = "") {
  return "\"" + count + "\";\"" + refdes + "\";\"" + name + "\";\"" + purchase + "\";\"" + note +
         "\"\r\n";
}

class GenerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = files_ + "library/";
    std::filesystem::create_directories(library_);
    files_.Write("library/bom.cfg", kTemplates);
    files_.Write("library/patternPE.spw", "{\"format\": \"zentar-sim/1\", \"objects\": []}");
    files_.Write("library/patternVP.spw", "{\"format\": \"zentar-sim/1\", \"objects\": []}");
    context_.library_folder = library_;
    context_.command = LibraryCommand::kPcad;
    context_.application = automation::ZentarObject(host_.Application());
  }
  // The host as LIBRARYENTRY leaves it: the active graphic document, or none.
  void UseGraphicDocument() {
    host_.OpenGraphicDocument();
    context_.graphic_document = context_.application.ActiveGraphicDocument();
  }
  void Open(const std::string& report) {
    window_ = MakeConverterWindow(context_, state_, ui_);
    window_->OnInitDialog();
    ui_.QueueFile(files_.Write("board.bom", report));
    window_->OnCommand(kIdOpenReport);
  }
  std::vector<SimObject> Objects() const { return testing_support::WrittenObjects(host_); }
  static std::string Text(const SimObject& object, int column) {
    return testing_support::ColumnText(object, column);
  }
  static double Number(const SimObject& object, int column) {
    return testing_support::ColumnNumber(object, column);
  }

  testing_support::TestFolder files_{"generation"};
  std::string library_;
  SimHost host_;
  automation::LibraryContext context_;
  converter::WindowState state_;
  HeadlessUi ui_;
  std::unique_ptr<ConverterWindow> window_;
};

// The host sees one object as its forms expect: records and an array made first, the object
// created with its style and section, then each column through a fresh array.
TEST_F(GenerationTest, ListObjectCallSequence) {
  UseGraphicDocument();
  Open(kHeader + Record("2", "R1", "Резистор 10 кОм") + Record("", "R2", "Резистор 10 кОм"));
  host_.ClearLog();
  window_->OnCommand(kIdCreateListByElements);
  const std::vector<std::string> expected = {
      "GraphicDocument 177 method",
      "ZentarObject 9 method 112",
      "ZentarObject 9 method 108",
      "ZentarObject 39 method 23",
      "ParamRecord 6 method",
      "ParamRecord 11 method",
      "ParamRecord 5 method DynArray",
      "SpecEditor 3 method \"zURO_gr.lyt\" 3 65 0 0.0 0",
      "ParamRecord 2 put \"Резистор 10 кОм \"",
      "DynArray 7 method -1 ParamRecord",
      "SpecEditor 4 method 2 1 ParamRecord 8",
      "ZentarObject 39 method 23",
      "ParamRecord 5 method DynArray",
      "ParamRecord 4 put 2",
      "DynArray 7 method -1 ParamRecord",
      "SpecEditor 4 method 3 1 ParamRecord 3",
      "ZentarObject 39 method 23",
      "ParamRecord 5 method DynArray",
      "ParamRecord 2 put \"R1,R2\"",
      "DynArray 7 method -1 ParamRecord",
      "SpecEditor 4 method 1 1 ParamRecord 8",
      "ZentarObject 39 method 23",
      "ParamRecord 5 method DynArray",
      "ParamRecord 2 put \" \"",
      "DynArray 7 method -1 ParamRecord",
      "SpecEditor 4 method 4 1 ParamRecord 8",
      "SpecEditor 1 method",
  };
  EXPECT_EQ(host_.call_log(), expected);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "Формирование объектов перечня элементов в документе завершено");
  EXPECT_EQ(ui_.messages()[0].caption, "");
}

TEST_F(GenerationTest, PurchaseObjectCallSequenceAndQuantities) {
  UseGraphicDocument();
  Open(kHeader + Record("3", "U1", "Микросхема") + Record("", "U2", "Микросхема") +
       Record("", "U3", "Микросхема") + Record("2", "C1", "Конденсатор", "") +
       Record("", "C2", "Конденсатор", ""));
  ui_.CheckRadio(kDocumentKindRadios, 2);
  window_->OnCommand(kIdPurchaseRadio);  // the quantity columns exist after the load already
  table::GridModel& table = window_->table();
  const int kits = table.GetColumnCount() - 2;
  table.SetItemText(1, kits, "1");
  table.SetItemText(1, kits + 1, "0,5");
  table.SetItemText(2, kits, "0.5");
  table.SetItemText(2, kits + 1, "0.25");
  host_.ClearLog();
  window_->OnCommand(kIdCreatePurchased);
  const std::vector<std::string>& log = host_.call_log();
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(log[7], "SpecEditor 3 method \"zURO_gr.lyt\" 11 80 0 0.0 0");
  EXPECT_EQ(std::count(log.begin(), log.end(), "ZentarObject 39 method 23"), 2 * 8);
  EXPECT_NE(std::find(log.begin(), log.end(), "SpecEditor 4 method 10 1 ParamRecord 7"), log.end());
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 2u);
  // atof stops at the decimal comma: 0,5 counts 0.
  EXPECT_EQ(Number(objects[0], 7), 3);
  EXPECT_EQ(Number(objects[0], 8), 1);
  EXPECT_EQ(Number(objects[0], 9), 0);
  EXPECT_EQ(Number(objects[0], 10), 4);
  EXPECT_EQ(Number(objects[1], 7), 2);
  EXPECT_EQ(Number(objects[1], 8), 0.5);
  EXPECT_EQ(Number(objects[1], 9), 0.25);
  EXPECT_EQ(Number(objects[1], 10), 2.75);
  // A blank purchase name is still a name (its template gives its blank); the section follows
  // the designators.
  EXPECT_EQ(objects[1].section, 10);
  EXPECT_EQ(Text(objects[0], 2), "Резистор ");
  EXPECT_EQ(objects[0].columns.size(), 8u);

  // Without a template for the purchase name, the last section, whatever the designators; and
  // without one for the specification name every row has the same (empty) name, so the two
  // rows make one item of 5.
  files_.Write("library/bom.cfg", "1 1\r\n5 2\r\n");
  ui_.QueueAnswer(MessageAnswer::kYes);
  window_->OnCommand(kIdCreatePurchased);
  const std::vector<SimObject> again = Objects();
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(again[2].section, 200);
  EXPECT_EQ(Number(again[2], 7), 5);
}

// Rows with one name make one purchased item with their counts summed and their designators
// joined; the list of elements never merges. A row not selected between them does not stop it.
TEST_F(GenerationTest, PurchasedItemsMergeRowsOfOneNameAndTheListNever) {
  UseGraphicDocument();
  const std::string report = kHeader + Record("2", "R1", "Резистор") +
                             Record("", "R2", "Резистор") + Record("1", "C1", "Конденсатор") +
                             Record("1", "R7", "Резистор") + Record("3", "R4", "Резистор") +
                             Record("", "R5", "Резистор") + Record("", "R6", "Резистор");
  Open(report);
  window_->table().SetItemImage(2, 0, 0);  // C1 unticked
  window_->OnCommand(kIdCreatePurchased);
  std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(Number(objects[0], 7), 6);
  EXPECT_EQ(objects[0].section, 65);
  EXPECT_EQ(window_->table().GetItemData(3, 0), -1);
  EXPECT_EQ(window_->table().GetItemData(4, 0), -1);

  // The list of elements from a fresh table: one object a row, designators of three and more
  // joined by "," and a line feed, two by "," alone.
  ui_.QueueAnswer(MessageAnswer::kYes);
  Open(report);
  window_->OnCommand(kIdCreateListByElements);
  objects = Objects();
  ASSERT_EQ(objects.size(), 1u + 4u);
  EXPECT_EQ(Text(objects[1], 1), "R1,R2");
  EXPECT_EQ(Text(objects[2], 1), "C1");
  EXPECT_EQ(Text(objects[4], 1), "R4...R6");
  EXPECT_EQ(objects[4].columns[1].number, 3);
}

// The total is the count and the two typed quantities added, then rounded to two decimals. Each
// item here is one part.
TEST_F(GenerationTest, PurchasedTotalIsRoundedToTwoDecimals) {
  struct Case {
    std::string kits, adjustment;
    double total;
  };
  const std::vector<Case> cases = {
      {"0.333", "0.333", 1.67},  // 1.666 rounds up
      {"0.121", "0.002", 1.12},  // 1.123 rounds down
      {"0.004", "", 1},          // 1.004: the thousandths go
      {"0.996", "0", 2},         // 1.996 carries into the units
  };
  UseGraphicDocument();
  std::string report = kHeader;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    report += Record("1", "R" + n, "Резистор " + n);
  }
  Open(report);
  table::GridModel& table = window_->table();
  const int kits = table.GetColumnCount() - 2;
  for (size_t i = 0; i < cases.size(); ++i) {
    table.SetItemText(static_cast<int>(i) + 1, kits, cases[i].kits);
    table.SetItemText(static_cast<int>(i) + 1, kits + 1, cases[i].adjustment);
  }
  window_->OnCommand(kIdCreatePurchased);
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_DOUBLE_EQ(Number(objects[i], 10), cases[i].total) << i;
}

// Rows of one name make one purchased item whose kits and adjustment quantities are the base
// row's alone: the merged row adds its count, never its typed quantities, not even in place of
// the base row's empty cells.
TEST_F(GenerationTest, MergedPurchasedItemTakesKitsAndAdjustmentFromItsBaseRow) {
  struct Case {
    std::string base_kits, base_adjustment, merged_kits, merged_adjustment;
    double kits, adjustment, total;  // the count of every item is 2
  };
  const std::vector<Case> cases = {
      {"1", "2", "4", "8", 1, 2, 5},
      {"", "", "4", "8", 0, 0, 2},
      {"0.5", "", "", "0.25", 0.5, 0, 2.5},
  };
  UseGraphicDocument();
  std::string report = kHeader;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    report += Record("1", "R" + n, "Резистор " + n) + Record("1", "C" + n, "Резистор " + n);
  }
  Open(report);
  table::GridModel& table = window_->table();
  const int kits = table.GetColumnCount() - 2;
  for (size_t i = 0; i < cases.size(); ++i) {
    const int base = 2 * static_cast<int>(i) + 1;
    table.SetItemText(base, kits, cases[i].base_kits);
    table.SetItemText(base, kits + 1, cases[i].base_adjustment);
    table.SetItemText(base + 1, kits, cases[i].merged_kits);
    table.SetItemText(base + 1, kits + 1, cases[i].merged_adjustment);
  }
  window_->OnCommand(kIdCreatePurchased);
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(Number(objects[i], 7), 2) << i;
    EXPECT_EQ(Number(objects[i], 8), cases[i].kits) << i;
    EXPECT_EQ(Number(objects[i], 9), cases[i].adjustment) << i;
    EXPECT_EQ(Number(objects[i], 10), cases[i].total) << i;
  }
}

// A second run asks first, for either sort order; No leaves the document as it was.
TEST_F(GenerationTest, SecondRunAsksBeforeDuplicating) {
  UseGraphicDocument();
  Open(kHeader + Record("1", "R1", "Резистор"));
  window_->OnCommand(kIdCreateListByGost);
  ASSERT_EQ(Objects().size(), 1u);
  ui_.QueueAnswer(MessageAnswer::kNo);
  window_->OnCommand(kIdCreateListByElements);
  EXPECT_EQ(Objects().size(), 1u);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text,
            "Объекты перечня элементов уже созданы и будут дублированы. Продолжить? ");
  EXPECT_EQ(ui_.messages()[1].buttons, MessageButtons::kYesNo);
  ui_.QueueAnswer(MessageAnswer::kYes);
  window_->OnCommand(kIdCreateListByElements);
  EXPECT_EQ(Objects().size(), 2u);
  // The purchased-items list has a flag of its own.
  const size_t messages = ui_.messages().size();
  window_->OnCommand(kIdCreatePurchased);
  EXPECT_EQ(ui_.messages().size(), messages + 1);
}

// With no document open, a new one is made from the pattern and offered for saving.
TEST_F(GenerationTest, NewDocumentFromThePatternIsSavedOrNot) {
  Open(kHeader + Record("1", "R1", "Резистор"));
  const std::string saved_path = files_ + testing_support::Utf8(u8"перечень.json");
  ui_.QueueFile(saved_path);
  window_->OnCommand(kIdCreateListByGost);
  ASSERT_TRUE(FileExists(saved_path));
  SimDocument saved;
  ASSERT_TRUE(standin::OpenDocument(saved_path, saved));
  EXPECT_EQ(saved.objects.size(), 1u);
  EXPECT_TRUE(FileExists(library_ + testing_support::Utf8(u8"Перечень элементов.spw")));
  EXPECT_EQ(ui_.file_dialogs().back().initial_name, "*.spw");

  // A cancelled save dialog tells the host that no name was chosen.
  window_->OnCommand(kIdCreatePurchased);
  EXPECT_TRUE(host_.TargetDocument()->no_name_chosen);
  EXPECT_TRUE(host_.TargetDocument()->saved_path.empty());
}

// A missing pattern makes no document: the working copy an earlier command left stays closed,
// and the designer is told.
TEST_F(GenerationTest, MissingPatternStopsTheCommandBeforeAStaleCopy) {
  Open(kHeader + Record("1", "R1", "Резистор"));
  std::filesystem::remove(library_ + "patternVP.spw");
  ASSERT_TRUE(ReplaceFileContents(
      library_ + testing_support::Utf8(u8"Ведомость покупных.spw"), [](std::FILE* file) {
        return std::fputs(
                   "{\"format\": \"zentar-sim/1\", \"objects\": [{\"library\": \"old.lyt\", "
                   "\"style\": 11, \"section\": 1, \"columns\": []}]}",
                   file) >= 0;
      }));
  const size_t documents = host_.documents().size();
  window_->OnCommand(kIdCreatePurchased);
  EXPECT_EQ(host_.documents().size(), documents);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не найден файл шаблона документа patternVP.spw");
  EXPECT_FALSE(state_.duplicate_flags[2]);
}

TEST_F(GenerationTest, RefusedObjectsAreSkippedAndMissingTemplatesStopTheRun) {
  UseGraphicDocument();
  Open(kHeader + Record("1", "R1", "Резистор") + Record("1", "C1", "Конденсатор"));
  host_.set_refuse_objects(true);
  window_->OnCommand(kIdCreateListByElements);
  EXPECT_TRUE(Objects().empty());
  EXPECT_EQ(ui_.messages().back().text,
            "Формирование объектов перечня элементов в документе завершено");

  std::filesystem::remove(library_ + "bom.cfg");
  host_.set_refuse_objects(false);
  ui_.QueueAnswer(MessageAnswer::kYes);
  window_->OnCommand(kIdCreateListByElements);
  EXPECT_EQ(ui_.messages().back().text, "Не созданы шаблоны полей КД");
  EXPECT_EQ(ui_.messages().back().caption, "Внимание");
  EXPECT_TRUE(Objects().empty());
}

// Sorted by GOST, a list that spans another row's designator of the same letters is cut there:
// the rest becomes an object of its own, after the others.
TEST_F(GenerationTest, GostSplitWritesTheCutListAsItsOwnObject) {
  UseGraphicDocument();
  Open(kHeader + Record("3", "R1", "Резистор 10к") + Record("", "R2", "Резистор 10к") +
       Record("", "R5", "Резистор 10к") + Record("2", "R3", "Резистор 1к") +
       Record("", "R4", "Резистор 1к"));
  window_->OnCommand(kIdCreateListByGost);
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(Text(objects[0], 1), "R1,R2");
  EXPECT_EQ(Text(objects[1], 1), "R3,R4");
  EXPECT_EQ(Text(objects[2], 1), "R5");
  EXPECT_EQ(objects[2].columns[1].number, 1);
  for (const SimObject& object : objects)
    EXPECT_EQ(object.section, 65);
  EXPECT_EQ(window_->table().GetRowCount(), 4);
}

// A row whose designators begin with different letters makes one object per letter prefix in the
// list of elements, each with its count, designators and section, one after the other in the
// order the prefixes first appear; sorted by GOST each is then split as any row.
TEST_F(GenerationTest, MixedLettersMakeOneListObjectPerPrefix) {
  UseGraphicDocument();
  const struct {
    int command;
    std::vector<std::string> designators;
    std::vector<int> counts;
    std::vector<int> sections;
  } kRuns[] = {
      {kIdCreateListByElements, {"P2", "R3,R5", "C7", "R4"}, {1, 2, 1, 1}, {55, 65, 10, 65}},
      // R4 falls inside R3,R5: the cut leaves R5 to an object after the others.
      {kIdCreateListByGost, {"P2", "R3", "C7", "R4", "R5"}, {1, 1, 1, 1, 1}, {55, 65, 10, 65, 65}},
  };
  for (const auto& run : kRuns) {
    SCOPED_TRACE(run.command);
    // Row 1 lists P2, R3, R5, C7 (sorted by number); row 2 holds R4. Read afresh for each run.
    Open(kHeader + Record("4", "P2", "Комплект 1") + Record("", "R3", "Комплект 1") +
         Record("", "C7", "Комплект 1") + Record("", "R5", "Комплект 1") +
         Record("1", "R4", "Резистор 1к"));
    const size_t before = Objects().size();
    window_->OnCommand(run.command);
    const std::vector<SimObject> all = Objects();
    ASSERT_EQ(all.size() - before, run.designators.size());
    for (size_t i = 0; i < run.designators.size(); ++i) {
      const SimObject& object = all[before + i];
      EXPECT_EQ(Text(object, 1), run.designators[i]) << i;
      EXPECT_EQ(Number(object, 3), run.counts[i]) << i;
      EXPECT_EQ(object.section, run.sections[i]) << i;
    }
  }
}

TEST(GroupListsTest, CountsAndDesignatorsOfAGroup) {
  using generation::JoinGroupDesignators;
  using generation::SumCounts;
  EXPECT_EQ(SumCounts("2 ,1 ,3 "), 6);
  EXPECT_EQ(SumCounts("3 "), 3);
  EXPECT_EQ(SumCounts("x ,-2 ,2.5 "), 2);
  EXPECT_EQ(JoinGroupDesignators("R1,R2 ,R7 ,R4...R6 ", 6), "R1,\nR2,\nR7,\nR4...R6");
  EXPECT_EQ(JoinGroupDesignators("C1,C2 ", 2), "C1,C2");
  EXPECT_EQ(JoinGroupDesignators("", 0), "");
  // Every piece counts, however many rows a group has.
  std::string counts;
  std::string designators;
  for (int row = 1; row <= 150; ++row) {
    counts += "1 ,";
    designators += "R" + std::to_string(row) + " ,";
  }
  EXPECT_EQ(SumCounts(counts), 150);
  EXPECT_TRUE(JoinGroupDesignators(designators, 150).ends_with(",\nR150"));
}

}  // namespace
}  // namespace zuro::converter
