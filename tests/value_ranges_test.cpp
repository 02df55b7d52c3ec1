#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <cmath>
#include <string>
#include <vector>

#include "pdm/value_ranges.h"

namespace zuro::pdm {
namespace {

const std::string kE24Line = "E24=10;11;12;13;15;16;18;20;22;24;27;30;33;36;39;43;47";
// Three decades, as a range across a change of unit needs them.
const std::string kE24Decades =
    "E24=1,0;1,1;1,2;1,3;1,5;1,6;1,8;2,0;2,2;2,4;2,7;3,0;3,3;3,6;3,9;4,3;4,7;5,1;5,6;6,2;6,8;7,5;"
    "8,2;9,1;10;11;12;13;15;16;18;20;22;24;27;30;33;36;39;43;47;51;56;62;68;75;82;91;100;110;120;"
    "130;150;160;180;200;220;240;270;300;330;360;390;430;470;510;560;620;680;750;820;910";

std::vector<std::string> Texts(const std::vector<RangeMember>& members) {
  std::vector<std::string> texts;
  for (const RangeMember& member : members)
    texts.push_back(member.text);
  return texts;
}

std::vector<RangeMember> Members(const std::string& series_line, std::string_view range) {
  const SeriesTable table = SeriesTable::FromLines({series_line});
  const ValueSeries* series = table.Find("E24");
  return series ? RangeMembers(*series, ReadValueRange(range)) : std::vector<RangeMember>{};
}

float Total(const std::vector<RangeMember>& members) {
  float total = 0;
  for (const RangeMember& member : members)
    total += member.share;
  return total;
}

TEST(SeriesTableTest, FindsASeriesByItsNameWithoutSpaces) {
  const SeriesTable table = SeriesTable::FromLines({"E6=1.0;1,5;2,2", " E 12 =1;2", "E12=10;20;30",
                                                    "E3=1;;2;", "no series here", "E1= 1 ; 4,7 "});
  const ValueSeries* e6 = table.Find("E6");
  ASSERT_TRUE(e6);
  ASSERT_EQ(e6->size(), 3u);
  EXPECT_FLOAT_EQ((*e6)[0].value, 1.0f);
  EXPECT_FLOAT_EQ((*e6)[1].value, 1.5f);
  EXPECT_EQ((*e6)[1].text, "1,5");
  EXPECT_EQ(table.Find(" E 6 "), e6);
  // The last line of a name counts.
  ASSERT_TRUE(table.Find("E12"));
  EXPECT_EQ(table.Find("E12")->size(), 3u);
  // Empty values, as a list ending with ";" leaves, are no values.
  ASSERT_TRUE(table.Find("E3"));
  EXPECT_EQ(table.Find("E3")->size(), 2u);
  ASSERT_TRUE(table.Find("E1"));
  EXPECT_EQ(table.Find("E1")->back().text, "4,7");
  EXPECT_FALSE(table.Find("E24"));
  EXPECT_FALSE(table.Find("e6"));
  EXPECT_FALSE(table.Find("Е6"));  // Cyrillic Е
}

TEST(SeriesTableTest, ReadsTheLibraryFolderAndToleratesAMissingFile) {
  testing_support::TestFolder folder("series");
  EXPECT_FALSE(SeriesTable::Read(folder.path()).Find("E24"));
  folder.Write("bom.ini", "E6=1,0;1,5;2,2;3,3;4,7;6,8\r\n" + kE24Line + "\r\n");
  const SeriesTable table = SeriesTable::Read(folder.path());
  ASSERT_TRUE(table.Find("E24"));
  EXPECT_EQ(table.Find("E24")->size(), 17u);
  EXPECT_EQ(table.Find("E6")->back().text, "6,8");
  // No CR stays on the last value.
  EXPECT_EQ(table.Find("E24")->back().text, "47");
}

TEST(SeriesTableTest, LinesAreReadInPiecesOf4499Characters) {
  testing_support::TestFolder folder("series");
  // 4 + 1124 * 4 - 1 = 4499 characters, then a "9": the last value 3239 is cut after 323.
  std::string line = "E24=";
  for (int i = 0; i < 1124; ++i)
    line += std::to_string(100 + i % 900) + ";";
  line.pop_back();
  ASSERT_EQ(line.size(), 4499u);
  folder.Write("bom.ini", line + "9\nE6=1;2\n");
  const SeriesTable table = SeriesTable::Read(folder.path());
  ASSERT_TRUE(table.Find("E24"));
  EXPECT_EQ(table.Find("E24")->size(), 1124u);
  EXPECT_EQ(table.Find("E24")->back().text, std::to_string(100 + 1123 % 900));
  EXPECT_TRUE(table.Find("E6"));
}

TEST(ValueRangeTest, BoundsAndUnits) {
  ValueRange range = ReadValueRange("10 кОм...47 кОм");
  EXPECT_TRUE(range.has_bounds);
  EXPECT_FLOAT_EQ(range.low, 10);
  EXPECT_FLOAT_EQ(range.high, 47);
  EXPECT_EQ(range.lower_unit, "кОм");
  EXPECT_EQ(range.upper_unit, "кОм");

  range = ReadValueRange("470 Ом...2,2 кОм");
  EXPECT_FLOAT_EQ(range.low, 470);
  EXPECT_FLOAT_EQ(range.high, 2.2f);
  EXPECT_EQ(range.lower_unit, "Ом");
  EXPECT_EQ(range.upper_unit, "кОм");

  // Brackets: no units, and the bracket is not read as part of a bound.
  for (const char* text : {"(20...24)", "<20...24>"}) {
    range = ReadValueRange(text);
    EXPECT_TRUE(range.has_bounds) << text;
    EXPECT_FLOAT_EQ(range.low, 20);
    EXPECT_FLOAT_EQ(range.high, 24);
    EXPECT_EQ(range.lower_unit, "");
    EXPECT_EQ(range.upper_unit, "");
  }
  range = ReadValueRange("20...24");
  EXPECT_TRUE(range.has_bounds);
  EXPECT_EQ(range.lower_unit, "");
  range = ReadValueRange("1,5  мкФ...4,7  мкФ");
  EXPECT_FLOAT_EQ(range.low, 1.5f);
  EXPECT_EQ(range.lower_unit, "мкФ");
  EXPECT_EQ(range.upper_unit, "мкФ");
}

TEST(ValueRangeTest, TextsWithoutBounds) {
  for (const char* text : {"", "-", "10 кОм..47 кОм", "10 кОм - 47 кОм"})
    EXPECT_FALSE(ReadValueRange(text).has_bounds) << text;
}

TEST(RangeMembersTest, WholeSeriesAndBoundsWithinTheTolerance) {
  EXPECT_EQ(Members(kE24Line, "10 кОм...47 кОм").size(), 17u);
  EXPECT_EQ(Texts(Members(kE24Line, "20 кОм...24 кОм")),
            (std::vector<std::string>{"20", "22", "24"}));
  EXPECT_EQ(Texts(Members(kE24Line, "19,99995...24,00005")),
            (std::vector<std::string>{"20", "22", "24"}));
  EXPECT_EQ(Texts(Members(kE24Line, "21...23")), std::vector<std::string>{"22"});
  EXPECT_EQ(Texts(Members(kE24Line, "22...22")), std::vector<std::string>{"22"});
  EXPECT_TRUE(Members(kE24Line, "22,5...23").empty());
}

TEST(RangeMembersTest, RangeLeavingTheSeriesTakesNoMember) {
  EXPECT_TRUE(Members(kE24Line, "5 кОм...22 кОм").empty());
  EXPECT_TRUE(Members(kE24Line, "22 кОм...50 кОм").empty());
  // The first value must not lie above the lower bound, not even within the tolerance; below
  // it, it is taken within the tolerance.
  EXPECT_EQ(Members(kE24Line, "10,00001 кОм...22 кОм").size(), 9u);
  EXPECT_TRUE(Members(kE24Line, "9,9999 кОм...22 кОм").empty());
  EXPECT_EQ(Members(kE24Line, "10 кОм...22 кОм").size(), 9u);
  EXPECT_EQ(Members(kE24Line, "20 кОм...24").size(), 3u);
  EXPECT_TRUE(Members(kE24Line, "10 кОм").empty());
  EXPECT_TRUE(Members("E12=10;12;15", "10...15").empty());
  EXPECT_TRUE(Members("E24=", "10...15").empty());
}

TEST(RangeMembersTest, RangeAcrossAChangeOfUnit) {
  const std::vector<RangeMember> members = Members(kE24Decades, "470 Ом...2,2 кОм");
  EXPECT_EQ(Texts(members),
            (std::vector<std::string>{"1,0", "1,1", "1,2", "1,3", "1,5", "1,6", "1,8", "2,0", "2,2",
                                      "470", "510", "560", "620", "680", "750", "820", "910"}));
  EXPECT_EQ(Members(kE24Decades, "680 пФ...1,5 нФ").size(), 5u + 4u);
}

TEST(RangeMembersTest, AtMost600MembersTheFirstOnes) {
  std::string line = "E24=";
  for (int v = 1; v <= 700; ++v)
    line += std::to_string(v) + (v < 700 ? ";" : "");
  std::vector<RangeMember> members = Members(line, "1...700");
  ASSERT_EQ(members.size(), kMaxRangeMembers);
  EXPECT_EQ(members.front().text, "1");
  EXPECT_EQ(members.back().text, "600");
  EXPECT_EQ(Members(line, "101...700").size(), 600u);
  EXPECT_EQ(Members(line, "102...700").size(), 599u);
  // The spreading of 600 shares ends with their total.
  ShareOut(members, 300, 1);
  EXPECT_NEAR(Total(members), 2, 0.001);
  EXPECT_FLOAT_EQ(members[299].share, 0);
  for (size_t j = 0; j < members.size(); ++j) {
    EXPECT_TRUE(j == 299 || members[j].share > 0) << j;
  }
}

// The E24 range 10...47 with its nominal 22 at place 8: the neighbours one and two steps away
// get the density of the normal distribution, the others its floor 0.01; the sixteen shares
// then rise evenly to add up to 2.
TEST(ShareOutTest, SeventeenMembersShareATotalOfTwo) {
  std::vector<RangeMember> members = Members(kE24Line, "10 кОм...47 кОм");
  ShareOut(members, 22, 1);
  const float one_step = 0.24197072f;
  const float two_steps = 0.05399097f;
  const float rise = (2 - (2 * one_step + 2 * two_steps + 12 * 0.01f)) / 16;
  EXPECT_FLOAT_EQ(members[8].share, 0);
  EXPECT_NEAR(members[7].share, one_step + rise, 1e-5);
  EXPECT_NEAR(members[9].share, one_step + rise, 1e-5);
  EXPECT_NEAR(members[6].share, two_steps + rise, 1e-5);
  EXPECT_NEAR(members[10].share, two_steps + rise, 1e-5);
  for (size_t j : {0u, 1u, 2u, 3u, 4u, 5u, 11u, 12u, 13u, 14u, 15u, 16u})
    EXPECT_NEAR(members[j].share, 0.01f + rise, 1e-5) << j;
  EXPECT_NEAR(Total(members), 2, 0.001);
}

// Up to ten members share a total of 1, more a total of 2; the nominal 15 is one of them.
TEST(ShareOutTest, TenMembersAtMostShareATotalOfOne) {
  struct Case {
    const char* range;
    size_t members;
    float total;
  };
  for (const Case& c : {Case{"10...22", 9, 1}, Case{"10...24", 10, 1}, Case{"10...27", 11, 2}}) {
    std::vector<RangeMember> members = Members(kE24Line, c.range);
    ASSERT_EQ(members.size(), c.members) << c.range;
    ShareOut(members, 15, 1);
    EXPECT_FLOAT_EQ(members[4].share, 0) << c.range;
    EXPECT_NEAR(Total(members), c.total, 0.001) << c.range;
  }
}

TEST(ShareOutTest, ThreeMembersAroundTheNominalHalveTheTotalOfOne) {
  std::vector<RangeMember> members = Members(kE24Line, "20 кОм...24 кОм");
  ShareOut(members, 22, 1);
  EXPECT_NEAR(members[0].share, 0.5, 1e-4);
  EXPECT_FLOAT_EQ(members[1].share, 0);
  EXPECT_NEAR(members[2].share, 0.5, 1e-4);
  // The spread does not depend on σ when both neighbours are one step away.
  ShareOut(members, 22, 5);
  EXPECT_NEAR(members[0].share, 0.5, 1e-4);
}

TEST(ShareOutTest, NominalBetweenSeriesValues) {
  std::vector<RangeMember> members = Members(kE24Line, "20 кОм...24 кОм");
  ShareOut(members, 22.5, 1);
  // 22 is nearest and counts as one step away, like both its neighbours.
  for (const RangeMember& member : members)
    EXPECT_NEAR(member.share, 1.0 / 3, 1e-3) << member.text;
  // Equally far from 20 and 22: the later one is the centre, so 16 lies three steps away and
  // 24 one.
  members = Members(kE24Line, "16...24");
  ShareOut(members, 21, 1);
  EXPECT_LT(members[0].share, members[4].share);
  EXPECT_NEAR(members[2].share, members[3].share, 1e-6);
  EXPECT_NEAR(Total(members), 1, 0.001);
}

TEST(ShareOutTest, NominalWithinAHundredthOfASeriesValueGivesItNoShare) {
  std::vector<RangeMember> members = Members(kE24Line, "20 кОм...24 кОм");
  ShareOut(members, 22.005f, 1);
  EXPECT_FLOAT_EQ(members[1].share, 0);
  EXPECT_NEAR(members[0].share, 0.5, 1e-3);
  EXPECT_NEAR(Total(members), 1, 0.001);
}

TEST(ShareOutTest, FirstMemberAsTheNominalHoldsTheWholeTotal) {
  std::vector<RangeMember> members = Members(kE24Line, "20 кОм...24 кОм");
  ShareOut(members, 20, 1);
  EXPECT_FLOAT_EQ(members[0].share, 1);
  EXPECT_NEAR(members[1].share + members[2].share, 1, 0.001);
  EXPECT_GT(members[1].share, members[2].share);
}

TEST(ShareOutTest, ASingleMember) {
  // The nominal itself (also within a hundredth): no member to give a share to; the member
  // holds the whole total and so gives no line.
  for (const float nominal : {22.0f, 22.005f}) {
    std::vector<RangeMember> members = Members(kE24Line, "21...23");
    ShareOut(members, nominal, 1);
    EXPECT_FLOAT_EQ(members[0].share, 1) << nominal;
  }
  // Another value: it takes the whole total.
  std::vector<RangeMember> members = Members(kE24Line, "21...23");
  ShareOut(members, 30, 1);
  EXPECT_NEAR(members[0].share, 1, 0.001);
  std::vector<RangeMember> none;
  ShareOut(none, 22, 1);
}

TEST(ShareOutTest, SigmaThatIsNoPositiveNumberIsOneStep) {
  std::vector<RangeMember> expected = Members(kE24Line, "10 кОм...47 кОм");
  ShareOut(expected, 22, 1);
  for (const float sigma : {0.0f, -1.0f, NAN, INFINITY}) {
    std::vector<RangeMember> members = Members(kE24Line, "10 кОм...47 кОм");
    ShareOut(members, 22, sigma);
    for (size_t j = 0; j < members.size(); ++j)
      EXPECT_FLOAT_EQ(members[j].share, expected[j].share) << sigma << " " << j;
  }
  // A very narrow or very wide distribution still ends with its total.
  for (const float sigma : {0.001f, 1000.0f}) {
    std::vector<RangeMember> members = Members(kE24Line, "10 кОм...47 кОм");
    ShareOut(members, 22, sigma);
    EXPECT_NEAR(Total(members), 2, 0.001) << sigma;
  }
}

TEST(ShareOutTest, NominalThatIsNoNumberStillEnds) {
  for (const float nominal : {NAN, INFINITY, -INFINITY}) {
    std::vector<RangeMember> members = Members(kE24Line, "10 кОм...47 кОм");
    ShareOut(members, nominal, 1);
    EXPECT_NEAR(Total(members), 2, 0.01) << nominal;
  }
}

TEST(DecimalValueTest, CommaOrPointAndTheNumberAtTheStart) {
  EXPECT_FLOAT_EQ(DecimalValue("2,2"), 2.2f);
  EXPECT_FLOAT_EQ(DecimalValue("2.2"), 2.2f);
  EXPECT_FLOAT_EQ(DecimalValue(" 4,7 кОм"), 4.7f);
  EXPECT_FLOAT_EQ(DecimalValue("кОм"), 0);
  EXPECT_FLOAT_EQ(DecimalValue(""), 0);
}

// The shipped series: every E series of IEC 60063 over the decades 1 to 999, named with a Latin
// and a Cyrillic E, each series every other value of the next finer one.
TEST(ShippedSeriesTest, StandardSeriesOverThreeDecades) {
  const SeriesTable table = SeriesTable::Read(std::string(ZURO_SOURCE_DIR) + "/library/");
  const ValueSeries* finer = nullptr;
  for (const int n : {192, 96, 48, 24, 12, 6}) {
    const ValueSeries* series = table.Find("E" + std::to_string(n));
    ASSERT_TRUE(series) << n;
    const ValueSeries* cyrillic = table.Find("Е" + std::to_string(n));
    ASSERT_TRUE(cyrillic) << n;
    ASSERT_EQ(series->size(), 3u * n);
    for (size_t i = 0; i < series->size(); ++i) {
      EXPECT_EQ((*series)[i].text, (*cyrillic)[i].text);
      if (i > 0) {
        EXPECT_LT((*series)[i - 1].value, (*series)[i].value) << n << " " << i;
      }
      if (i >= static_cast<size_t>(n)) {
        EXPECT_NEAR((*series)[i].value, (*series)[i - n].value * 10, 0.001) << n << " " << i;
      }
      // Near the geometric series; E24 and the coarser ones keep their historic values.
      const double ideal = std::pow(10.0, static_cast<double>(i) / n);
      EXPECT_NEAR((*series)[i].value / ideal, 1, n >= 48 ? 0.006 : 0.05) << n << " " << i;
    }
    if (finer && n != 24) {
      for (size_t i = 0; i < series->size(); ++i)
        EXPECT_EQ((*series)[i].text, (*finer)[2 * i].text) << n << " " << i;
    }
    finer = series;
  }
  const ValueSeries& e24 = *table.Find("E24");
  EXPECT_EQ(e24[0].text, "1,0");
  EXPECT_EQ(e24[10].text, "2,7");
  EXPECT_EQ(e24[16].text, "4,7");
  EXPECT_EQ(e24[23].text, "9,1");
  EXPECT_EQ(e24[24].text, "10");
  EXPECT_EQ(e24[71].text, "910");
  EXPECT_EQ(table.Find("E192")->at(185).text, "9,20");
  EXPECT_EQ(table.Find("E192")->at(191 + 192).text, "98,8");
}

}  // namespace
}  // namespace zuro::pdm
