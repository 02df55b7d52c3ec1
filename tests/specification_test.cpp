// The specification as the converter windows make it: items sorted through the work database,
// written one object each into the host's specification or one per designator into a model
// document, or written as text lines for the PDM road.
#include <gtest/gtest.h>

#include "tests/sim_objects.h"
#include "tests/test_folder.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "generation/names_database.h"
#include "generation/specification.h"
#include "automation/library_context.h"
#include "standin/sim_host.h"

namespace zuro::converter {
namespace {

using standin::SimHost;
using standin::SimObject;

// Columns: 1 Count, 2 RefDes, 3 TypeElement, 4 Name, 5 Nominal, 6 Unit, 7 Watt, 8 Volt,
// 9 Specific, 10 Standard, 11 ID PartLib.
const std::string kHeader =
    "\"Count\";\"RefDes\";\"TypeElement\";\"Name\";\"Nominal\";\"Unit\";\"Watt\";\"Volt\";"
    "\"Specific\";\"Standard\";\"ID PartLib\"\r\n";
// The specification name is type, name, nominal and unit; field 10 is the standard.
const std::string kTemplates =
    "1 1\r\n2 3 4 5 6\r\n3 3\r\n4\r\n5 2\r\n6\r\n7\r\n8\r\n9\r\n10 10\r\n";

struct Part {
  std::string count = "1";
  std::string refdes;
  std::string type = "Резистор";
  std::string name = "С2-23";
  std::string nominal;
  std::string unit;
  std::string watt = "0,25";
  std::string volt;
  std::string specific;
  std::string standard;
  std::string partlib;
};

// A part of quantity q takes q records, one designator each; the first carries the quantity.
std::string Record(const Part& p) {
  std::string records;
  size_t start = 0;
  for (bool first = true; start <= p.refdes.size(); first = false) {
    const size_t comma = std::min(p.refdes.find(',', start), p.refdes.size());
    const std::string refdes = p.refdes.substr(start, comma - start);
    const std::string count = first ? p.count : "";
    std::string line;
    for (const std::string* cell : {&count, &refdes, &p.type, &p.name, &p.nominal, &p.unit, &p.watt,
                                    &p.volt, &p.specific, &p.standard, &p.partlib})
      line += (line.empty() ? "\"" : ";\"") + *cell + "\"";
    records += line + "\r\n";
    start = comma + 1;
  }
  return records;
}

class SpecificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = files_ + "library/";
    std::filesystem::create_directories(library_);
    files_.Write("library/bom.cfg", kTemplates);
    files_.Write("library/patternSP.spw", "{\"format\": \"zentar-sim/1\", \"objects\": []}");
    context_.library_folder = library_;
    context_.command = LibraryCommand::kPcad;
    context_.application = automation::ZentarObject(host_.Application());
  }
  void UseGraphicDocument() {
    host_.OpenGraphicDocument();
    context_.graphic_document = context_.application.ActiveGraphicDocument();
  }
  // A model document opens the window's report dialog at once.
  void UseModelDocument(std::vector<std::string> items) {
    host_.OpenModelDocument(std::move(items));
    context_.model_document = context_.application.ActiveModelDocument();
    context_.active_document = automation::ActiveDocument::kModel;
  }
  void Open(const std::vector<Part>& parts, const std::string& name = "board.bom") {
    std::string report = kHeader;
    for (const Part& part : parts)
      report += Record(part);
    window_ = MakeConverterWindow(context_, state_, ui_);
    ui_.QueueFile(files_.Write(name, report));
    window_->OnInitDialog();
    if (context_.active_document == automation::ActiveDocument::kGraphicOrSpecification)
      window_->OnCommand(kIdOpenReport);
  }
  std::vector<SimObject> Objects() const { return testing_support::WrittenObjects(host_); }
  static std::string Text(const SimObject& object, int column) {
    return testing_support::ColumnText(object, column);
  }
  static double Number(const SimObject& object, int column) {
    return testing_support::ColumnNumber(object, column);
  }
  std::vector<std::string> Designators() const {
    std::vector<std::string> out;
    for (const SimObject& object : Objects())
      out.push_back(Text(object, 7));
    return out;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& message : ui_.messages())
      out.push_back(message.text);
    return out;
  }

  testing_support::TestFolder files_{"specification"};
  std::string library_;
  SimHost host_;
  automation::LibraryContext context_;
  converter::WindowState state_;
  HeadlessUi ui_;
  std::unique_ptr<ConverterWindow> window_;
};

