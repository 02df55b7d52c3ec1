// The PDM window's Create with the object lines of the attribute templates: the sample board read
// as the PDM hands it over, every part passed on, the list composed by the templates shipped with
// the library.
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "pdm/attribute_object_lines.h"
#include "pdm/pdm_object_list.h"
#include "converter/pdm_converter_window.h"

namespace zuro::pdm {
namespace {

using converter::PdmConverterWindow;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

class AttributeObjectLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Attributes.txt", "eri.cfg", "se.cfg"})
      files_.Write(name,
                   testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/library/" + name));
    context_.library_folder = files_.path();
  }
  // Opens the PDM window on the sample board and presses "Создать объекты ЭРИ".
  void Create() {
    PdmConverterWindow window(context_, state_, ui_, lines_, files_.CopySample("board.bom"));
    window.OnInitDialog();
    window.OnCommand(converter::kIdCreate);
  }

  testing_support::TestFolder files_{"attribute_object_lines"};
  automation::LibraryContext context_;
  converter::WindowState state_;
  converter::HeadlessUi ui_;
  AttributeTemplates templates_;
  AttributeObjectLines lines_{templates_};
};

TEST_F(AttributeObjectLinesTest, EveryPartPassedOnGetsItsObjectLineByItsKind) {
  Create();
  EXPECT_TRUE(ui_.messages().empty());
  const std::vector<std::string> lines = Lines(testing_support::ReadBytes(files_ + "res.txt"));
  ASSERT_EQ(lines.size(), 65u);
  // The assembly unit by the SE templates: no nominal, unit or package.
  const auto unit = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.starts_with("Плата индикации");
  });
  ASSERT_NE(unit, lines.end());
  EXPECT_EQ(*unit,
            "Плата индикации АБВГ.468332.002#Наименование=Плата индикации АБВГ.468332.002;"
            "Обозначение=АБВГ.468332.002;Позиционное обозначение=A1;Количество=1;"
            "Раздел спецификации=Сборочные единицы;Код PartLib=PL-9001;"
            "Абсолютная величина=0.000000e+00;");
  // Electrical items by the ERI templates, each its own part.
  EXPECT_EQ(std::count_if(
                lines.begin(), lines.end(),
                [](const std::string& line) { return line.find(";Корпус=") != std::string::npos; }),
            64);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Конденсатор 0805-NP0-50 В-22 пФ ±5%#Наименование=Конденсатор 0805-NP0-50 "
                      "В-22 пФ ±5%;Обозначение=0805-NP0;Позиционное обозначение=C12;"
                      "Количество=1;Номинал=22;Единица измерения=пФ;Корпус=CAP_0805;"
                      "Документ на поставку=;Раздел спецификации=Прочие изделия;"
                      "Код PartLib=PL-2022;Абсолютная величина=2.200000e-11;"),
            lines.end());
}

// Create reads both templates files afresh: without se.cfg it stops and writes nothing.
TEST_F(AttributeObjectLinesTest, CreateStopsWithoutTheSeTemplates) {
  RemoveFile(files_ + "se.cfg");
  Create();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не созданы шаблоны полей КД");
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_FALSE(FileExists(files_ + "res.txt"));
  EXPECT_EQ(ui_.close_result(), std::nullopt);
}

}  // namespace
}  // namespace zuro::pdm

namespace zuro::pdm {
namespace {

using converter::PdmConverterWindow;

// The whole object list: an adjustable component's line carries its range and series in its name
// and is followed by a line for every series value inside the range; a range the series cannot
// reach is told, and the list is still written.
class PdmObjectListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Attributes.txt", "eri.cfg", "se.cfg", "bom.ini", "bom_veldor.ini"})
      files_.Write(name,
                   testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/library/" + name));
    context_.library_folder = files_.path();
  }
  std::vector<std::string> Create(const std::string& report) {
    PdmConverterWindow window(context_, state_, ui_, lines_, report);
    window.OnInitDialog();
    window.OnCommand(converter::kIdCreate);
    return Lines(testing_support::ReadBytes(files_ + "res.txt"));
  }

  testing_support::TestFolder files_{"pdm_object_list"};
  automation::LibraryContext context_;
  converter::WindowState state_;
  converter::HeadlessUi ui_;
  AttributeTemplates templates_;
  PdmObjectList lines_{templates_};
};

TEST_F(PdmObjectListTest, AdjustableComponentGetsALineForEverySeriesValue) {
  const std::vector<std::string> lines = Create(files_.CopySample("board.bom"));
  EXPECT_TRUE(ui_.messages().empty());
  std::vector<std::string> r17;
  for (const std::string& line : lines) {
    if (line.find("Позиционное обозначение=R17*;") != std::string::npos)
      r17.push_back(line);
  }
  // Its own line and the other 16 values of E24 from 10 to 47 кОм (22 кОм is the nominal).
  std::string shown;
  for (const std::string& line : r17)
    shown += line.substr(0, line.find('#')) + " | " + line.substr(line.find("Количество")) + "\n";
  ASSERT_EQ(r17.size(), 17u) << shown;
  EXPECT_TRUE(r17[0].starts_with("Резистор С2-33Н-0,125-22 кОм ±5% <10 кОм...47 кОм> <E24>#"))
      << r17[0];
  EXPECT_EQ(lines.size(), 65u + 16u);
}

TEST_F(PdmObjectListTest, RangeOutsideTheSeriesIsToldAndTheListWritten) {
  const std::vector<std::string> lines = Create(files_.Write(
      "small.bom",
      "\"Count\";\"RefDes\";\"Value\";\"Наименование\";\"Nominal\";\"Unit\";\"*Range\";\"*E\"\r\n"
      "\"1\";\"R1*\";\"0,2 Ом\";\"Резистор\";\"0,2\";\"Ом\";\"0,1 Ом...0,5 Ом\";\"E24\"\r\n"));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_NE(ui_.messages()[0].text.find("границы диапазона выходят за границы ряда"),
            std::string::npos)
      << ui_.messages()[0].text;
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание");
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(ui_.close_result(), converter::kIdCreate);
}

}  // namespace
}  // namespace zuro::pdm
