#include <gtest/gtest.h>

#include "tests/table_text.h"

#include <cstdlib>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "generation/designators.h"
#include "generation/gost_split.h"
#include "table/component_rows.h"
#include "table/grid_model.h"

namespace zuro::generation {
namespace {

constexpr int kRefDes = 1;
constexpr int kCount = 2;

class GostSplitTest : public ::testing::Test {
 protected:
  GostSplitTest() {
    table::ResetComponentTable(table_);
    for (const char* title : {"RefDes", "Count", "Value"})
      table_.InsertColumn(title);
  }
  void TearDown() override { EXPECT_TRUE(tester_.Faults().empty()) << tester_.Faults()[0]; }

  int AddRow(const std::vector<std::string>& texts, bool selected = true) {
    const int row = table::AppendComponentRow(table_);
    for (size_t col = 0; col < texts.size(); ++col)
      table_.SetItemText(row, static_cast<int>(col) + 1, texts[col]);
    if (!selected)
      table_.SetItemImage(row, 0, table::kUnmarked);
    return row;
  }

  // What the run hands over for row w: the count and designators cells composed (each followed
  // by one space), the designators with their pair ranges joined.
  GostSplitResult Split(int w) {
    return GostSplit(table_, w, kRefDes, kCount, table_.GetItemText(w, kCount) + " ",
                     JoinPairRanges(table_.GetItemText(w, kRefDes) + " "));
  }

  std::string Dump() const { return testing_support::TableText(table_); }

  // Column 0 of rows 1..: mark image and RowMark.
  std::string Marks() const {
    std::string marks;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      marks += std::to_string(table_.GetItemImage(row, 0)) + "/" +
               std::to_string(table_.GetItemData(row, 0)) + " ";
    return marks;
  }

  table::GridModel table_;
  table::GridModelTester tester_{table_};
};

TEST_F(GostSplitTest, ARowIsCutWhereAnotherRowsDesignatorFallsBetween) {
  AddRow({"R1,R2,R5", "3", "10 кОм"});
  AddRow({"R3,R4", "2", "20 кОм"});
  ASSERT_EQ(Dump(), "#RefDes#Count#Value\n#R1,R2,R5#3#10 кОм\n#R3,R4#2#20 кОм\n");

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.count_text, "2");
  EXPECT_EQ(result.designator_text, "R1,R2");
  // Row B reaches no further than R4, below R5, and stays whole.
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1,R2#2#10 кОм\n#R3,R4#2#20 кОм\n#R5 #1#10 кОм\n");
  EXPECT_EQ(Marks(), "1/0 1/0 1/0 ");
  EXPECT_EQ(table_.GetItemText(3, 0), " ");
}

TEST_F(GostSplitTest, NothingBetweenLeavesRowAndTextsAlone) {
  AddRow({"R1,R2,R3", "3", "A"});
  AddRow({"R5,R6", "2", "B"});
  AddRow({"C2", "1", "C"});
  const std::string before = Dump();

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.count_text, "3 ");
  EXPECT_EQ(result.designator_text, "R1,R2,R3 ");
  EXPECT_EQ(Dump(), before);
}

TEST_F(GostSplitTest, OnlyTheSamePrefixAndStrictlyBetweenCount) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"C3,VR3", "2", "B"});
  AddRow({"R1", "1", "C"});
  AddRow({"R5", "1", "D"});
  const std::string before = Dump();
  EXPECT_EQ(Split(1).designator_text, "R1,R5 ");
  EXPECT_EQ(Dump(), before);

  // Lower case is another prefix.
  AddRow({"r3", "1", "E"});
  EXPECT_EQ(Split(1).designator_text, "R1,R5 ");
  AddRow({"R4", "1", "F"});
  EXPECT_EQ(Split(1).designator_text, "R1");
}

TEST_F(GostSplitTest, AnUnselectedRowReachingAcrossIsCutAndItsCopySelected) {
  AddRow({"R1,R2,R5", "3", "A"});
  const int b = AddRow({"R3,R7", "2", "B"}, false);
  table_.SetItemData(b, 0, -1);

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.count_text, "2");
  EXPECT_EQ(result.designator_text, "R1,R2");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1,R2#2#A\n#R3#1#B\n#R5 #1#A\n#R7#1#B\n");
  EXPECT_EQ(Marks(), "1/0 0/-1 1/0 1/0 ");
}