Part Resistor(const std::string& refdes, const std::string& nominal, const std::string& unit) {
  Part part;
  part.refdes = refdes;
  part.nominal = nominal;
  part.unit = unit;
  return part;
}

// Components in the database's byte order (capacitors before resistors in code page 1251), and
// within one component, power and voltage, the nominal value scaled by its unit.
TEST_F(SpecificationTest, ItemsAreWrittenByComponentThenScaledNominal) {
  UseGraphicDocument();
  Part capacitor = Resistor("C1", "0,1", "мкФ");
  capacitor.type = "Конденсатор";
  capacitor.name = "К10-17";
  capacitor.watt = "";
  Open({Resistor("R1", "4,7", "кОм"), Resistor("R2", "1", "МОм"), Resistor("R3", "470", "Ом"),
        capacitor});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), (std::vector<std::string>{"C1", "R3", "R1", "R2"}));
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[1].library, "graphic.lyt");
  EXPECT_EQ(objects[1].style, 1);
  EXPECT_EQ(objects[1].section, 30);
  EXPECT_EQ(Text(objects[1], 5), "Резистор С2-23 470 Ом ");
  EXPECT_EQ(Number(objects[1], 6), 1);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Формирование объектов спецификации в документе завершено"});
}

// A power or voltage run holds the records within 0.001 of the run's first, so 0.25 and 0.2505
// are one power and ordered by nominal value, while 0.25 and 0.252 stay apart. The comparison is
// with the run's first record, not with the one before.
TEST_F(SpecificationTest, PowerAndVoltageRunsCompareWithTheRunsFirstRecord) {
  UseGraphicDocument();
  const auto part = [](const std::string& refdes, const std::string& watt, const std::string& volt,
                       const std::string& nominal) {
    Part p = Resistor(refdes, nominal, "Ом");
    p.watt = watt;
    p.volt = volt;
    return p;
  };
  Open({part("R1", "0,2505", "", "100"), part("R2", "0,25", "", "200"),
        part("R3", "0,252", "", "50")});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), (std::vector<std::string>{"R1", "R2", "R3"}));

  Open({part("R1", "0,25", "", "300"), part("R2", "0,2509", "", "200"),
        part("R3", "0,2518", "", "100"), part("R4", "0,25", "16", "50"),
        part("R5", "0,25", "15,9995", "400")});
  host_.OpenGraphicDocument();
  context_.graphic_document = context_.application.ActiveGraphicDocument();
  window_->OnCommand(kIdCreateSpec);
  // Power 0.25: R1 and R2 (voltages 0 then 16 apart: R5 and R4 one voltage, by value R4, R5);
  // R3 starts a run of its own.
  EXPECT_EQ(Designators(), (std::vector<std::string>{"R2", "R1", "R4", "R5", "R3"}));
}

TEST(ScaledNominalTest, UnitsScaleInOrderAndMicroLosesItsUnit) {
  struct Case {
    const char* nominal;
    const char* unit;
    double value;
    const char* unit_after;
  };
  const Case cases[] = {
      {"4,7", "кОм", 4700, "кОм"},
      {"1", "МОм", 1000000, "МОм"},
      {"470", "Ом", 470, "Ом"},
      {"0,1", "мкФ", 0.0000001, ""},
      {"2,2", "мФ", 0.0022, "мФ"},
      {"10", "нФ", 0.00000001, "нФ"},
      {"33", "пФ", 0.000000000033, "пФ"},
      {"", "кОм", 0, "кОм"},
      {"5", "", 5, ""},
      {"1.5", "мГн", 0.0015, "мГн"},
      {"abc", "к", 0, "к"},
  };
  for (const Case& c : cases) {
    std::string unit = c.unit;
    EXPECT_DOUBLE_EQ(generation::ScaledNominal(c.nominal, unit), c.value) << c.nominal << c.unit;
    EXPECT_EQ(unit, c.unit_after) << c.nominal << c.unit;
  }
}

