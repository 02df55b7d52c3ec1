#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_system.h"
#include "templates/field_templates.h"
#include "templates/keyed_line_file.h"

namespace zuro::templates {
namespace {

class TemplatesFileTest : public ::testing::Test {
 protected:
  void TearDown() override { SetFileFaultHook(nullptr); }
  std::string Path(const std::string& name) const { return files_ + name; }
  void Write(const std::string& name, const std::string& bytes) { files_.Write(name, bytes); }
  std::string Read(const std::string& name) { return testing_support::ReadBytes(Path(name)); }

  testing_support::TestFolder files_{"templates"};
  const std::string folder_ = files_.path();
};

using KeyedLineFileTest = TemplatesFileTest;

TEST_F(KeyedLineFileTest, FindsFirstLineWhoseWholeFirstWordIsTheKey) {
  Write("a.cfg", "10 x\n  1  a b\r\n2\tq\n1 second\n");
  KeyedLineFile file;
  ASSERT_TRUE(file.OpenForReading(Path("a.cfg")));
  EXPECT_EQ(file.GetValue("1"), " a b");  // "10" is not "1"; one space after the word removed
  EXPECT_EQ(file.GetValue("2"), "\tq");   // a tab ends the word and stays in the value
  EXPECT_EQ(file.GetValue("10"), "x");    // always searched from the start
  EXPECT_EQ(file.GetValue("1"), " a b");
  EXPECT_EQ(file.GetValue("3"), std::nullopt);
}

TEST_F(KeyedLineFileTest, LongLinesAreReadIn78CharacterPieces) {
  // The rest after 78 characters is a line of its own, so a key there is found; one character
  // less and the key is glued to the piece before.
  Write("a.cfg", std::string(78, 'x') + "5 7\r\n" + std::string(77, 'y') + "6 8\r\n");
  KeyedLineFile file;
  ASSERT_TRUE(file.OpenForReading(Path("a.cfg")));
  EXPECT_EQ(file.GetValue("5"), "7");
  EXPECT_EQ(file.GetValue("6"), std::nullopt);
}

TEST_F(KeyedLineFileTest, CommentsAndEndMark) {
  Write("a.cfg", "3 a\n;4 b\n\x01 end\n4 c\n");
  KeyedLineFile file;
  ASSERT_TRUE(file.OpenForReading(Path("a.cfg")));
  EXPECT_EQ(file.GetValue("3"), "a");
  EXPECT_EQ(file.GetValue(";4"), std::nullopt);
  EXPECT_EQ(file.GetValue("4"), std::nullopt);
  EXPECT_FALSE(file.OpenForReading(Path("missing.cfg")));
  EXPECT_EQ(file.GetValue("3"), std::nullopt);
}

TEST_F(KeyedLineFileTest, WritesCrLfLinesOnCloseAndNeverLosesTheOldFile) {
  Write("a.cfg", "old\r\n");
  KeyedLineFile file;
  file.OpenForWriting(Path("a.cfg"));
  file.PutLine("1 4");
  file.PutLine("2");
  EXPECT_EQ(Read("a.cfg"), "old\r\n");
  file.OpenForWriting(Path("b.cfg"));  // closes a.cfg
  EXPECT_EQ(Read("a.cfg"), "1 4\r\n2\r\n");
  file.PutLine("x");
  SetFileFaultHook([](const char* step) { return std::string(step) == "move"; });
  EXPECT_FALSE(file.Close());
  EXPECT_FALSE(std::filesystem::exists(Path("b.cfg")));
  {
    KeyedLineFile abandoned;
    abandoned.OpenForWriting(Path("a.cfg"));
    abandoned.PutLine("lost");
  }
  EXPECT_EQ(Read("a.cfg"), "1 4\r\n2\r\n");
}

using FieldTemplatesTest = TemplatesFileTest;

TemplateRow MakeRow(std::initializer_list<int32_t> references) {
  TemplateRow row{};
  std::copy(references.begin(), references.end(), row.begin());
  return row;
}

TEST_F(FieldTemplatesTest, FileWithOnlyOneLine) {
  Write("bom.cfg", "5 7");
  FieldTemplates templates;
  ASSERT_TRUE(Load(templates, LibraryCommand::kPcad, folder_));
  EXPECT_TRUE(templates.loaded);
  for (int position = 0; position < kFieldCount; ++position) {
    const DocumentField field = FieldAt(position);
    EXPECT_EQ(templates.Row(field),
              field == DocumentField::kDesignators ? MakeRow({7}) : TemplateRow{});
  }
}

TEST_F(FieldTemplatesTest, WordsBecomeReferencesAndComposeInOrder) {
  Write("bom.cfg",
        "2 3 1 3\r\n"
        "1   2.9  x -4 0 6\r\n"
        "3 1 2 3 4 5 6 7 8 9 10 11 12\r\n"
        "4 12 2\r\n");
  FieldTemplates templates;
  ASSERT_TRUE(Load(templates, LibraryCommand::kPcad, folder_));
  EXPECT_EQ(templates.Row(DocumentField::kSpecName), MakeRow({3, 1, 3}));
  EXPECT_EQ(templates.Row(DocumentField::kCount), MakeRow({2, -4, 0, 6}));
  EXPECT_EQ(templates.Row(DocumentField::kListName), MakeRow({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  // Eleven attributes; column 12 is a column the window appends, not an attribute.
  const FieldTexts texts =
      Compose(templates, 11, [](int column) { return "c" + std::to_string(column); });
  EXPECT_EQ(texts[0], "c2 c6 ");
  EXPECT_EQ(texts[1], "c3 c1 c3 ");
  EXPECT_EQ(texts[2], "c1 c2 c3 c4 c5 c6 c7 c8 c9 c10 ");
  EXPECT_EQ(texts[3], " c2 ");
  EXPECT_EQ(texts[4], "");
}

TEST_F(FieldTemplatesTest, SaveWritesTenLinesAndLoadsBack) {
  FieldTemplates templates;
  templates.Row(DocumentField::kCount) = MakeRow({4});
  templates.Row(DocumentField::kSpecName) = MakeRow({2, 3});
  templates.Row(DocumentField::kDesignators) = MakeRow({0, 7, -1});
  ASSERT_TRUE(Save(templates, LibraryCommand::kPcad, folder_));
  EXPECT_EQ(Read("bom.cfg"), "1 4\r\n2 2 3\r\n3\r\n4\r\n5 7\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");

  templates.Row(DocumentField::kDesignators) = MakeRow({7});
  templates.Row(DocumentField::kStandard) = MakeRow({100, 1, 100, 2, 3, 4, 5, 6, 7, 99});
  ASSERT_TRUE(Save(templates, LibraryCommand::kPcad, folder_));
  FieldTemplates loaded;
  ASSERT_TRUE(Load(loaded, LibraryCommand::kPcad, folder_));
  EXPECT_EQ(loaded.rows, templates.rows);
}

TEST_F(FieldTemplatesTest, FailedSaveKeepsTheOldFile) {
  Write("bom1.cfg", "1 4\r\n");
  FieldTemplates templates;
  templates.Row(DocumentField::kCount) = MakeRow({9});
  SetFileFaultHook([](const char* step) { return std::string(step) == "write"; });
  EXPECT_FALSE(Save(templates, LibraryCommand::kOrcad, folder_));
  EXPECT_EQ(Read("bom1.cfg"), "1 4\r\n");
  EXPECT_FALSE(std::filesystem::exists(Path("bom1.cfg.new")));
  SetFileFaultHook(nullptr);
  EXPECT_FALSE(Save(templates, LibraryCommand::kOrcad, folder_ + "no-such-folder/"));
}

TEST_F(FieldTemplatesTest, MissingFileLeavesEverythingEmpty) {
  FieldTemplates templates;
  templates.Row(DocumentField::kSupplier) = MakeRow({1, 2});
  templates.loaded = true;
  EXPECT_FALSE(Load(templates, LibraryCommand::kPcad, folder_));
  EXPECT_FALSE(templates.loaded);
  EXPECT_EQ(templates.rows, FieldTemplates{}.rows);
  EXPECT_EQ(Compose(templates, 5, [](int) { return "x"; }), FieldTexts{});
}

TEST_F(FieldTemplatesTest, EachCommandHasItsFile) {
  FieldTemplates templates;
  for (int command : {1, 2, 3, 5}) {
    templates.Row(DocumentField::kCount) = MakeRow({command});
    ASSERT_TRUE(Save(templates, LibraryCommand{command}, folder_));
  }
  EXPECT_EQ(Read("bom.cfg").substr(0, 5), "1 1\r\n");
  EXPECT_EQ(Read("bom1.cfg").substr(0, 5), "1 2\r\n");
  EXPECT_EQ(Read("bom3.cfg").substr(0, 5), "1 3\r\n");
  EXPECT_EQ(Read("bom4.cfg").substr(0, 5), "1 5\r\n");
  EXPECT_FALSE(std::filesystem::exists(Path("bom2.cfg")));
  // Protel, Altium Designer and Cadence Allegro share one file.
  for (int command : {4, 6}) {
    ASSERT_TRUE(Load(templates, LibraryCommand{command}, folder_));
    EXPECT_EQ(templates.Row(DocumentField::kCount), MakeRow({3}));
  }
  EXPECT_FALSE(Load(templates, LibraryCommand{7}, folder_));
  EXPECT_FALSE(Save(templates, LibraryCommand{0}, folder_));
}

}  // namespace
}  // namespace zuro::templates