// Only the number of the designator after the one in the gap decides, and it must lie past d.
TEST_F(GostSplitTest, AnotherRowIsCutOnlyWhenItGoesOnPastD) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"R2,C5", "2", "B"});
  AddRow({"R3,C6", "2", "C"});

  Split(1);

  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#A\n#R2,C5#2#B\n#R3#1#C\n#R5 #1#A\n#C6#1#C\n");
}

TEST_F(GostSplitTest, TheTitleRowIsNoComponent) {
  table_.SetItemText(0, kRefDes, "R3,R9");
  AddRow({"R1,R5", "2", "A"});
  const std::string before = Dump();

  EXPECT_EQ(Split(1).designator_text, "R1,R5 ");
  EXPECT_EQ(Dump(), before);
}

TEST_F(GostSplitTest, EveryRowReachingAcrossTheGapIsCut) {
  AddRow({"R1,R9", "2", "A"});
  AddRow({"R2,R10", "2", "B"});
  AddRow({"R3,R4,R11...R13", "5", "C"});
  AddRow({"R5,R8", "2", "D"});

  Split(1);

  EXPECT_EQ(Dump(),
            "#RefDes#Count#Value\n#R1#1#A\n#R2#1#B\n#R3,R4#2#C\n#R5,R8#2#D\n"
            "#R9 #1#A\n#R10#1#B\n#R11...R13#3#C\n");
}

TEST_F(GostSplitTest, CountsOfRangesOnBothSidesOfTheCut) {
  AddRow({"R1...R4,R9", "5", "A"});
  AddRow({"R6", "1", "B"});

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.count_text, "4");
  EXPECT_EQ(result.designator_text, "R1...R4");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1...R4#4#A\n#R6#1#B\n#R9 #1#A\n");
}

TEST_F(GostSplitTest, CountsOfRangesInTheOtherRow) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"R2...R3,R10...R12,R20", "6", "B"});

  AddRow({"R3...R7", "5", "C"});

  Split(1);

  // A range is compared by its last number: R2...R3 lies between R1 and R5, R3...R7 does not.
  EXPECT_EQ(Dump(),
            "#RefDes#Count#Value\n#R1#1#A\n#R2...R3#2#B\n#R3...R7#5#C\n#R5 #1#A\n"
            "#R10...R12,R20#4#B\n");
}

TEST_F(GostSplitTest, PairRangesAreCutAsTheTwoDesignatorsTheyAre) {
  AddRow({"R4...R5", "2", "A"});
  AddRow({"R7,R8", "2", "B"});
  AddRow({"R1,R6", "2", "C"});

  // R4...R5 reaches the split as R4,R5: nothing of another row lies between them.
  const GostSplitResult pair = Split(1);
  EXPECT_EQ(pair.designator_text, "R4,R5 ");
  EXPECT_EQ(table_.GetRowCount(), 4);

  // R1,R6 is cut by row 1, whose range is compared by its last designator, R5.
  const GostSplitResult cut = Split(3);
  EXPECT_EQ(cut.designator_text, "R1");
  EXPECT_EQ(cut.count_text, "1");
  EXPECT_EQ(table_.GetItemText(4, kRefDes), "R6 ");
}

TEST_F(GostSplitTest, CutsOnlyOnceAndTheCopyIsCutWhenTheRunReachesIt) {
  AddRow({"R1,R3,R5,R7", "4", "A"});
  AddRow({"R2", "1", "B"});
  AddRow({"R6", "1", "C"});

  EXPECT_EQ(Split(1).designator_text, "R1");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#A\n#R2#1#B\n#R6#1#C\n#R3,R5,R7 #3#A\n");

  // The run reaches the copy as a row of its own.
  const GostSplitResult copy = Split(4);
  EXPECT_EQ(copy.count_text, "2");
  EXPECT_EQ(copy.designator_text, "R3,R5");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#A\n#R2#1#B\n#R6#1#C\n#R3,R5#2#A\n#R7  #1#A\n");
  EXPECT_EQ(Marks(), "1/0 1/0 1/0 1/0 1/0 ");
}

TEST_F(GostSplitTest, ASingleDesignatorIsNeverCut) {
  AddRow({"R5", "1", "A"});
  AddRow({"R1,R9", "2", "B"});
  const std::string before = Dump();

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.count_text, "1 ");
  EXPECT_EQ(result.designator_text, "R5 ");
  EXPECT_EQ(Dump(), before);
}