// The object is created, finished, taken up again by its reference, its style's columns are
// described one by one up to the last, and only then filled; the extra columns find the
// designators, the standard and the part library id.
TEST_F(SpecificationTest, SpecObjectCallSequenceFindsTheExtraColumnsUpToTheLast) {
  UseGraphicDocument();
  Part part = Resistor("R1,R2", "10", "кОм");
  part.count = "2";
  part.standard = "ОЖО.467.081 ТУ";
  part.partlib = "PL-7";
  Open({part});
  host_.ClearLog();
  window_->OnCommand(kIdCreateSpec);
  std::vector<std::string> expected = {
      "GraphicDocument 177 method",    "ZentarObject 9 method 112",
      "ZentarObject 9 method 108",     "ZentarObject 39 method 23",
      "ParamRecord 6 method",          "ParamRecord 11 method",
      "ParamRecord 5 method DynArray", "SpecEditor 3 method \"graphic.lyt\" 1 30 0 0.0 0",
      "SpecEditor 1 method",           "SpecEditor 2 method 1",
      "SpecEditor 18 method \"\" 0 0", "SpecEditor 18 method \"\" 0 1",
  };
  for (int column = 1; column <= 10; ++column) {
    expected.push_back("ZentarObject 9 method 81");
    expected.push_back("SpecEditor 19 method 1 " + std::to_string(column) + " ParamRecord");
    expected.push_back("ParamRecord 5 get");
  }
  const std::vector<std::string>& log = host_.call_log();
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + expected.size()), expected);
  EXPECT_EQ(log.back(), "SpecEditor 1 method");
  EXPECT_EQ(context_.spec_columns.bco, 8);
  EXPECT_EQ(context_.spec_columns.standard, 9);
  EXPECT_EQ(context_.spec_columns.part_library, 10);

  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 1u);
  std::vector<int> columns;
  for (const auto& value : objects[0].columns)
    columns.push_back(value.column);
  EXPECT_EQ(columns, (std::vector<int>{5, 6, 7, 8, 9, 10, 3}));
  EXPECT_EQ(Text(objects[0], 5), "Резистор С2-23 10 кОм ");
  EXPECT_EQ(Number(objects[0], 6), 2);
  EXPECT_EQ(Text(objects[0], 7), "R1,R2");
  EXPECT_EQ(Text(objects[0], 8), "R1,R2");
  EXPECT_EQ(Text(objects[0], 9), "ОЖО.467.081 ТУ ");  // composed, with the template's blank
  EXPECT_EQ(Text(objects[0], 10), "PL-7");
  EXPECT_EQ(Number(objects[0], 3), 0);

  // Found once, the columns are not looked up again for the next objects of the command.
  host_.ClearLog();
  window_->OnOk();
  for (const std::string& call : host_.call_log())
    EXPECT_EQ(call.find("SpecEditor 19"), std::string::npos) << call;
}

// The vector library's style has no extra columns: they are not written, and each object looks
// for them again.
TEST_F(SpecificationTest, StyleWithoutExtraColumnsLooksAgainForEveryObject) {
  UseGraphicDocument();
  Open({Resistor("R1", "1", "кОм"), Resistor("R2", "2", "кОм")});
  ui_.CheckRadio(kOutputDeviceRadios, 1);
  ui_.CheckRadio(kDocumentKindRadios, 0);
  host_.ClearLog();
  window_->OnOk();
  int lookups = 0;
  for (const std::string& call : host_.call_log())
    lookups += call == "SpecEditor 18 method \"\" 0 0";
  EXPECT_EQ(lookups, 2);
  for (const SimObject& object : Objects()) {
    EXPECT_EQ(object.library, "vector.lyt");
    EXPECT_EQ(object.columns.size(), 4u);
  }
}

