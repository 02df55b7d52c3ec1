#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "pdm/attribute_templates.h"

namespace zuro::pdm {
namespace {

// The values of a record up to its last non-empty slot.
std::vector<std::string> Values(const AttributeRecord& record) {
  std::vector<std::string> values(record.values.begin(), record.values.end());
  while (!values.empty() && values.back().empty())
    values.pop_back();
  return values;
}

std::vector<std::string> Names(const AttributeValueTable& table) {
  std::vector<std::string> names;
  for (const AttributeRecord& record : table.records) {
    if (!record.IsFree())
      names.push_back(record.name);
  }
  return names;
}

// "v1;v2;...;vN" with values named v1 to vN.
std::string NumberedValues(int count) {
  std::string list;
  for (int value = 1; value <= count; ++value)
    list += (value > 1 ? ";v" : "v") + std::to_string(value);
  return list;
}

AttributeRecord Record(const std::string& name, std::initializer_list<const char*> values) {
  AttributeRecord record;
  record.name = name;
  int slot = 0;
  for (const char* value : values)
    record.values[slot++] = value;
  return record;
}

class AttributeTemplatesFileTest : public ::testing::Test {
 protected:
  void TearDown() override { SetFileFaultHook(nullptr); }
  void Write(const std::string& name, const std::string& bytes) { files_.Write(name, bytes); }
  std::string Read(const std::string& name) const {
    return testing_support::ReadBytes(files_ + name);
  }
  AttributeValueTable Load(const std::string& bytes, TemplateMode mode = TemplateMode::kEri) {
    Write(std::string(AttributeTemplatesFileName(mode)), bytes);
    AttributeValueTable table;
    EXPECT_TRUE(LoadAttributeTable(table, mode, folder_));
    return table;
  }