// The run splits every row of a quantity above one in turn; a row cut while another was split
// reaches its own turn already cut.
TEST_F(GostSplitTest, SplittingEveryRowInTurnLeavesNoListInterleaved) {
  AddRow({"R1,R2,R5", "3", "A"});
  AddRow({"R3,R4,R6", "3", "B"});

  for (int row = 1; row < table_.GetRowCount(); ++row) {
    if (atoi(table_.GetItemText(row, kCount).c_str()) > 1)
      Split(row);
  }

  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1,R2#2#A\n#R3,R4#2#B\n#R5 #1#A\n#R6#1#B\n");
}

// Row w's cell is cut with its list only; its copy is a row like any other.
TEST_F(GostSplitTest, RowWsOwnUnsortedDesignatorsLeaveNoDuplicates) {
  AddRow({"R1,R5,R3,R9", "4", "A"});

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.designator_text, "R1");
  EXPECT_EQ(result.count_text, "1");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#A\n#R5,R3#2#A\n#R9 #1#A\n");
}

TEST_F(GostSplitTest, AnUnsortedOtherRowIsCutUntilNoPartReachesAcross) {
  AddRow({"R2,R5", "2", "A"});
  AddRow({"R3,R9,R4,R10", "4", "B"});

  Split(1);

  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R2#1#A\n#R3#1#B\n#R5 #1#A\n#R9,R4#2#B\n#R10#1#B\n");
}

TEST_F(GostSplitTest, TailsOfBlanksAreNotCutOff) {
  // Numbers without a prefix: -9 < -7 < -5, and the blank item after -7 reads as 0, above -5.
  AddRow({"-9,-5", "2", "A"});
  AddRow({"-7, ", "1", "B"});

  const GostSplitResult result = Split(1);

  EXPECT_EQ(result.designator_text, "-9");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#-9#1#A\n#-7, #1#B\n#-5 #1#A\n");

  // Row w's own tail of blanks stays with it.
  table_.SetRowCount(3);
  table_.SetItemText(1, kRefDes, "-7");
  table_.SetItemText(2, kRefDes, "-9, ");
  EXPECT_EQ(GostSplit(table_, 2, kRefDes, kCount, "2 ", "-9, ").designator_text, "-9, ");
  EXPECT_EQ(table_.GetRowCount(), 3);
}

TEST_F(GostSplitTest, WithoutACountColumnOnlyTheDesignatorsAreCut) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"R3,R7", "2", "B"});

  for (const int count_column : {-1, 0, 4}) {
    table_.SetRowCount(3);
    table_.SetItemText(1, kRefDes, "R1,R5");
    table_.SetItemText(2, kRefDes, "R3,R7");
    const GostSplitResult result = GostSplit(table_, 1, kRefDes, count_column, "2 ", "R1,R5 ");
    EXPECT_EQ(result.count_text, "1") << count_column;
    EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#2#A\n#R3#2#B\n#R5 #2#A\n#R7#2#B\n") << count_column;
    for (int row = 1; row < table_.GetRowCount(); ++row)
      EXPECT_EQ(table_.GetItemText(row, 0), " ") << count_column;
  }
}

TEST_F(GostSplitTest, ACountColumnThatIsTheDesignatorsColumnWritesNoCount) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"R3", "1", "B"});

  const GostSplitResult result = GostSplit(table_, 1, kRefDes, kRefDes, "2 ", "R1,R5 ");

  EXPECT_EQ(result.count_text, "1");
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#2#A\n#R3#1#B\n#R5 #2#A\n");
}

TEST_F(GostSplitTest, NoDesignatorsColumnOrNoRowWChangesNothing) {
  AddRow({"R1,R5", "2", "A"});
  AddRow({"R3,R7", "2", "B"});
  const std::string before = Dump();

  for (const int column : {-1, 0, 4, 1000}) {
    const GostSplitResult result = GostSplit(table_, 1, column, kCount, "2 ", "R1,R5 ");
    EXPECT_EQ(result.count_text, "2 ");
    EXPECT_EQ(result.designator_text, "R1,R5 ");
  }
  for (const int w : {-1, 0, 3, 1000})
    EXPECT_EQ(GostSplit(table_, w, kRefDes, kCount, "2 ", "R1,R5 ").designator_text, "R1,R5 ");
  EXPECT_EQ(GostSplit(table_, 1, kRefDes, kCount, "", "").designator_text, "");
  EXPECT_EQ(Dump(), before);
}

