#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "pdm/pdm_settings.h"

namespace zuro::pdm {
namespace {

using Marks = std::vector<std::string>;

TEST(PdmSettingsTest, ReadsEveryKeyOfTheFile) {
  testing_support::TestFolder folder("pdm_settings");
  folder.Write("bom_veldor.ini",
               "TYPE1=Электрорадиоизделие\r\nTYPE2=Сборочная единица\r\nDISK=D\r\nSKO=2.5\r\n"
               "SYMBOL=*;#\r\n");
  const PdmSettings settings = ReadPdmSettings(folder.path());
  EXPECT_EQ(settings.type1, "Электрорадиоизделие");
  EXPECT_EQ(settings.type2, "Сборочная единица");
  EXPECT_EQ(settings.disk, "D");
  EXPECT_FLOAT_EQ(settings.sko, 2.5f);
  EXPECT_EQ(settings.adjustment_marks, (Marks{"*", "#"}));
}

TEST(PdmSettingsTest, KeysAreExactAndTheLastLineOfAKeyCounts) {
  testing_support::TestFolder folder("pdm_settings");
  folder.Write("bom_veldor.ini",
               "TYPE1=first\nTYPE1=second\ntype2=lower case\n TYPE2=leading space\nTYPE2 =space\n"
               "DISK=A=B\nSYMBOL\nSKO=3\nSKO=\n");
  const PdmSettings settings = ReadPdmSettings(folder.path());
  EXPECT_EQ(settings.type1, "second");
  EXPECT_EQ(settings.type2, "");
  // An "=" inside a value cuts it.
  EXPECT_EQ(settings.disk, "A");
  // A line without "=" sets nothing; an empty SKO after a good one leaves no usable value.
  EXPECT_TRUE(settings.adjustment_marks.empty());
  EXPECT_FLOAT_EQ(settings.sko, 1);
}

TEST(PdmSettingsTest, MissingFileGivesEmptyTextsAndOneStep) {
  testing_support::TestFolder folder("pdm_settings");
  const PdmSettings settings = ReadPdmSettings(folder.path());
  EXPECT_EQ(settings.type1, "");
  EXPECT_EQ(settings.type2, "");
  EXPECT_EQ(settings.disk, "");
  EXPECT_FLOAT_EQ(settings.sko, 1);
  EXPECT_TRUE(settings.adjustment_marks.empty());
}

TEST(PdmSettingsTest, SkoThatIsNoPositiveNumberIsOneStep) {
  testing_support::TestFolder folder("pdm_settings");
  const std::vector<std::pair<std::string, float>> cases = {
      {"SKO=0.5", 0.5f},
      {"SKO=0", 1},
      {"SKO=-2", 1},
      {"SKO=abc", 1},
      {"SKO=1e-3", 0.001f},
      {"SKO=nan", 1},
      {"SKO=inf", 1},
      {"SKO=1e99", 1},
      {"SKO= 3", 3},
      // A decimal comma ends the number, as atof reads it.
      {"SKO=1,5", 1},
      {"SKO=0,5", 1}};
  for (const auto& [line, sko] : cases) {
    folder.Write("bom_veldor.ini", line + "\n");
    EXPECT_FLOAT_EQ(ReadPdmSettings(folder.path()).sko, sko) << line;
  }
}

TEST(PdmSettingsTest, AdjustmentMarksKeepEveryPieceOfTheList) {
  EXPECT_EQ(AdjustmentMarks(""), Marks{});
  EXPECT_EQ(AdjustmentMarks("*"), Marks{"*"});
  // A list ending with ";" holds an empty mark, which every designation contains.
  EXPECT_EQ(AdjustmentMarks("*;"), (Marks{"*", ""}));
  EXPECT_EQ(AdjustmentMarks("*;;**"), (Marks{"*", "", "**"}));
  EXPECT_EQ(AdjustmentMarks(";"), (Marks{"", ""}));
}

TEST(PdmSettingsTest, LongLinesReadInPiecesOf198Characters) {
  testing_support::TestFolder folder("pdm_settings");
  // The rest of a long line reads as a line of its own, here one that sets SKO.
  const std::string type1(192, 'x');
  folder.Write("bom_veldor.ini",
               "TYPE1=" + type1 + "SKO=4\nTYPE2=" + std::string(10000, 'y') + "\n");
  const PdmSettings settings = ReadPdmSettings(folder.path());
  EXPECT_EQ(settings.type1, type1);
  EXPECT_FLOAT_EQ(settings.sko, 4);
  EXPECT_EQ(settings.type2, std::string(192, 'y'));
}

TEST(PdmSettingsTest, Utf8FileReadsAsCp1251) {
  testing_support::TestFolder folder("pdm_settings");
  folder.Write("bom_veldor.ini", Cp1251ToUtf8("TYPE1=Изделие\nSYMBOL=№\n"));
  const PdmSettings settings = ReadPdmSettings(folder.path());
  EXPECT_EQ(settings.type1, "Изделие");
  EXPECT_EQ(settings.adjustment_marks, Marks{"№"});
}

TEST(PdmSettingsTest, ShippedSettingsFile) {
  const PdmSettings settings = ReadPdmSettings(std::string(ZURO_SOURCE_DIR) + "/library/");
  EXPECT_FALSE(settings.type1.empty());
  EXPECT_FALSE(settings.type2.empty());
  EXPECT_FLOAT_EQ(settings.sko, 1);
  EXPECT_EQ(settings.adjustment_marks, Marks{"*"});
}

}  // namespace
}  // namespace zuro::pdm