  testing_support::TestFolder files_{"attribute_templates"};
  const std::string folder_ = files_.path();
};

TEST_F(AttributeTemplatesFileTest, ALineIsTheNameBeforeTheFirstEqualsAndTheListUpToTheSecond) {
  const AttributeValueTable table = Load(
      "Наименование=Name;Value\r\n"
      "Раздел=;Раздел;\n"         // empty pieces keep their slots
      "Код=ID PartLib=extra;x\n"  // the text after a second "=" is no value
      "Пусто=\r\n"
      "Без знака равенства\n"
      "=Name\n");  // no name: a free record, taking its place in the order
  EXPECT_EQ(table.records[0].name, "Наименование");
  EXPECT_EQ(Values(table.records[0]), (std::vector<std::string>{"Name", "Value"}));
  EXPECT_EQ(Values(table.records[1]), (std::vector<std::string>{"", "Раздел"}));
  EXPECT_EQ(table.records[2].name, "Код");
  EXPECT_EQ(Values(table.records[2]), std::vector<std::string>{"ID PartLib"});
  EXPECT_EQ(table.records[3].name, "Пусто");
  EXPECT_TRUE(Values(table.records[3]).empty());
  EXPECT_EQ(table.records[4].name, "Без знака равенства");
  EXPECT_TRUE(Values(table.records[4]).empty());
  EXPECT_TRUE(table.records[5].IsFree());
  EXPECT_EQ(Values(table.records[5]), std::vector<std::string>{"Name"});
  EXPECT_EQ(table.Find("Код"), &table.records[2]);
  EXPECT_EQ(table.Find(""), nullptr);
}

// Only a line identical to the one just before is dropped; CR LF and LF end lines alike.
TEST_F(AttributeTemplatesFileTest, ARepeatedLineIsSkippedOnlyRightAfterItself) {
  const AttributeValueTable table = Load("A=1\r\nA=1\nA=1\r\nB=2\nA=1\nA=2\n");
  EXPECT_EQ(Names(table), (std::vector<std::string>{"A", "B", "A", "A"}));
  EXPECT_EQ(Values(table.records[3]), std::vector<std::string>{"2"});
}

TEST_F(AttributeTemplatesFileTest, TheHundredthLineIsTheLastRecordAndTheTwentiethValueTheLast) {
  std::string file;
  for (int line = 1; line <= 101; ++line)
    file += "A" + std::to_string(line) + "=" + NumberedValues(line == 1 ? 21 : 1) + "\r\n";
  const AttributeValueTable table = Load(file);
  EXPECT_EQ(table.records[99].name, "A100");
  EXPECT_EQ(table.Find("A101"), nullptr);
  const std::vector<std::string> values = Values(table.records[0]);
  ASSERT_EQ(values.size(), 20u);
  EXPECT_EQ(values.back(), "v20");
}

// 298 characters are read of a line; the rest of a longer line is dropped, not read as a record.
TEST_F(AttributeTemplatesFileTest, ALineIsReadUpTo298Characters) {
  const std::string name = "N=";
  const std::string fits = name + std::string(kTemplateLineLength - name.size() - 2, 'x') + ";y";
  ASSERT_EQ(fits.size(), 298u);
  const AttributeValueTable table = Load(fits + "\r\n" + fits + "z;Q=R\r\nM=1\r\n");
  EXPECT_EQ(Values(table.records[0]).back(), "y");
  // The second line, cut to the first one, repeats it and is skipped; its rest is no record.
  EXPECT_EQ(Names(table), (std::vector<std::string>{"N", "M"}));
}

TEST_F(AttributeTemplatesFileTest, AMissingFileFailsAndLeavesTheTableCleared) {
  AttributeValueTable table;
  table.records[0] = Record("Наименование", {"Name"});
  table.records[7] = Record("Код", {});
  EXPECT_FALSE(LoadAttributeTable(table, TemplateMode::kSe, folder_));
  EXPECT_TRUE(Names(table).empty());
  EXPECT_TRUE(Values(table.records[0]).empty());

  // Create needs both files: one of them missing fails the whole load, the other still loads.
  AttributeTemplates templates;
  Write("eri.cfg", "A=x\r\n");
  EXPECT_FALSE(LoadAttributeTemplates(templates, folder_));
  EXPECT_EQ(Names(templates.eri), std::vector<std::string>{"A"});
  Write("se.cfg", "B=y\r\n");
  EXPECT_TRUE(LoadAttributeTemplates(templates, folder_));
  EXPECT_EQ(Names(templates.se), std::vector<std::string>{"B"});
  EXPECT_EQ(&templates.Table(TemplateMode::kSe), &templates.se);
}

TEST_F(AttributeTemplatesFileTest, AttributeListKeepsFileOrderAndSkipsRepeatsAndBlankLines) {
  EXPECT_TRUE(ReadAttributeList(folder_).empty());
  const std::string long_name(kAttributeListLineLength + 5, 'n');
  Write("Attributes.txt",
        "Наименование\r\nНаименование\r\nКод\r\n\r\nРаздел спецификации\nНаименование\n" +
            long_name + "\n\n");
  EXPECT_EQ(ReadAttributeList(folder_),
            (std::vector<std::string>{"Наименование", "Код", "Раздел спецификации", "Наименование",
                                      long_name.substr(0, 299)}));
}

// The file holds the PDM attributes of the list, in the list's order, each once; the records of
// other names, and empty values, are left out; 19 values at most.
TEST_F(AttributeTemplatesFileTest, SavedTextFollowsTheAttributeListAndCarries19Values) {
  AttributeValueTable table;
  table.records[0] = Record("Код", {"ID PartLib"});
  table.records[1] = Record("Старый", {"Name"});
  table.records[3] = Record("Наименование", {"", "Name", "", "Value"});
  table.records[4] = Record("Раздел спецификации", {});
  table.records[5] = Record("Код", {"PartLib"});
  for (int slot = 0; slot < kValueSlotCount; ++slot)
    table.records[6].values[slot] = "v" + std::to_string(slot + 1);
  table.records[6].name = "Длинный";
  const std::vector<std::string> list = {"Наименование", "Код",     "Раздел спецификации",
                                         "Нет записи",   "Длинный", "Наименование"};
  EXPECT_EQ(AttributeTableText(table, list),
            "Наименование=Name;Value\r\n"
            "Код=ID PartLib\r\n"
            "Код=PartLib\r\n"
            "Раздел спецификации=\r\n"
            "Длинный=" +
                NumberedValues(19) + "\r\n");

  ASSERT_TRUE(SaveAttributeTable(table, TemplateMode::kSe, list, folder_));
  EXPECT_EQ(Read("se.cfg"), AttributeTableText(table, list));
  EXPECT_FALSE(std::filesystem::exists(files_ + "eri.cfg"));
  // What was saved loads back as the same records, in list order.
  AttributeValueTable loaded;
  ASSERT_TRUE(LoadAttributeTable(loaded, TemplateMode::kSe, folder_));
  EXPECT_EQ(Names(loaded), (std::vector<std::string>{"Наименование", "Код", "Код",
                                                     "Раздел спецификации", "Длинный"}));
  EXPECT_EQ(Values(loaded.records[0]), (std::vector<std::string>{"Name", "Value"}));
  EXPECT_EQ(Values(loaded.records[4]).size(), 19u);
}

// The second of three saves fails at its write: the first save's file stays whole and no
// temporary file is left; the third save goes through.
TEST_F(AttributeTemplatesFileTest, AFailedWriteKeepsTheOldFile) {
  const std::vector<std::string> list = {"A"};
  AttributeValueTable table;
  table.records[0] = Record("A", {"first"});
  bool failing = false;
  SetFileFaultHook([&](const char* step) { return std::string(step) == "write" && failing; });
  ASSERT_TRUE(SaveAttributeTable(table, TemplateMode::kEri, list, folder_));
  table.records[0] = Record("A", {"second"});
  failing = true;
  EXPECT_FALSE(SaveAttributeTable(table, TemplateMode::kEri, list, folder_));
  failing = false;
  EXPECT_EQ(Read("eri.cfg"), "A=first\r\n");
  EXPECT_FALSE(std::filesystem::exists(files_ + "eri.cfg.new"));
  table.records[0] = Record("A", {"third"});
  EXPECT_TRUE(SaveAttributeTable(table, TemplateMode::kEri, list, folder_));
  EXPECT_EQ(Read("eri.cfg"), "A=third\r\n");
  SetFileFaultHook(nullptr);
  EXPECT_FALSE(SaveAttributeTable(table, TemplateMode::kEri, list, folder_ + "no-such-folder/"));
}

// An edit goes to the record of its name even when a free record stands before it; a new name
// takes the first free record; with every record taken a new name finds none.
TEST(AttributeValueTableTest, AnEditFindsItsRecordBeforeAFreeOne) {
  AttributeValueTable table;
  table.records[2] = Record("A", {"x"});
  EXPECT_EQ(table.RecordFor("A"), &table.records[2]);
  AttributeRecord* added = table.RecordFor("B");
  EXPECT_EQ(added, &table.records[0]);
  EXPECT_EQ(table.records[0].name, "B");
  EXPECT_EQ(table.RecordFor(""), nullptr);
  for (int index = 0; index < kAttributeRecordCount; ++index)
    table.records[index].name = "R" + std::to_string(index);
  EXPECT_EQ(table.RecordFor("R99"), &table.records[99]);
  EXPECT_EQ(table.RecordFor("New"), nullptr);
}

// The files shipped with the library describe the sample reports' columns.
TEST(ShippedAttributeTemplatesTest, EveryListedAttributeHasAnEriRecord) {
  const std::string library = std::string(ZURO_SOURCE_DIR) + "/library/";
  const std::vector<std::string> list = ReadAttributeList(library);
  ASSERT_FALSE(list.empty());
  AttributeTemplates templates;
  ASSERT_TRUE(LoadAttributeTemplates(templates, library));
  EXPECT_EQ(Names(templates.eri), list);
  // Saving them again changes nothing: they are in the dialog's own form.
  for (const TemplateMode mode : {TemplateMode::kEri, TemplateMode::kSe}) {
    EXPECT_EQ(AttributeTableText(templates.Table(mode), list),
              testing_support::ReadBytes(library + std::string(AttributeTemplatesFileName(mode))));
  }
}

}  // namespace
}  // namespace zuro::pdm