TEST_F(SpecificationTest, DocumentTextFromSpecificElseStandardBreaksTheName) {
  UseGraphicDocument();
  Part with_standard = Resistor("R1", "", "");
  with_standard.name = "С2-23 ОЖО.467.081 ТУ";
  with_standard.standard = "ОЖО.467.081 ТУ";
  Part with_specific = Resistor("R2", "", "");
  with_specific.type = "Стабилитрон";
  with_specific.name = "2С156А АА0.336.002 ТУ";
  with_specific.specific = "АА0.336.002 ТУ";
  with_specific.standard = "ГОСТ";
  Part opening = Resistor("R3", "", "");
  opening.type = "ТУ";
  opening.name = "1";
  opening.standard = "ТУ";
  Part blank = Resistor("R4", "", "");  // a blank standard breaks nothing
  blank.type = "Реле";
  Open({with_standard, with_specific, opening, blank});
  window_->OnCommand(kIdCreateSpec);
  // By component: Резистор, Реле, Стабилитрон, ТУ.
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(Text(objects[0], 5), "Резистор С2-23 \nОЖО.467.081 ТУ   ");
  EXPECT_EQ(Text(objects[0], 9), "ОЖО.467.081 ТУ ");
  EXPECT_EQ(Text(objects[2], 5), "Стабилитрон 2С156А \nАА0.336.002 ТУ   ");
  EXPECT_EQ(Text(objects[2], 9), "АА0.336.002 ТУ");
  // The document text opening the name stays where it is.
  EXPECT_EQ(Text(objects[3], 5), "ТУ 1   ");
  EXPECT_EQ(Text(objects[1], 5), "Реле С2-23   ");
  EXPECT_EQ(Text(objects[1], 9), " ");
}

// The id of the row holding the record's designators, the last such row winning; a merged item
// no single row holds gets none, rather than the id found for the record before it.
TEST_F(SpecificationTest, PartLibraryIdOfTheRowHoldingTheDesignators) {
  UseGraphicDocument();
  Part first = Resistor("R1", "1", "Ом");
  first.partlib = "PL-1";
  Part again = Resistor("R1,R9", "2", "Ом");
  again.count = "2";
  again.partlib = "PL-2";
  Part merged_a = Resistor("R5", "3", "Ом");
  merged_a.partlib = "PL-5";
  Part merged_b = merged_a;
  merged_b.refdes = "R6";
  Part eleven = Resistor("R11", "4", "Ом");
  eleven.partlib = "PL-11";
  Open({first, again, merged_a, merged_b, eleven});
  window_->OnCommand(kIdCreateSpec);
  const std::vector<SimObject> objects = Objects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(Text(objects[0], 7), "R1");
  EXPECT_EQ(Text(objects[0], 10), "PL-2");  // "R1," is also in "R1,R9,"
  EXPECT_EQ(Text(objects[1], 10), "PL-2");
  EXPECT_EQ(Text(objects[2], 7), "R5,R6");
  EXPECT_EQ(Text(objects[2], 10), "");
  EXPECT_EQ(Text(objects[3], 10), "PL-11");
}

TEST_F(SpecificationTest, ModelDocumentGetsOneLinkedObjectPerDesignator) {
  UseModelDocument({"R1 Резистор", "  R2  ", "R3", "C1"});
  Part range = Resistor("R1,R2,R3", "10", "кОм");
  range.count = "3";
  range.partlib = "PL-3";
  Part missing = Resistor("C1,C7,C2", "1", "Ом");
  missing.type = "Конденсатор";
  missing.count = "3";
  Open({range, missing});
  window_->OnCommand(kIdCreateSpec);
  const std::vector<SimObject> objects = Objects();
  // C7 is not in the model: its record ends there, C2 is not written.
  ASSERT_EQ(objects.size(), 4u);
  const std::vector<std::string> links = {"C1", "R1 Резистор", "  R2  ", "R3"};
  for (size_t i = 0; i < objects.size(); ++i) {
    EXPECT_EQ(Number(objects[i], 6), 1);
    ASSERT_TRUE(objects[i].link.has_value());
    EXPECT_EQ(*objects[i].link, links[i]);
  }
  EXPECT_EQ(Designators(), (std::vector<std::string>{"C1", "R1", "R2", "R3"}));
  EXPECT_EQ(Text(objects[1], 8), "R1");
  EXPECT_EQ(Text(objects[1], 10), "PL-3");
  // No pattern document and no save dialog for a model document.
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Формирование объектов спецификации в документе завершено"});
}

