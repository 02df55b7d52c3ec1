#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "pdm/attribute_templates.h"
#include "pdm/object_line.h"
#include "table/grid_model.h"

namespace zuro::pdm {
namespace {

constexpr char kZero[] = "Абсолютная величина=0.000000e+00;";

// The PDM window's table: a fixed header row and mark column, attribute n in column n.
class ObjectLineTest : public ::testing::Test {
 protected:
  void SetAttributes(std::vector<std::string> names) {
    names_ = std::move(names);
    table_.DeleteAllItems();
    table_.SetColumnCount(static_cast<int>(names_.size()) + 1);
    table_.SetFixedColumnCount(1);
    table_.InsertRow(" ");
    table_.SetFixedRowCount(1);
    for (size_t index = 0; index < names_.size(); ++index)
      table_.SetItemText(0, static_cast<int>(index) + 1, names_[index]);
  }
  // A row with the cells of columns 1, 2, ...; returns its row number.
  int AddRow(const std::vector<std::string>& cells, const std::string& kind = "ЭРИ(1/1)") {
    const int row = table_.InsertRow(kind);
    for (size_t index = 0; index < cells.size(); ++index)
      table_.SetItemText(row, static_cast<int>(index) + 1, cells[index]);
    return row;
  }
  // Adds a record to the mode's table after those already there.
  void AddRecord(const std::string& name,
                 const std::vector<std::string>& values,
                 TemplateMode mode = TemplateMode::kEri) {
    for (AttributeRecord& record : templates_.Table(mode).records) {
      if (!record.IsFree())
        continue;
      record.name = name;
      int slot = 0;
      for (const std::string& value : values)
        record.values[slot++] = value;
      return;
    }
  }
  ObjectLine Compose(int row) const { return ComposeObjectLine(table_, row, names_, templates_); }

