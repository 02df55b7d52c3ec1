#include <gtest/gtest.h>

#include "tests/file_faults.h"

#include <string>

#include "base/file_system.h"
#include "converter/converter_ui.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "pdm/attribute_object_lines.h"
#include "pdm/attribute_templates.h"
#include "converter/pdm_converter_window.h"
#include "table/grid_model.h"
#include "table/table_file.h"
#include "templates/field_templates.h"

namespace zuro {
namespace {

using testing_support::ExpectNoFileLost;

class NoFileLostTest : public ::testing::Test {
 protected:
  void TearDown() override { SetFileFaultHook(nullptr); }

  std::string Shipped(const std::string& name) const {
    return testing_support::ReadBytes(std::string(ZURO_SOURCE_DIR) + "/library/" + name);
  }

  testing_support::TestFolder files_{"no_file_lost"};
};

TEST_F(NoFileLostTest, TableFile) {
  table::GridModel table;
  table.SetRowCount(40);
  table.SetColumnCount(4);
  for (int row = 1; row < 40; ++row)
    for (int column = 1; column < 4; ++column)
      table.SetItemText(row, column, "ячейка " + std::to_string(row * 10 + column));
  const std::string path = files_ + "board.tbl";
  const int steps = ExpectNoFileLost(
      {path}, [&] { files_.Write("board.tbl", "старая таблица\r\n"); },
      [&] { table::WriteTableFile(path, table); });
  // The table's bytes reach the file in many writes, each of which can fail.
  EXPECT_GT(steps, 20);
}

TEST_F(NoFileLostTest, FieldTemplates) {
  templates::FieldTemplates templates;
  for (templates::TemplateRow& row : templates.rows)
    row = {1, 2, 3};
  ExpectNoFileLost(
      {files_ + "bom.cfg"}, [&] { files_.Write("bom.cfg", Shipped("bom.cfg")); },
      [&] { templates::Save(templates, LibraryCommand::kPcad, files_.path()); });
}

TEST_F(NoFileLostTest, AttributeTemplates) {
  files_.Write("Attributes.txt", Shipped("Attributes.txt"));
  pdm::AttributeValueTable table;
  table.records[0].name = "Наименование";
  table.records[0].values[0] = "Name";
  table.records[0].values[1] = "Value";
  ExpectNoFileLost(
      {files_ + "se.cfg"}, [&] { files_.Write("se.cfg", Shipped("se.cfg")); },
      [&] {
        pdm::SaveAttributeTable(table, pdm::TemplateMode::kSe,
                                pdm::ReadAttributeList(files_.path()), files_.path());
      });
}

// Create writes the object list beside the report and into res.txt in one pass: a fault in the
// file beside the report keeps that file whole, and a fault in res.txt removes it rather than
// leave the PDM an earlier run's objects; each is written whatever became of the other.
TEST_F(NoFileLostTest, ObjectLists) {
  for (const char* name : {"Attributes.txt", "eri.cfg", "se.cfg", "bom.ini", "bom_veldor.ini"})
    files_.Write(name, Shipped(name));
  // A small board: every run of the window is a whole Create.
  const std::string report = files_.Write(
      "board.bom",
      "\"Count\";\"RefDes\";\"Value\";\"Наименование\";\"Раздел\";\"*Range\";\"*E\"\r\n"
      "\"2\";\"R1\";\"10 кОм\";\"Резистор 10 кОм\";\"Прочие изделия\";\"\";\"\"\r\n"
      "\"\";\"R2\";\"10 кОм\";\"Резистор 10 кОм\";\"Прочие изделия\";\"\";\"\"\r\n"
      "\"1\";\"A1\";\"\";\"Плата\";\"Сборочные единицы\";\"\";\"\"\r\n");
  automation::LibraryContext context;
  converter::WindowState state;
  context.library_folder = files_.path();
  pdm::AttributeTemplates templates;
  const std::string old_list = "Старый#А=1;\r\n";
  std::string new_list;
  const auto create = [&] {
    converter::HeadlessUi ui;
    pdm::AttributeObjectLines lines(templates);
    converter::PdmConverterWindow window(context, state, ui, lines, report);
    window.OnInitDialog();
    window.OnCommand(converter::kIdCreate);
  };
  int removed = 0;
  const int steps = ExpectNoFileLost(
      {files_ + "board.txt"},
      [&] {
        files_.Write("board.txt", "старый список\r\n");
        files_.Write("res.txt", old_list);
      },
      [&] {
        create();
        if (new_list.empty())
          new_list = testing_support::ReadBytes(files_ + "res.txt");
      },
      [&](int failing) {
        const std::optional<std::string> list = testing_support::FileBytes(files_ + "res.txt");
        EXPECT_TRUE(!list || *list == new_list) << "res.txt after a fault at step " << failing;
        EXPECT_FALSE(FileExists(files_ + "res.txt.new")) << failing;
        removed += !list;
      });
  EXPECT_NE(new_list, old_list);
  EXPECT_GT(removed, 0);
  EXPECT_GT(steps, 20);
}

TEST_F(NoFileLostTest, CopiedFile) {
  const std::string source = files_.Write("patternPE.spw", Shipped("patternPE.spw"));
  ExpectNoFileLost(
      {files_ + "work.spw"}, [&] { files_.Write("work.spw", "old working copy"); },
      [&] { CopyFileOver(source, files_ + "work.spw"); });
}

}  // namespace
}  // namespace zuro
