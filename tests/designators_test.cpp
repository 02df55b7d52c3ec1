#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generation/designators.h"

namespace zuro::generation {
namespace {

using Designators = std::vector<std::string>;

TEST(DesignatorItemsTest, CutsAtEveryCommaKeepingEmptyItems) {
  EXPECT_EQ(DesignatorItems("R1,R3...R7, R9 "),
            (std::vector<std::string_view>{"R1", "R3...R7", " R9 "}));
  EXPECT_EQ(DesignatorItems(""), (std::vector<std::string_view>{""}));
  EXPECT_EQ(DesignatorItems(",R1,,"), (std::vector<std::string_view>{"", "R1", "", ""}));
  EXPECT_TRUE(IsBlankItem(""));
  EXPECT_TRUE(IsBlankItem(" \t\r\n"));
  EXPECT_FALSE(IsBlankItem(" R1"));
}

TEST(DesignatorPrefixTest, LettersOfTheFirstPart) {
  EXPECT_EQ(DesignatorPrefix("VD12"), "VD");
  EXPECT_EQ(DesignatorPrefix("R3...R7"), "R");
  EXPECT_EQ(DesignatorPrefix("R1,C2"), "R");
  EXPECT_EQ(DesignatorPrefix(" R5 "), "R");
  EXPECT_EQ(DesignatorPrefix("vd1"), "vd");
  // Letters after a digit still count; Cyrillic letters, digits and signs do not.
  EXPECT_EQ(DesignatorPrefix("C3A"), "CA");
  EXPECT_EQ(DesignatorPrefix("ДR-1"), "R");
  EXPECT_EQ(DesignatorPrefix("Д1"), "");
  EXPECT_EQ(DesignatorPrefix("12"), "");
  EXPECT_EQ(DesignatorPrefix(""), "");
  EXPECT_EQ(DesignatorPrefix(".R1"), "");
}

TEST(DesignatorNumberTest, NumberOfTheLastPart) {
  EXPECT_EQ(DesignatorNumber("R12"), 12);
  EXPECT_EQ(DesignatorNumber("C3A"), 3);
  EXPECT_EQ(DesignatorNumber("R3...R7"), 7);
  EXPECT_EQ(DesignatorNumber("R1,R2"), 2);
  EXPECT_EQ(DesignatorNumber("R"), 0);
  EXPECT_EQ(DesignatorNumber(""), 0);
  EXPECT_EQ(DesignatorNumber("R7."), 0);
  EXPECT_EQ(DesignatorNumber("VD0"), 0);
}

TEST(DesignatorNumberTest, SpacesGoOtherNonLettersStay) {
  EXPECT_EQ(DesignatorNumber(" R5 "), 5);
  EXPECT_EQ(DesignatorNumber("R1 2"), 12);
  EXPECT_EQ(DesignatorNumber("R5\n"), 5);
  EXPECT_EQ(DesignatorNumber("\nR5"), 5);
  EXPECT_EQ(DesignatorNumber("R-3"), -3);
  EXPECT_EQ(DesignatorNumber("R1A2"), 12);
  // A Cyrillic letter is kept and stops the number where atoi would.
  EXPECT_EQ(DesignatorNumber("7Д"), 7);
  EXPECT_EQ(DesignatorNumber("Д7"), 0);
  EXPECT_EQ(DesignatorNumber("R2.5"), 5);
}

TEST(DesignatorNumberTest, SaturatesAtTheLimitsOfA32BitInteger) {
  EXPECT_EQ(DesignatorNumber("R2147483647"), 2147483647);
  EXPECT_EQ(DesignatorNumber("R2147483648"), 2147483647);
  EXPECT_EQ(DesignatorNumber("R99999999999999999999999"), 2147483647);
  EXPECT_EQ(DesignatorNumber("R-2147483648"), -2147483647 - 1);
  EXPECT_EQ(DesignatorNumber("R-99999999999"), -2147483647 - 1);
}

TEST(CountDesignatorsTest, RangesCountTheirSpan) {
  EXPECT_EQ(CountDesignators("R1,R3...R7,R9"), 7);
  EXPECT_EQ(CountDesignators("R1"), 1);
  EXPECT_EQ(CountDesignators("R1,R2"), 2);
  EXPECT_EQ(CountDesignators("R4...R5"), 2);
  EXPECT_EQ(CountDesignators("R1...R4,R9 "), 5);
  EXPECT_EQ(CountDesignators("VD10...VD12,C1...C3"), 6);
  EXPECT_EQ(CountDesignators("R1...R2000000000"), 2000000000);
  EXPECT_EQ(CountDesignators("R-2147483648...R2147483647"), int64_t{4294967296});
}

TEST(CountDesignatorsTest, TwoDotsMarkARangeOnlyAfterTheFirstCharacter) {
  EXPECT_EQ(CountDesignators("R3..R7"), 5);
  EXPECT_EQ(CountDesignators("...R7"), 1);
  EXPECT_EQ(CountDesignators("..R7"), 1);
  EXPECT_EQ(CountDesignators("R.5"), 1);
  // A first part with a dot of its own: the range starts at the first dot.
  EXPECT_EQ(CountDesignators("R1.5...R7"), 7);
}

TEST(CountDesignatorsTest, ReversedAndOpenRangesCountAsWritten) {
  EXPECT_EQ(CountDesignators("R7...R3"), -3);
  EXPECT_EQ(CountDesignators("R7...R7"), 1);
  EXPECT_EQ(CountDesignators("R7...R6"), 0);
  EXPECT_EQ(CountDesignators("R1,R7...R3"), -2);
  EXPECT_EQ(CountDesignators("R5..."), -4);
}

TEST(CountDesignatorsTest, BlankItemsNameNoDesignator) {
  EXPECT_EQ(CountDesignators(""), 0);
  EXPECT_EQ(CountDesignators(" "), 0);
  EXPECT_EQ(CountDesignators("R1,,R2"), 2);
  EXPECT_EQ(CountDesignators("R1,R2, \n"), 2);
  EXPECT_EQ(CountDesignators(",R1"), 1);
}

TEST(JoinPairRangesTest, RangesOfTwoBecomePairs) {
  EXPECT_EQ(JoinPairRanges("R4...R5"), "R4,R5");
  EXPECT_EQ(JoinPairRanges("R4...R6"), "R4...R6");
  EXPECT_EQ(JoinPairRanges("R4...R9"), "R4...R9");
  EXPECT_EQ(JoinPairRanges("R1,R4...R5,R7,R9...R10 "), "R1,R4,R5,R7,R9,R10 ");
  EXPECT_EQ(JoinPairRanges("VD9...VD10,C1...C3"), "VD9,VD10,C1...C3");
}

TEST(JoinPairRangesTest, EverythingElseStaysByteForByte) {
  EXPECT_EQ(JoinPairRanges(""), "");
  EXPECT_EQ(JoinPairRanges("R1,,R2, "), "R1,,R2, ");
  EXPECT_EQ(JoinPairRanges(" R4...R5 "), " R4,R5 ");
  EXPECT_EQ(JoinPairRanges("R5...R4"), "R5...R4");
  EXPECT_EQ(JoinPairRanges("R4...R4"), "R4...R4");
  EXPECT_EQ(JoinPairRanges("R4..R5"), "R4..R5");
  EXPECT_EQ(JoinPairRanges("...R1"), "...R1");
  EXPECT_EQ(JoinPairRanges("R0...R1,"), "R0,R1,");
}

TEST(ExpandDesignatorsTest, ListsAndRanges) {
  EXPECT_EQ(ExpandDesignators("R1...R3,C5"), (Designators{"R1", "R2", "R3", "C5"}));
  EXPECT_EQ(ExpandDesignators("R1...R3"), (Designators{"R1", "R2", "R3"}));
  EXPECT_EQ(ExpandDesignators("R1, R2 ,R3"), (Designators{"R1", "R2", "R3"}));
  EXPECT_EQ(ExpandDesignators("VD10...VD12"), (Designators{"VD10", "VD11", "VD12"}));
  EXPECT_EQ(ExpandDesignators("R 1 ... R 3"), (Designators{"R1", "R2", "R3"}));
  // The prefix ends before the first significant digit, so zeros stay in it.
  EXPECT_EQ(ExpandDesignators("R01...R03"), (Designators{"R01", "R02", "R03"}));
  EXPECT_EQ(ExpandDesignators("R9...R10"), (Designators{"R9", "R10"}));
  EXPECT_EQ(ExpandDesignators("R1...3"), (Designators{"R1", "R2", "R3"}));
  EXPECT_EQ(ExpandDesignators("R5...R5"), (Designators{"R5"}));
  EXPECT_EQ(ExpandDesignators("R7...R3,C1"), (Designators{"C1"}));
}

TEST(ExpandDesignatorsTest, OneDesignatorWithoutRangeOrComma) {
  EXPECT_EQ(ExpandDesignators("R1"), (Designators{"R1"}));
  EXPECT_EQ(ExpandDesignators(" VD12 "), (Designators{"VD12"}));
  EXPECT_EQ(ExpandDesignators("R1..R3"), (Designators{"R1..R3"}));
}

TEST(ExpandDesignatorsTest, OneCharacterOrLessGivesNone) {
  EXPECT_TRUE(ExpandDesignators("").empty());
  EXPECT_TRUE(ExpandDesignators("R").empty());
  EXPECT_TRUE(ExpandDesignators("   ").empty());
  EXPECT_TRUE(ExpandDesignators(" R ").empty());
  EXPECT_TRUE(ExpandDesignators(",").empty());
  EXPECT_EQ(ExpandDesignators("R,"), (Designators{"R"}));
}

TEST(ExpandDesignatorsTest, IncompleteRangesAreOneDesignator) {
  EXPECT_EQ(ExpandDesignators("...R3,R4"), (Designators{"...R3", "R4"}));
  EXPECT_EQ(ExpandDesignators("R1...,R4"), (Designators{"R1...", "R4"}));
  EXPECT_EQ(ExpandDesignators("R1..R3,R4"), (Designators{"R1..R3", "R4"}));
}

TEST(ExpandDesignatorsTest, StopsAtTheFirstEmptyItem) {
  EXPECT_EQ(ExpandDesignators("R1,,R3"), (Designators{"R1"}));
  EXPECT_EQ(ExpandDesignators("R1,R2,"), (Designators{"R1", "R2"}));
  EXPECT_EQ(ExpandDesignators("R1, ,R3"), (Designators{"R1"}));
  EXPECT_TRUE(ExpandDesignators(",R1,R2").empty());
}

TEST(ExpandDesignatorsTest, ReadsAtMost101Items) {
  std::string list;
  for (int n = 1; n <= 105; ++n)
    list += (n > 1 ? "," : "") + ("C" + std::to_string(n));
  const Designators designators = ExpandDesignators(list);
  ASSERT_EQ(designators.size(), 101u);
  EXPECT_EQ(designators.front(), "C1");
  EXPECT_EQ(designators.back(), "C101");

  // The 101st item is still expanded whole; the 102nd is not read.
  std::string ranges;
  for (int n = 1; n <= 100; ++n)
    ranges += "C" + std::to_string(n) + ",";
  EXPECT_EQ(ExpandDesignators(ranges + "R1...R3,R9").size(), 103u);
  EXPECT_EQ(ExpandDesignators(ranges + "R1...R3,R9").back(), "R3");
}

TEST(ExpandDesignatorsTest, AHugeRangeIsCapped) {
  const Designators designators = ExpandDesignators("R1...R2000000000,C1");
  ASSERT_EQ(designators.size(), 10001u);
  EXPECT_EQ(designators[9999], "R10000");
  EXPECT_EQ(designators.back(), "C1");
  // The ends of the 32-bit range neither overflow nor loop.
  EXPECT_EQ(ExpandDesignators("R2147483646...R99999999999"),
            (Designators{"R2147483646", "R2147483647"}));
  // A sign is no significant digit: it stays in the prefix.
  EXPECT_EQ(ExpandDesignators("R-5...R-7"), (Designators{"R-5", "R-6", "R-7"}));
}

TEST(DesignatorSectionTest, UpperCaseLatinLettersHaveTheirSections) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::vector<int32_t> sections = {1,   5,   10, 15, 20, 25, 30, 35, 36, 37, 40, 45,  50,
                                         200, 200, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 105};
  for (size_t i = 0; i < letters.size(); ++i) {
    const std::string designator = letters.substr(i, 1) + "1";
    EXPECT_EQ(DesignatorSection(designator), sections[i]) << designator;
    EXPECT_EQ(DesignatorSectionNoTrim(designator), sections[i]) << designator;
  }
}

TEST(DesignatorSectionTest, EverythingElseGoesTo200) {
  for (const char* designators : {"N1", "O1", "r1", "a1", "z1", "1R", "", "   ", ",R1", ".R1", "Р1",
                                  "С1", "\tR1", "\nR1", "\xFF"})
    EXPECT_EQ(DesignatorSection(designators), 200) << designators;
}

TEST(DesignatorSectionTest, FirstCharacterOnly) {
  EXPECT_EQ(DesignatorSection("VD1"), 85);
  EXPECT_EQ(DesignatorSection("I1,J1"), 36);
  EXPECT_EQ(DesignatorSection("J1"), 37);
  EXPECT_EQ(DesignatorSection("R1,\nC2"), 65);
}

TEST(DesignatorSectionTest, LeadingSpacesAreSkippedInOneVariantOnly) {
  EXPECT_EQ(DesignatorSection("  R1"), 65);
  EXPECT_EQ(DesignatorSectionNoTrim("  R1"), 200);
  EXPECT_EQ(DesignatorSectionNoTrim("R1"), 65);
  EXPECT_EQ(DesignatorSectionNoTrim(""), 200);
  EXPECT_EQ(DesignatorSection(" VD1"), 85);
  EXPECT_EQ(DesignatorSectionNoTrim(" VD1"), 200);
}

}  // namespace
}  // namespace zuro::generation
