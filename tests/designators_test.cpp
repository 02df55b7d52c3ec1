#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generation/designators.h"

namespace zuro::generation {
namespace {

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

// A list of elements writes one letter prefix per object: the groups a mixed list is cut into.
TEST(PrefixGroupsTest, MixedListsAreCutByPrefixInTheOrderTheyAppear) {
  const struct {
    const char* list;
    std::vector<std::string> groups;
  } kCases[] = {
      {"P2, R3, R5, R9, R10, R18", {"P2", "R3,R5,R9,R10,R18"}},
      {"R1...R3,C1,R7,\nC4", {"R1...R3,R7", "C1,C4"}},
      {"DA1,DD1,DA2", {"DA1,DA2", "DD1"}},  // all the letters, not the first one
      {"R1,,X,R2, ", {"R1,R2", "X"}},       // blank items go, a numberless one has its prefix
      {"1,R1", {"1", "R1"}},                // no letters is a prefix of its own
      {"R1...R5,R7", {}},                   // one prefix: the list stays as written
      {"C2A,C2B,C3A", {}},                  // channels of one class
      {"", {}},
  };
  for (const auto& test : kCases)
    EXPECT_EQ(PrefixGroups(test.list), test.groups) << test.list;
}

}  // namespace
}  // namespace zuro::generation