// Whatever the lists, cutting shares the designators out anew: each stays in exactly one row,
// every cut row's count is that of its cell, and the split ends.
TEST_F(GostSplitTest, RandomListsKeepEveryDesignatorOnce) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    table_.SetRowCount(1);
    std::map<std::string, int> designators;
    const int rows = 2 + static_cast<int>(random() % 6);
    for (int row = 0; row < rows; ++row) {
      std::string list;
      const int items = 1 + static_cast<int>(random() % 6);
      for (int item = 0; item < items; ++item) {
        const std::string designator =
            std::string(random() % 4 ? "R" : "C") + std::to_string(random() % 30);
        list += (item ? "," : "") + designator;
        ++designators[designator];
      }
      AddRow({list, std::to_string(CountDesignators(list)), std::to_string(row)});
    }
    const int items_before = static_cast<int>(
        std::accumulate(designators.begin(), designators.end(), 0,
                        [](int sum, const auto& designator) { return sum + designator.second; }));
    for (int w = 1; w < table_.GetRowCount(); ++w) {
      const std::string list = table_.GetItemText(w, kRefDes);
      const GostSplitResult result =
          GostSplit(table_, w, kRefDes, kCount, table_.GetItemText(w, kCount), list);
      ASSERT_EQ(result.designator_text, table_.GetItemText(w, kRefDes)) << round;
      ASSERT_EQ(result.count_text, table_.GetItemText(w, kCount)) << round;
      ASSERT_LE(table_.GetRowCount() - 1, items_before) << round;
    }
    std::map<std::string, int> after;
    for (int row = 1; row < table_.GetRowCount(); ++row) {
      const std::string list = table_.GetItemText(row, kRefDes);
      for (const std::string_view item : DesignatorItems(list))
        ++after[std::string(item)];
      EXPECT_EQ(table_.GetItemText(row, kCount), std::to_string(CountDesignators(list))) << round;
    }
    ASSERT_EQ(after, designators) << round;
  }
}

using AppendRowCopyTest = GostSplitTest;

TEST_F(AppendRowCopyTest, CopiesEveryColumnAndSetsDesignatorsAndCount) {
  table_.InsertColumn("Количество в комплекты");
  table_.InsertColumn("Количество на регулировку");
  const int source = AddRow({"R1,R2", "2", "10 кОм", "3", "1"}, false);
  table_.SetItemData(source, 0, -1);
  table_.SetItemText(source, 0, "*");

  const int copy = AppendRowCopy(table_, source, kRefDes, kCount, "R7,R8", 2);

  EXPECT_EQ(copy, 2);
  EXPECT_EQ(Dump(),
            "#RefDes#Count#Value#Количество в комплекты#Количество на регулировку\n"
            "#R1,R2#2#10 кОм#3#1\n#R7,R8#2#10 кОм#3#1\n");
  EXPECT_EQ(table_.GetItemText(copy, 0), "*");
  EXPECT_EQ(Marks(), "0/-1 1/0 ");

  EXPECT_EQ(AppendRowCopy(table_, copy, 3, 5, "C1", -4), 3);
  EXPECT_EQ(Dump(),
            "#RefDes#Count#Value#Количество в комплекты#Количество на регулировку\n"
            "#R1,R2#2#10 кОм#3#1\n#R7,R8#2#10 кОм#3#1\n#R7,R8#2#C1#3#-4\n");
}

TEST_F(AppendRowCopyTest, ColumnsOutsideTheAttributesAreNotWritten) {
  AddRow({"R1", "1", "A"});

  EXPECT_EQ(AppendRowCopy(table_, 1, 0, 9, "R9", 1), 2);
  EXPECT_EQ(AppendRowCopy(table_, 1, -1, 0, "R9", 1), 3);
  EXPECT_EQ(AppendRowCopy(table_, 1, kRefDes, kRefDes, "R9", 1), 4);
  EXPECT_EQ(Dump(), "#RefDes#Count#Value\n#R1#1#A\n#R1#1#A\n#R1#1#A\n#R9#1#A\n");
  for (int row = 1; row < table_.GetRowCount(); ++row)
    EXPECT_EQ(table_.GetItemText(row, 0), " ");
}

TEST_F(AppendRowCopyTest, NoComponentRowNoCopy) {
  AddRow({"R1", "1", "A"});
  const std::string before = Dump();
  for (const int source : {-1, 0, 2, 1000})
    EXPECT_EQ(AppendRowCopy(table_, source, kRefDes, kCount, "R9", 1), -1) << source;
  EXPECT_EQ(Dump(), before);
}

}  // namespace
}  // namespace zuro::generation