  table::GridModel table_;
  std::vector<std::string> names_;
  AttributeTemplates templates_;
};

TEST_F(ObjectLineTest, NameAndAttributesOfAnElectricalItem) {
  SetAttributes({"Count", "Name", "Value"});
  AddRecord("Наименование", {"Name", "Value"});
  AddRecord("Количество", {"Count"});
  const int row = AddRow({"1", "Резистор", "10 кОм"});
  const ObjectLine line = Compose(row);
  EXPECT_EQ(line.mode, TemplateMode::kEri);
  EXPECT_EQ(line.name, "Резистор 10 кОм");
  EXPECT_EQ(line.Text(), std::string("Резистор 10 кОм#Наименование=Резистор 10 кОм;Количество=1;") +
                             kZero + "\n");
  EXPECT_EQ(line.Text("Резистор <10...47> <E24>"),
            "Резистор <10...47> <E24>#" + line.attributes + "\n");
}

// Whether a row is an assembly unit is read from its attribute cells alone: not from the mark
// column, nor from columns after the last attribute.
TEST_F(ObjectLineTest, AnAttributeCellHoldingTheWordMakesAnAssemblyUnit) {
  SetAttributes({"Count", "Name", "Раздел"});
  table_.SetColumnCount(5);  // a column beyond the attributes
  AddRecord("Наименование", {"Name"});
  AddRecord("Наименование", {"Раздел"}, TemplateMode::kSe);
  const int unit = AddRow({"1", "Плата", "Сборочные единицы"});
  const int last_column = AddRow({"1", "", "x Сбор"});
  const int beyond = AddRow({"1", "Резистор", "", "Сборочные единицы"}, "СЕ(1/1)");
  const int named = AddRow({"1", "Сборка", "Прочие изделия"});

  EXPECT_EQ(Compose(unit).mode, TemplateMode::kSe);
  EXPECT_EQ(Compose(unit).name, "Сборочные единицы");
  EXPECT_EQ(Compose(last_column).mode, TemplateMode::kSe);
  EXPECT_EQ(Compose(beyond).mode, TemplateMode::kEri);
  EXPECT_EQ(Compose(beyond).name, "Резистор");
  // Any text holding "Сбор" counts, a name as well; only the attribute columns are looked at.
  EXPECT_EQ(RowTemplateMode(table_, named, 3), TemplateMode::kSe);
  EXPECT_EQ(RowTemplateMode(table_, named, 1), TemplateMode::kEri);
}

TEST_F(ObjectLineTest, ValuesJoinNonEmptyCellsOwnColumnFirstRepeatsKept) {
  SetAttributes({"Count", "Name", "Value", "Обозначение", "Note", "Value"});
  AddRecord("Обозначение", {"Name", "Note", "Name"});  // its own column comes first
  AddRecord("Номинал", {"Value"});                     // two columns of that name
  AddRecord("Пусто", {});
  AddRecord("Нет графы", {"Missing", "Note"});
  const ObjectLine line = Compose(AddRow({"1", "К53", "10 мкФ", "АБВГ", "", "16 В"}));
  EXPECT_EQ(line.attributes, std::string("Обозначение=АБВГ К53 К53;Номинал=10 мкФ 16 В;Пусто=;"
                                         "Нет графы=;") +
                                 kZero);
  // No "Наименование" record: the object has no name.
  EXPECT_EQ(line.name, "");
  EXPECT_EQ(line.Text().substr(0, 14), "#Обозначение=А");
}

// Records compose in table order, free records skipped; of a line of 20 values the first 19
// compose.
TEST_F(ObjectLineTest, RecordsInTableOrderAndNineteenValues) {
  std::vector<std::string> names;
  std::vector<std::string> cells;
  for (int n = 1; n <= 20; ++n) {
    names.push_back("a" + std::to_string(n));
    cells.push_back("c" + std::to_string(n));
  }
  SetAttributes(names);
  AttributeValueTable& table = templates_.eri;
  table.records[3].name = "Второй";
  table.records[3].values[0] = "a2";
  table.records[1].name = "Длинный";
  for (int slot = 0; slot < kValueSlotCount; ++slot)
    table.records[1].values[slot] = names[slot];
  const ObjectLine line = Compose(AddRow(cells));
  std::string nineteen;
  for (int n = 1; n <= 19; ++n)
    nineteen += (n > 1 ? " c" : "c") + std::to_string(n);
  EXPECT_EQ(line.attributes, "Длинный=" + nineteen + ";Второй=c2;" + kZero);
}

// The name is the "Наименование" value as composed; an empty one stays empty; with two such
// records the later one names the object.
TEST_F(ObjectLineTest, ObjectNameComesFromTheLastNameRecord) {
  SetAttributes({"Name", "Value"});
  AddRecord("Наименование", {"Value"});
  const int empty = AddRow({"Резистор", ""});
  EXPECT_EQ(Compose(empty).name, "");
  EXPECT_EQ(Compose(empty).Text(), std::string("#Наименование=;") + kZero + "\n");
  AddRecord("Наименование", {"Name"});
  EXPECT_EQ(Compose(AddRow({"Резистор", "1 кОм"})).name, "Резистор");
}

// The specification's section is never empty: a record whose columns give it fewer than four
// characters so far (text and space) becomes "Прочие изделия" at that column, and a value still
// empty at the end does too. Text of later columns is added after it.
TEST_F(ObjectLineTest, SectionOfTheSpecificationDefaultsToOtherItems) {
  struct Case {
    std::vector<std::string> cells;
    std::vector<std::string> values;
    std::string expected;
  };
  const Case cases[] = {
      {{"Сборочные единицы", ""}, {"Раздел"}, "Сборочные единицы"},
      {{"", ""}, {"Раздел"}, "Прочие изделия"},
      {{"", ""}, {}, "Прочие изделия"},
      {{"", ""}, {"Нет такой графы"}, "Прочие изделия"},
      {{"AB", ""}, {"Раздел"}, "Прочие изделия"},  // "AB " is 3 characters
      {{"ABC", ""}, {"Раздел"}, "ABC"},            // "ABC " is 4
      {{"", "Комплекты"}, {"Раздел", "Доп"}, "Прочие изделия Комплекты"},
      {{"Детали", ""}, {"Доп", "Раздел"}, "Прочие изделия Детали"},
      {{"AB", "CD"}, {"Раздел", "Доп"}, "Прочие изделия CD"},
  };
  SetAttributes({"Раздел", "Доп"});
  for (const Case& test : cases) {
    SCOPED_TRACE(test.expected);
    templates_ = {};
    AddRecord("Раздел спецификации", test.values, TemplateMode::kEri);
    AddRecord("Раздел спецификации", test.values, TemplateMode::kSe);
    EXPECT_EQ(Compose(AddRow(test.cells)).attributes,
              "Раздел спецификации=" + test.expected + ";" + kZero);
  }
  // A column named as the PDM attribute comes first: empty, it makes the value "Прочие
  // изделия" before any listed column adds to it.
  SetAttributes({"Раздел", "Раздел спецификации"});
  templates_ = {};
  AddRecord("Раздел спецификации", {"Раздел"});
  EXPECT_EQ(Compose(AddRow({"x", "Документация"})).attributes,
            std::string("Раздел спецификации=Документация x;") + kZero);
  EXPECT_EQ(Compose(AddRow({"AB", ""})).attributes,
            std::string("Раздел спецификации=Прочие изделия AB;") + kZero);
}

// "Nominal" scaled by the prefix of "Unit", in single precision, written as "%e" writes it.
TEST_F(ObjectLineTest, AbsoluteValueScalesTheNominalByTheUnitsPrefix) {
  SetAttributes({"Nominal", "Unit"});
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"4,7", "кОм"}, "4.700000e+03"}, {{"0,1", "мкФ"}, "1.000000e-07"},
      {{"22", "пФ"}, "2.200000e-11"},   {{"2,2", "МОм"}, "2.200000e+06"},
      {{"5", "мА"}, "5.000000e-03"},    {{"3,3", "нГн"}, "3.300000e-09"},
      {{"10", "Ом"}, "1.000000e+01"},   {{"100", ""}, "1.000000e+02"},
      {{"", "кОм"}, "0.000000e+00"},    {{"0,125", "Вт"}, "1.250000e-01"},
      {{"abc", "к"}, "0.000000e+00"},   {{"1e3", "к"}, "1.000000e+06"},
  };
  for (const auto& [cells, expected] : cases) {
    SCOPED_TRACE(cells[0] + " " + cells[1]);
    EXPECT_EQ(Compose(AddRow(cells)).attributes,
              std::string("Абсолютная величина=") + expected + ";");
  }
  // The value is single precision.
  EXPECT_EQ(AbsoluteValue("0,1", ""), 0.1f);
  EXPECT_EQ(AbsoluteValueText(1.0f / 3), "3.333333e-01");
  // Without a "Nominal" attribute the value is 0.
  SetAttributes({"Value", "Unit"});
  EXPECT_EQ(Compose(AddRow({"10", "кОм"})).attributes, kZero);
}