// Each object of a model document is linked to its model item, with FALSE, while it is still
// open: after it is made and before the host finishes it.
TEST_F(SpecificationTest, ModelObjectIsLinkedBeforeItIsFinished) {
  UseModelDocument({"R1 Резистор", "R2", "R3"});
  Part range = Resistor("R1,R2,R3", "10", "кОм");
  range.count = "3";
  Open({range});
  host_.ClearLog();
  window_->OnCommand(kIdCreateSpec);
  std::vector<std::string> calls;
  for (const std::string& call : host_.call_log()) {
    for (const char* kept : {"SpecEditor 3 ", "SpecEditor 26 ", "SpecEditor 1 "}) {
      if (call.starts_with(kept))
        calls.push_back(call);
    }
  }
  std::vector<std::string> expected;
  for (int object = 0; object < 3; ++object) {
    expected.insert(expected.end(),
                    {"SpecEditor 3 method \"graphic.lyt\" 1 30 0 0.0 0",
                     "SpecEditor 26 method ModelItem FALSE", "SpecEditor 1 method"});
  }
  EXPECT_EQ(calls, expected);
}

TEST_F(SpecificationTest, ModelWithoutItemsGetsNothing) {
  UseModelDocument({});
  Open({Resistor("R1", "1", "Ом")});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_TRUE(Objects().empty());
}

// The PDM road writes the sorted items as text lines beside the report, and a list or
// purchased-items run leaves that file empty.
TEST_F(SpecificationTest, TextOutputWritesLinesBesideTheReport) {
  UseGraphicDocument();
  context_.output_mode = automation::OutputMode::kTextLines;
  Part capacitor = Resistor("C1,C2", "", "");
  capacitor.count = "2";
  capacitor.type = "Конденсатор";
  capacitor.name = "";
  Part resistors = Resistor("R1,R2,R5", "1", "кОм");
  resistors.count = "3";
  resistors.standard = "ОЖО";
  resistors.name = "С2 ОЖО";
  Open({resistors, capacitor});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_TRUE(Objects().empty());
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.txt"),
            "Наименование;Количество;Примечание\n"
            "Конденсатор    ;2;C1,C2\n"
            "Резистор С2 ОЖО 1 кОм ;3;R1,\nR2,\nR5\n");
  ui_.CheckRadio(kDocumentKindRadios, 1);
  window_->OnOk();
  EXPECT_EQ(testing_support::ReadBytes(files_ + "board.txt"), "");
  EXPECT_TRUE(Objects().empty());
}

// A second run empties the work tables first: each item is written once more, not twice; the
// sort leaves only names1 holding the run's records.
TEST_F(SpecificationTest, SecondRunWritesEachItemOnceAndLeavesTheRunInNames1) {
  UseGraphicDocument();
  Open({Resistor("R1", "1", "Ом"), Resistor("R2", "2", "Ом")});
  window_->OnCommand(kIdCreateSpec);
  ui_.QueueAnswer(MessageAnswer::kYes);
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), (std::vector<std::string>{"R1", "R2", "R1", "R2"}));
  EXPECT_EQ(Messages()[1], "Объекты спецификации уже созданы и будут дублированы. Продолжить? ");

  generation::NamesDatabase database;
  ASSERT_TRUE(database.Open(library_));
  const char* names[] = {"names1", "names2", "names3", "names4"};
  for (int i = 0; i < 4; ++i) {
    generation::WorkTable table(database);
    ASSERT_TRUE(table.Open(names[i]));
    int records = 0;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
      ++records;
    EXPECT_EQ(records, i == 0 ? 2 : 0) << names[i];
  }
}

