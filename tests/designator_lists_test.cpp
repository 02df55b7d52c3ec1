#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "readers/designator_lists.h"

namespace zuro::readers {
namespace {

using Designators = std::vector<std::string>;

std::string JoinRunsOf(const std::vector<std::string>& designators) {
  std::string value;
  for (const std::string& designator : designators)
    value += (value.empty() ? "" : ",") + designator;
  return value;
}

TEST(DesignatorListTest, NumbersAreTheDigitRunsWithoutLeadingZeros) {
  EXPECT_EQ(DesignatorSortNumber("R12"), 12);
  EXPECT_EQ(DesignatorSortNumber("R05"), 5);
  EXPECT_EQ(DesignatorSortNumber("C1.2"), 12);
  EXPECT_EQ(DesignatorSortNumber("C1.02"), 12);
  EXPECT_EQ(DesignatorSortNumber("DD3A"), 3);
  EXPECT_EQ(DesignatorSortNumber("R0"), 0);
  EXPECT_EQ(DesignatorSortNumber("R100"), 100);
  EXPECT_EQ(DesignatorSortNumber(""), 0);
  EXPECT_EQ(DesignatorSortNumber("R" + std::string(40, '9')), INT64_MAX);
}

TEST(DesignatorListTest, ReferenceNumbersReadAllDigitsAsOne) {
  EXPECT_EQ(ReferenceNumber("DA10"), 10);
  EXPECT_EQ(ReferenceNumber("R1A2"), 12);
  EXPECT_EQ(ReferenceNumber("C1.02"), 102);
  EXPECT_EQ(ReferenceNumber("R007"), 7);
  EXPECT_EQ(ReferenceNumber("R00"), 0);
  EXPECT_EQ(ReferenceNumber("X"), 0);
  EXPECT_EQ(ReferenceNumber("R" + std::string(40, '9')), INT64_MAX);
}

TEST(DesignatorListTest, SelectionSortMayReorderEqualNumbers) {
  std::vector<NumberedDesignator> list{{"C2", 2}, {"DA2", 2}, {"R1", 1}};
  SortDesignators(list);
  EXPECT_EQ(list[0].text + list[1].text + list[2].text, "R1DA2C2");
}

// Lists around the length where the tree takes over, and long ones, with many equal numbers,
// sort exactly as a plain selection sort leaves them.
TEST(DesignatorListTest, LongListsSortAsThePlainSelection) {
  std::mt19937 random(7);
  for (const size_t count : {3, 31, 32, 33, 34, 65, 200, 5000}) {
    for (int round = 0; round < 20; ++round) {
      const int64_t numbers = 1 + static_cast<int64_t>(random() % (count / 2 + 2));
      std::vector<NumberedDesignator> list;
      for (size_t i = 0; i < count; ++i)
        list.push_back({"D" + std::to_string(i), static_cast<int64_t>(random() % numbers)});
      std::vector<NumberedDesignator> expected = list;
      for (size_t position = 0; position < count; ++position) {
        size_t smallest = position;
        for (size_t candidate = position + 1; candidate < count; ++candidate) {
          if (expected[candidate].number < expected[smallest].number)
            smallest = candidate;
        }
        std::swap(expected[position], expected[smallest]);
      }
      SortDesignators(list);
      for (size_t i = 0; i < count; ++i)
        ASSERT_EQ(list[i].text, expected[i].text) << count << " designators, round " << round;
    }
  }
}

// A run joins neighbours of the list that are plain designators (Latin letters or none, then
// digits) with the same letters and consecutive numbers; a designator of any other shape is an
// item of its own, and nothing is ever left out.
TEST(JoinRunsTest, OnlyPlainDesignatorsOfOneClassMakeRuns) {
  const std::string huge(19, '9');
  const struct {
    std::vector<std::string> ordered;
    std::string joined;
  } cases[] = {
      {{"R1", "R2", "R3", "R5"}, "R1...R3,R5"},
      {{"1", "2", "3"}, "1...3"},
      {{"C2A", "C2B", "C3A", "C3B"}, "C2A,C2B,C3A,C3B"},  // channels of multi-part components
      {{"L1", "FL1", "L2", "L3", "L5", "L19", "L22"}, "L1,FL1,L2...L3,L5,L19,L22"},
      {{"R1", "C2", "VD3"}, "R1,C2,VD3"},
      {{"r1", "R2"}, "r1,R2"},
      {{"DA1-1", "DA1-2", "DA1-3", "C3_CH1", "C3_CH2", "R1A2", "R1A3"},
       "DA1-1,DA1-2,DA1-3,C3_CH1,C3_CH2,R1A2,R1A3"},
      {{"C2", "C2", "C3"}, "C2,C2...C3"},  // a repeated number starts a new item
      {{"R08", "R09", "R10", "R11"}, "R08...R11"},
      {{"R98", "R99", "R100"}, "R98...R100"},
      {{"R09", "R010", "R9", "R010"}, "R09,R010,R9,R010"},  // widths differ where zeros lead
      {{"R0", "R1"}, "R0...R1"},
      {{"С1", "С2"}, "С1,С2"},  // Cyrillic letters are no class letters of a run
      {{"", "R1", "", "R2"}, "R1...R2"},
      {{"R" + huge.substr(1), "R1" + huge.substr(1)},
       "R" + huge.substr(1) + ",R1" + huge.substr(1)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JoinRuns({c.ordered.begin(), c.ordered.end()}), c.joined) << c.joined;
}

// What each reader makes of one component's designators: P-CAD orders by the digit runs and keeps
// runs of two; OrCAD orders by all digits, puts references without a number last and writes runs
// of two apart; the Protel family keeps two or fewer as written and orders more as P-CAD does.
TEST(CompactionTest, EachReaderSortsAndJoinsItsWay) {
  const struct {
    std::vector<std::string> read;
    std::string_view pcad, orcad, protel;
  } cases[] = {
      {{"C5", "C1", "C2", "C3", "C9"}, "C1...C3,C5,C9", "C1...C3,C5,C9", "C1...C3,C5,C9"},
      {{"C1", "C2", "C4", "C5"}, "C1...C2,C4...C5", "C1,C2,C4,C5", "C1...C2,C4...C5"},
      {{"L1", "FL1", "L2", "L3", "L5", "L19", "L22"},
       "L1,FL1,L2...L3,L5,L19,L22",
       "L1,FL1,L2,L3,L5,L19,L22",
       "L1,FL1,L2...L3,L5,L19,L22"},
      {{"C2A", "C3B", "C2B", "C3A"}, "C2A,C2B,C3B,C3A", "C2A,C2B,C3B,C3A", "C2A,C2B,C3B,C3A"},
      {{"C1", "C1", "C2"}, "C1,C1...C2", "C1,C1,C2", "C1,C1...C2"},
      {{"C1", "C2", "C100001"}, "C1...C2,C100001", "C1,C2,C100001", "C1...C2,C100001"},
      // C1.2 orders as 12 in a P-CAD list and as 12 or 102 in the others, and makes no run.
      {{"C103", "C1.02", "C101"}, "C1.02,C101,C103", "C101,C1.02,C103", "C101,C1.02,C103"},
      // The selection leaves equal numbers in the order its exchanges give them.
      {{"DA2", "C2", "R1"}, "R1,C2,DA2", "R1,C2,DA2", "R1,C2,DA2"},
      {{"A2", "B2", "C1"}, "C1,B2,A2", "C1,B2,A2", "C1,B2,A2"},
      {{"C1", "X", "C2", "R0"}, "X,R0,C1...C2", "C1,C2,X,R0", "X,R0,C1...C2"},
      {{"X", "Y", "Z"}, "X,Y,Z", "X,Y,Z", "X,Y,Z"},
  };
  for (const auto& c : cases) {
    std::string value;
    for (const std::string& designator : c.read)
      value += (value.empty() ? "" : ", ") + designator;
    EXPECT_EQ(CompactDesignators(c.read), c.pcad) << value;
    EXPECT_EQ(CompactReferences(c.read), c.orcad) << value;
    EXPECT_EQ(RewriteReferences(value), c.protel) << value;
  }
}

// OrCAD's slots: empty ones hold places in the selection, and a list shorter than two characters
// leaves the cell as the item line wrote it.
TEST(CompactionTest, OrcadSlotsHoldPlaces) {
  EXPECT_EQ(CompactReferences({"", "A2", "B2", "C1"}), "C1,A2,B2");
  EXPECT_EQ(CompactReferences({"A2", "R1", "B2"}), "R1,A2,B2");
  EXPECT_EQ(CompactReferences({"", "", "C5"}), "C5");
  EXPECT_EQ(CompactReferences({"", "X", ""}), "");
  EXPECT_EQ(CompactReferences({"5", "5", "5"}), "5,5,5");
}

// Whatever a reader joined reads back, designator for designator, and counts as many: the runs
// name exactly the designators they joined.
TEST(JoinRunsTest, ExpandingAndCountingGiveBackWhatWasJoined) {
  const std::vector<std::string> pool = {
      "R1",  "R2", "R3", "R9",  "R10", "R11",   "R08",   "R09", "R010", "C2A",  "C2B",
      "C3A", "7",  "8",  "VD1", "VD2", "DA1-1", "DA1-2", "R0",  "r2",   "R099", "R100"};
  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::string> read(2 + random() % 30);
    for (std::string& designator : read)
      designator = pool[random() % pool.size()];
    for (const std::string& list :
         {CompactDesignators(read), RewriteReferences(JoinRunsOf(read)), CompactReferences(read)}) {
      std::vector<std::string> expanded = ExpandDesignators(list);
      std::vector<std::string> sorted_read = read;
      std::sort(sorted_read.begin(), sorted_read.end());
      std::sort(expanded.begin(), expanded.end());
      ASSERT_EQ(expanded, sorted_read) << list;
      ASSERT_EQ(CountDesignators(list), static_cast<int64_t>(read.size())) << list;
    }
  }
}

// A "..." item whose ends make no run (a table saved by an earlier version may hold C2B...C3A)
// names its two ends; a run's ends name every number between them, with the width of leading
// zeros kept across a power of ten.
TEST(ExpandDesignatorsTest, RangesNameWhatTheirEndsAllow) {
  const struct {
    std::string_view item;
    int64_t count;
    Designators expanded;
  } cases[] = {
      {"C2B...C3A", 2, {"C2B", "C3A"}},
      {"R1...C3", 2, {"R1", "C3"}},
      {"DA1-1...DA1-3", 2, {"DA1-1", "DA1-3"}},
      {"R-5...R-7", 2, {"R-5", "R-7"}},
      {"R08...R10", 3, {"R08", "R09", "R10"}},
      {"R00...R02", 3, {"R00", "R01", "R02"}},
      {"R098...R100", 3, {"R098", "R099", "R100"}},
      {"R1...3", 3, {"R1", "R2", "R3"}},
      {"R01...3", 3, {"R01", "R02", "R03"}},
      {"R3...R1", -1, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountDesignators(c.item), c.count) << c.item;
    EXPECT_EQ(ExpandDesignators(c.item), c.expanded) << c.item;
  }
  EXPECT_EQ(JoinPairRanges("C2B...C3A,C2A...C5A"), "C2B,C3A,C2A...C5A");
}

// Lists around the length where the tree takes over, and long ones, with many equal numbers and
// gaps of unnumbered slots, sort as the plain selection sorts them.
TEST(CompactReferencesTest, LongListsSortAsThePlainSelection) {
  std::mt19937 random(11);
  std::vector<std::string> texts;
  for (int i = 0; i < 4000; ++i)
    texts.push_back("R" + std::to_string(i));
  for (const size_t count : {1, 2, 31, 32, 33, 34, 64, 100, 257, 4000}) {
    for (int round = 0; round < 20; ++round) {
      const int64_t numbers = 1 + static_cast<int64_t>(random() % (count / 2 + 2));
      const size_t widest_gap = round % 3;  // no gaps, or up to one or two empty slots
      std::vector<NumberedReference> list;
      size_t slot = random() % 3;
      for (size_t i = 0; i < count; ++i) {
        list.push_back({slot, 1 + static_cast<int64_t>(random() % numbers), texts[i]});
        slot += 1 + (widest_gap ? random() % (widest_gap + 1) : 0);
      }
      const std::vector<NumberedReference> expected = SelectBySlots(list);
      const std::vector<NumberedReference> sorted = SortByNumber(list);
      ASSERT_EQ(sorted.size(), expected.size());
      for (size_t i = 0; i < count; ++i) {
        ASSERT_EQ(sorted[i].text, expected[i].text) << count << " references, round " << round;
        ASSERT_EQ(sorted[i].slot, expected[i].slot) << count << " references, round " << round;
      }
    }
  }
}

TEST(CompactionTest, ProtelValuesOfTwoOrFewerStayAsWritten) {
  for (const std::string value : {"C2, C1", "C1", "", " C2 ,C1", "C2,,C1", "C2, ,C1,", ", "})
    EXPECT_EQ(RewriteReferences(value), value);
  // Empty pieces are no references, so they neither count nor appear.
  EXPECT_EQ(RewriteReferences("C3, C1,, C2,"), "C1...C3");
  EXPECT_EQ(RewriteReferences(" C3 , C 1 ,C2 "), "C1...C3");
}

TEST(CompactionTest, EveryReferenceOfALongProtelValueIsKept) {
  std::string value;
  for (int i = 100000; i >= 1; --i)
    value += "R" + std::to_string(i) + (i % 2 ? ", " : ",");
  EXPECT_EQ(RewriteReferences(value), "R1...R100000");
  value.clear();
  for (int i = 1; i <= 1500; ++i)
    value += "C" + std::to_string(3 * i) + ",";
  const std::string list = RewriteReferences(value);
  EXPECT_EQ(std::count(list.begin(), list.end(), ','), 1499);
  EXPECT_TRUE(list.ends_with(",C4497,C4500"));
}

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
  EXPECT_EQ(CountDesignators("R1...R2147483647"), int64_t{2147483647});
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
}

}  // namespace
}  // namespace zuro::readers