// The sample board's resistor R1 and its assembly unit A1, as the PDM window reads them (column 1
// holds 1), composed by the templates shipped with the library.
TEST(ShippedObjectLineTest, SampleRowsComposeByTheShippedTemplates) {
  const std::optional<TextFile> report =
      ReadTextFile(std::string(ZURO_SOURCE_DIR) + "/samples/board.bom");
  ASSERT_TRUE(report);
  const auto pieces = [](std::string_view line) {
    std::vector<std::string> cells;
    for (size_t start = line.find('"'); start != std::string_view::npos;) {
      const size_t end = line.find('"', start + 1);
      cells.emplace_back(line.substr(start + 1, end - start - 1));
      start = line.find('"', end + 1);
    }
    return cells;
  };
  TextLines lines(report->text);
  std::string line;
  lines.Read(line);
  const std::vector<std::string> names = pieces(line);
  table::GridModel table(1, static_cast<int>(names.size()) + 1, 1, 1);
  int resistor = -1;
  int unit = -1;
  while (lines.Read(line)) {
    std::vector<std::string> cells = pieces(line);
    if (cells.size() < 2 || (cells[1] != "R1" && cells[1] != "A1"))
      continue;
    const int row = table.InsertRow(" ");
    (cells[1] == "R1" ? resistor : unit) = row;
    cells[0] = "1";
    for (size_t index = 0; index < cells.size(); ++index)
      table.SetItemText(row, static_cast<int>(index) + 1, cells[index]);
  }
  ASSERT_GT(resistor, 0);
  ASSERT_GT(unit, 0);
  AttributeTemplates templates;
  ASSERT_TRUE(LoadAttributeTemplates(templates, std::string(ZURO_SOURCE_DIR) + "/library/"));

  EXPECT_EQ(ComposeObjectLine(table, resistor, names, templates).Text(),
            "Резистор С2-33Н-0,125-10 кОм ±5%#Наименование=Резистор С2-33Н-0,125-10 кОм ±5%;"
            "Обозначение=С2-33Н;Позиционное обозначение=R1;Количество=1;Номинал=10;"
            "Единица измерения=кОм;Корпус=RES_0805;Документ на поставку=ОЖО.467.093 ТУ;"
            "Раздел спецификации=Прочие изделия;Код PartLib=PL-1103;"
            "Абсолютная величина=1.000000e+04;\n");
  const ObjectLine assembly = ComposeObjectLine(table, unit, names, templates);
  EXPECT_EQ(assembly.mode, TemplateMode::kSe);
  EXPECT_EQ(assembly.Text(),
            "Плата индикации АБВГ.468332.002#Наименование=Плата индикации АБВГ.468332.002;"
            "Обозначение=АБВГ.468332.002;Позиционное обозначение=A1;Количество=1;"
            "Раздел спецификации=Сборочные единицы;Код PartLib=PL-9001;"
            "Абсолютная величина=0.000000e+00;\n");
}

}  // namespace
}  // namespace zuro::pdm