// A work database that cannot be opened ends the run before anything is written, and says so.
TEST_F(SpecificationTest, UnusableDatabaseStopsTheRunBeforeAnyObject) {
  UseGraphicDocument();
  files_.Write("library/bom.db", std::string(4096, 'x'));
  Open({Resistor("R1", "1", "Ом")});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_TRUE(Objects().empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(
      Messages()[0].starts_with("Не удалось открыть рабочую базу данных " + library_ + "bom.db"))
      << Messages()[0];
  // Nothing was made, so a second command asks no duplicate question.
  std::filesystem::remove(library_ + "bom.db");
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), std::vector<std::string>{"R1"});
}

// Where no database can be created (a library folder that is not there, as a read-only one
// would be for a user without rights), the run stops just the same.
TEST_F(SpecificationTest, DatabaseThatCannotBeCreatedStopsTheRun) {
  UseGraphicDocument();
  context_.library_folder = files_ + "gone/";
  Open({Resistor("R1", "1", "Ом")});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_TRUE(Objects().empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].starts_with("Не удалось открыть рабочую базу данных " + files_.path() +
                                        "gone/bom.db"))
      << Messages()[0];
  EXPECT_FALSE(FileExists(files_ + "gone/bom.db"));
}

// A work table that cannot take an item (a bom.db from elsewhere, whose names1 lacks fields)
// writes no specification missing that item: the designer is told instead.
TEST_F(SpecificationTest, ItemThatCannotBeStoredWritesNothingAndSaysSo) {
  UseGraphicDocument();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((library_ + "bom.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE names1 (name BLOB)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  Open({Resistor("R1", "1", "Ом"), Resistor("R2", "2", "Ом")});
  window_->OnCommand(kIdCreateSpec);
  EXPECT_TRUE(Objects().empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].starts_with("Не удалось записать рабочую базу данных"))
      << Messages()[0];
}

TEST_F(SpecificationTest, NewDocumentFromPatternWhenNoneIsOpen) {
  Open({Resistor("R1", "1", "Ом")});
  ui_.QueueFile(files_ + "spec.spw");
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), std::vector<std::string>{"R1"});
  EXPECT_TRUE(FileExists(library_ + testing_support::Utf8(u8"Спецификация.spw")));
  EXPECT_TRUE(FileExists(files_ + "spec.spw"));
}

// The OrCAD and Protel windows write the specification in table order, without the work
// database; the Protel window puts the designators on one line, or breaks them after every comma
// when its count column is past the second.
TEST_F(SpecificationTest, OrcadAndProtelWindowsWriteInTableOrder) {
  UseGraphicDocument();
  context_.command = LibraryCommand::kProtel;
  files_.Write("library/bom3.cfg", "1 1\r\n2 2\r\n3 2\r\n4\r\n5 3\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
  window_ = MakeConverterWindow(context_, state_, ui_);
  window_->OnInitDialog();
  ui_.QueueFile(files_.Write("board.csv",
                             "\"Quantity\",\"Comment\",\"Designator\"\r\n"
                             "\"3\",\"Резистор\",\"R1, R5, R9\"\r\n"
                             "\"1\",\"Конденсатор\",\"C1\"\r\n"));
  window_->OnCommand(kIdOpenReport);
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators(), (std::vector<std::string>{"R1,R5,R9", "C1"}));
  EXPECT_FALSE(FileExists(library_ + "bom.db"));

  files_.Write("library/bom3.cfg", "1 3\r\n2 2\r\n3 2\r\n4\r\n5 1\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
  ui_.QueueFile(files_.Write("board2.csv",
                             "\"Designator\",\"Comment\",\"Quantity\"\r\n"
                             "\"R1, R5, R9\",\"Резистор\",\"3\"\r\n"));
  window_->OnCommand(kIdOpenReport);
  ui_.QueueAnswer(MessageAnswer::kYes);
  window_->OnCommand(kIdCreateSpec);
  EXPECT_EQ(Designators().back(), "R1,\nR5,\nR9");
}

}  // namespace
}  // namespace zuro::converter
