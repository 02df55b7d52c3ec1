#include <gtest/gtest.h>

#include "tests/table_text.h"

#include "tests/test_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "readers/orcad_reader.h"
#include "readers/pcad_reader.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::readers {
namespace {

// A tab-separated report line, ended as Windows tools end lines.
std::string Tabbed(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i)
    line += (i > 0 ? "\t" : "") + fields[i];
  return line + "\r\n";
}

// A fixed-width line: each field but the last padded with blanks to its column's width.
std::string Fixed(const std::vector<size_t>& widths, const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    line += fields[i];
    if (i < widths.size())
      line.resize(line.size() + widths[i] - std::min(widths[i], fields[i].size()), ' ');
  }
  return line + "\r\n";
}

const std::string kTitle = "Bill Of Materials\r\n";
const std::string kHeader = Tabbed({"Item", "Quantity", "Reference", "Part"});
const std::vector<size_t> kWidths{6, 10, 12, 8};
const std::string kFixedHeader = Fixed(kWidths, {"Item", "Quantity", "Reference", "Part", "Note"});

class OrcadReaderTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& text) {
    return ReadOrcadReport(text, table_, attributes_, orcad_);
  }
  std::string Dump() const { return testing_support::TableText(table_); }
  // The reference cell (column 3) of a report of kHeader's columns holding the lines given.
  std::string References(const std::string& lines) {
    EXPECT_EQ(Read(kTitle + kHeader + lines), ReadResult::kLoaded);
    return table_.GetRowCount() > 1 ? table_.GetItemText(1, 3) : "(no item)";
  }

  table::GridModel table_;
  ReportAttributes attributes_;
  OrcadReadOptions orcad_;
};

TEST_F(OrcadReaderTest, TabbedReportMakesAMarkedRowPerItem) {
  ASSERT_EQ(Read(kTitle + "\r\n" + kHeader + Tabbed({"1", "2", "C1,C2", "100 нФ"}) +
                 Tabbed({"2", "1", "R1", "10k"})),
            ReadResult::kLoaded);
  // The part cell loses its blanks and ends with the one after which a wrapped part value would
  // go on.
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Part\n#1#2#C1,C2#100нФ \n#2#1#R1#10k \n");
  EXPECT_EQ(attributes_.names, (std::vector<std::string>{"Item", "Quantity", "Reference", "Part"}));
  EXPECT_EQ(orcad_.part_column, 3);
  EXPECT_EQ(attributes_.partlib_column, -1);
  EXPECT_EQ(attributes_.refdes_column, -1);
  EXPECT_EQ(table_.GetFixedRowCount(), 1);
  EXPECT_EQ(table_.GetFixedColumnCount(), 1);
  EXPECT_EQ(table_.GetItemFormat(0, 4), table::kFormatVCentre);
  for (int row = 1; row <= 2; ++row) {
    EXPECT_EQ(table_.GetItemText(row, 0), " ");
    EXPECT_EQ(table_.GetItemImage(row, 0), 1);
    EXPECT_EQ(table_.GetItemData(row, 0), 0);
  }
}

TEST_F(OrcadReaderTest, EmptyTextGivesTheTitleRowOnly) {
  EXPECT_EQ(Read(""), ReadResult::kLoaded);
  EXPECT_EQ(table_.GetRowCount(), 1);
  EXPECT_EQ(table_.GetColumnCount(), 1);
  EXPECT_TRUE(attributes_.names.empty());
}

TEST_F(OrcadReaderTest, QuotedFirstLineIsRefusedAndTheFirstLineNeverRead) {
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "1", "R1", "1k"})), ReadResult::kLoaded);
  EXPECT_EQ(Read("\"Bill Of Materials\"\r\n" + kHeader + Tabbed({"1", "1", "R1", "1k"})),
            ReadResult::kBadStructure);
  EXPECT_EQ(table_.GetRowCount(), 0);
  EXPECT_EQ(table_.GetColumnCount(), 0);
  EXPECT_TRUE(attributes_.names.empty());
  EXPECT_EQ(attributes_.partlib_column, -1);
  EXPECT_EQ(attributes_.refusal,
            "line 1: begins with a double quote, as a report of quoted fields does");
  // A quote later in the first line is no reason to refuse.
  EXPECT_EQ(Read("Board \"A\"\r\n" + kHeader), ReadResult::kLoaded);
}

// The first line is the report's title, unless it names the quantity: then it is the header of a
// report written without a title block, as OrCAD Capture's engineering template writes one, whose
// designators stand under "Part Reference".
TEST_F(OrcadReaderTest, AFirstLineNamingTheQuantityIsTheHeader) {
  const struct {
    std::string first_line;
    std::string table;
  } cases[] = {
      {kHeader, "#Item#Quantity#Reference#Part\n#1#3#R1...R3#1k \n"},
      // No part column: the part value goes to the first column, as the part column starts.
      {Tabbed({"Item Number", "Quantity", "Part Reference", "Value"}),
       "#Item Number#Quantity#Part Reference#Value\n#1 #3#R1...R3#1k\n"},
      {Tabbed({"Item", "Count", "RefDes", "Part"}), "#Item#Count#RefDes#Part\n#1#3#R1...R3#1k \n"},
      {kTitle + kHeader, "#Item#Quantity#Reference#Part\n#1#3#R1...R3#1k \n"},
  };
  for (const auto& c : cases) {
    orcad_.part_column = 0;
    ASSERT_EQ(Read(c.first_line + Tabbed({"1", "3", "R3,R1,R2", "1k"})), ReadResult::kLoaded);
    EXPECT_EQ(Dump(), c.table) << c.first_line;
  }
}

TEST_F(OrcadReaderTest, FixedWidthCellsLoseBlanksAndStopAtTheHeaderEnd) {
  const std::string report = kTitle + kFixedHeader +
                             Fixed(kWidths, {"1", "3", "C1, C3,C2", "0,1 мкФ", "X7R 10% extra"}) +
                             Fixed(kWidths, {"2", "1", "R1", "1 кОм", "5%"});
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(Dump(),
            "#Item#Quantity#Reference#Part#Note\n"
            "#1#3#C1...C3#0,1мкФ #X7R\n"
            "#2#1#R1#1кОм #5%\n");
}

TEST_F(OrcadReaderTest, FixedWidthKeyTextsStartWhereTheKeyNameFirstStands) {
  // The part text starts where "Part" first stands in the header, inside "PartNo", and spans
  // the width of the column named "Part".
  const std::vector<size_t> widths{6, 10, 11, 8};
  ASSERT_EQ(Read(kTitle + Fixed(widths, {"Item", "Quantity", "Reference", "PartNo", "Part"}) +
                 Fixed(widths, {"1", "2", "C1,C2", "K10-17", "100n"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#PartNo#Part\n#1#2#C1,C2#K10-17#K10- \n");
  // A quantity standing left of its header name is not read.
  ASSERT_EQ(Read(kTitle + "Item  Quantity  Reference Part\r\n" + "1    2  C1,C2     10n\r\n"),
            ReadResult::kLoaded);
  EXPECT_EQ(table_.GetRowCount(), 1);
}

TEST_F(OrcadReaderTest, ReferencesAndPartGoOnOverContinuationLines) {
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "5", "C1,C2,C3,", "10"}) +
                 Tabbed({"", "", "C4,C5", "мкФ"}) + Tabbed({"2", "1", "R1", "1k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Part\n#1#5#C1...C5#10 мкФ\n#2#1#R1#1k \n");
  // The tab after a list closes its last slot as a comma does.
  EXPECT_EQ(References(Tabbed({"1", "5", "C1,C2,C3", "x"}) + Tabbed({"", "", "C4,C5"})), "C1...C5");
  EXPECT_EQ(References(Tabbed({"1", "9", "C9,C8,", "x"}) + Tabbed({"", "", "C7,C6,", "y"}) +
                       Tabbed({"", "", "C5", "z"}) + Tabbed({"", "", "C1,C2,C3"})),
            "C1...C3,C5...C9");
  EXPECT_EQ(table_.GetItemText(1, 4), "x yz");

  // A fixed-width line has no tab to close its list: the next line overwrites the open slot, so
  // a list that wraps without a comma loses its last reference.
  const auto fixed = [&](const std::string& first, const std::string& second) {
    EXPECT_EQ(Read(kTitle + kFixedHeader + Fixed(kWidths, {"1", "5", first, "10n"}) +
                   Fixed(kWidths, {"", "", second, "", ""})),
              ReadResult::kLoaded);
    return table_.GetItemText(1, 3);
  };
  EXPECT_EQ(fixed("C1,C2,C3,", "C4,C5"), "C1...C5");
  EXPECT_EQ(fixed("C1,C2,C3", "C4,C5"), "C1,C2,C4,C5");
  EXPECT_EQ(fixed("C1,C2,C3", ""), "C1,C2");
  // A reference list that is the last field of a tabbed line stays open as well.
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Part", "Reference"}) +
                 Tabbed({"1", "4", "10n", "C1,C2,C3"}) + Tabbed({"", "", "", "C4"})),
            ReadResult::kLoaded);
  EXPECT_EQ(table_.GetItemText(1, 4), "C1,C2,C4");
}

TEST_F(OrcadReaderTest, OnlyAPositiveQuantityStartsAnItem) {
  ASSERT_EQ(
      Read(kTitle + kHeader + Tabbed({"", "", "C9", "orphan"}) + Tabbed({"1", "1", "R1", "a"}) +
           Tabbed({"2", "12-3", "R2", "b"}) + Tabbed({"3", "-3", "R3", "c"}) +
           Tabbed({"4", "0", "R4", "d"}) + Tabbed({"5", " +2 pcs", "C1,C2", "e"}) +
           Tabbed({"6", "3-", "C3", "f"}) + Tabbed({"7", "x1", "C4", "g"})),
      ReadResult::kLoaded);
  // A line before the first item is dropped; the others go on with the item above them.
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Part\n#1#1#R1...R4#a bcd\n#5# +2 pcs#C1...C4#e fg\n");
}

TEST_F(OrcadReaderTest, ListsOfOneAndTwoAreNotSorted) {
  EXPECT_EQ(References(Tabbed({"1", "2", "C2, C1", "x"})), "C2,C1");
  EXPECT_EQ(References(Tabbed({"1", "3", "C3,C2,C1", "x"})), "C1...C3");
  // One reference: the cell keeps what the line holds, blanks included.
  EXPECT_EQ(References(Tabbed({"1", "1", " C 7", "x"})), " C 7");
  EXPECT_EQ(References(Tabbed({"1", "1", "C7,", "x"})), "C7,");
  // Two slots with the first one empty.
  EXPECT_EQ(References(Tabbed({"1", "2", ",C5", "x"})), ",C5");
}

// An item keeps every reference it lists: across the empty line OrCAD Capture writes after an item
// line whose value held a line break, and across a value broken over lines, whose pieces go on
// with the value and never become references.
TEST_F(OrcadReaderTest, ItemsKeepEveryReferenceAcrossBreaks) {
  const std::string header = Tabbed({"Item", "Quantity", "Reference", "Description", "Part"});
  const struct {
    std::string lines;
    std::string item;
  } cases[] = {
      {Tabbed({"1", "5", "C1,C2,C3", "", "10n"}) + "\r\n" + Tabbed({"", "", "C4,C5,C7", "", "x"}),
       "#1#5#C1...C5,C7##10n x"},
      {Tabbed({"1", "5", "C5,C6,C8,", "cap", "10n"}) + "\r\n\r\n" + Tabbed({"", "", "C58,C59"}),
       "#1#5#C5,C6,C8,C58,C59#cap#10n "},
      {Tabbed({"1", "4", "C1,C2,C3", "", "10n"}) + "\n" + Tabbed({"", "", "C9"}),
       "#1#4#C1...C3,C9##10n "},
      // A value on three lines: the middle one holds no tab, the last one the rest of the fields.
      {"1\t1\tU100\t36VIN Step-Down\r\nModule with\r\n5uA Current\tLTM8029\r\n",
       "#1#1#U100#36VIN Step-Down Module with 5uA Current#LTM8029 "},
      {"1\t1\tU100\tStep-Down\r\nModule\tLTM8029\r\n", "#1#1#U100#Step-Down Module#LTM8029 "},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Read(kTitle + header + c.lines + Tabbed({"2", "1", "R1", "res", "1k"})),
              ReadResult::kLoaded);
    EXPECT_EQ(Dump(),
              "#Item#Quantity#Reference#Description#Part\n" + c.item + "\n#2#1#R1#res#1k \n")
        << c.lines;
  }
}

TEST_F(OrcadReaderTest, RulerLineChangesNothing) {
  const std::string items = Tabbed({"1", "2", "C1,C2", "10n"}) + Tabbed({"2", "1", "R1", "1k"});
  ASSERT_EQ(Read(kTitle + kHeader + items), ReadResult::kLoaded);
  const std::string expected = Dump();
  ASSERT_EQ(Read(kTitle + kHeader + std::string(60, '_') + "\r\n\r\n" + items),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), expected);
  const std::string fixed_items = Fixed(kWidths, {"1", "2", "C1,C2", "10n", "a"});
  ASSERT_EQ(Read(kTitle + kFixedHeader + fixed_items), ReadResult::kLoaded);
  const std::string fixed_expected = Dump();
  ASSERT_EQ(Read(kTitle + kFixedHeader + std::string(40, '_') + "\r\n" + fixed_items),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), fixed_expected);
}

TEST_F(OrcadReaderTest, AnyLineMentioningTheQuantityIsAHeader) {
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "1", "R1", "Count"}) +
                 Tabbed({"2", "1", "R2", "Quantity x"}) + Tabbed({"a", "b", "c", "2"})),
            ReadResult::kLoaded);
  // The item line naming "Count" is a header of four columns; the next one names "Quantity x",
  // which makes it a header without a quantity column, so no item follows.
  EXPECT_EQ(table_.GetRowCount(), 1);
  EXPECT_EQ(table_.GetColumnCount(), 13);
  EXPECT_EQ(attributes_.names, (std::vector<std::string>{"2", "1", "R2", "Quantity x"}));
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "1", "R1", "10k"}) +
                 Tabbed({"Pos", "Reference", "Quantity"}) + Tabbed({"9", "C1,C2,C3", "3"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(),
            "#Item#Quantity#Reference#Part#Pos#Reference#Quantity\n"
            "#1#1#R1#10k ###\n"
            "#9#C1...C3#3# ###\n");
}

TEST_F(OrcadReaderTest, RepeatedPageHeaderAddsNoColumnsAndItemsGoOnAcrossIt) {
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "4", "C1,C2", "10n"}) + kHeader +
                 Tabbed({"", "", "C3,C4"}) + "\r\nItem  Quantity  Reference  Part\r\n" +
                 Tabbed({"2", "1", "R1", "1k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Part\n#1#4#C1...C4#10n \n#2#1#R1#1k \n");
}

TEST_F(OrcadReaderTest, DifferentHeaderAppendsColumnsUpToTheLimit) {
  ASSERT_EQ(Read(kTitle + kHeader + Tabbed({"1", "1", "R1", "1k"}) +
                 Tabbed({"Item", "Quantity", "Reference", "Value", "Note"}) +
                 Tabbed({"2", "2", "C2,C1", "10n", "n"})),
            ReadResult::kLoaded);
  // The values of the new layout fill the table from its first column; the part column of the
  // first header stays.
  EXPECT_EQ(Dump(),
            "#Item#Quantity#Reference#Part#Item#Quantity#Reference#Value#Note\n"
            "#1#1#R1#1k #####\n"
            "#2#2#C2,C1#10n #n####\n");
  EXPECT_EQ(attributes_.names,
            (std::vector<std::string>{"Item", "Quantity", "Reference", "Value", "Note"}));
  std::string report = kTitle;
  for (int i = 0; i < 300; ++i)
    report += Tabbed({"Quantity", "Name" + std::to_string(i)}) + Tabbed({"1", "v"});
  ASSERT_EQ(Read(report), ReadResult::kLoaded);
  EXPECT_EQ(table_.GetColumnCount(), 101);
  EXPECT_EQ(table_.GetRowCount(), 301);
  EXPECT_EQ(table_.GetItemText(0, 100), "Name49");
}

TEST_F(OrcadReaderTest, PartLibColumnAndTheIdRule) {
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "ID PartLib", "Reference", "Part"}) +
                 Tabbed({"1", "1", "PL-1103", "R1", "10k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(attributes_.partlib_column, 3);
  EXPECT_EQ(table_.GetItemText(1, 3), "PL-1103");
  EXPECT_EQ(table_.GetItemText(1, 4), "R1");
  // Between blanks, the blank before "ID" joins two words into one name.
  ASSERT_EQ(Read(kTitle + "Item Quantity Reference Part Vendor ID Code\r\n"), ReadResult::kLoaded);
  EXPECT_EQ(attributes_.names, (std::vector<std::string>{"Item", "Quantity", "Reference", "Part",
                                                         "Vendor_ID", "Code"}));
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Part ID", "ID PartLib"})),
            ReadResult::kLoaded);
  EXPECT_EQ(attributes_.names,
            (std::vector<std::string>{"Item", "Quantity", "Part_ID", "ID PartLib"}));
  EXPECT_EQ(attributes_.partlib_column, 4);
}

TEST_F(OrcadReaderTest, PartColumnOutlivesReadsAndHeadersWithoutOne) {
  const std::string items = Tabbed({"1", "1", "R1", "10k", "n"});
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Reference", "Value", "Note"}) + items),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Value#Note\n#1 #1#R1#10k#n\n");
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Reference", "Part", "Note"}) + items),
            ReadResult::kLoaded);
  EXPECT_EQ(orcad_.part_column, 3);
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Reference", "Value", "Note"}) + items),
            ReadResult::kLoaded);
  EXPECT_EQ(orcad_.part_column, 3);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Value#Note\n#1#1#R1#10k #n\n");
  // "Attributes" is the part column as well, the last of the part names counting.
  ASSERT_EQ(Read(kTitle + Tabbed({"Part", "Quantity", "Reference", "Attributes", "Note"}) + items),
            ReadResult::kLoaded);
  EXPECT_EQ(orcad_.part_column, 3);
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Reference", "Note", "Part"}) + items),
            ReadResult::kLoaded);
  EXPECT_EQ(orcad_.part_column, 4);
}

TEST_F(OrcadReaderTest, TitlesLoseTrailingUnderscoresNamesKeepThem) {
  ASSERT_EQ(Read(kTitle + Tabbed({"Item__", "Quantity", "Reference", "Part", "A_b_", "___"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Reference#Part#A_b#\n");
  EXPECT_EQ(attributes_.names[0], "Item__");
  EXPECT_EQ(attributes_.names[4], "A_b_");
}

TEST_F(OrcadReaderTest, MissingKeyColumnsMakeNoItemsOrNoLists) {
  // "Counts" makes the line a header but names no quantity column: no line is an item.
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Counts", "Reference", "Part"}) +
                 Tabbed({"1", "2", "R1,R2", "1k"})),
            ReadResult::kLoaded);
  EXPECT_EQ(table_.GetRowCount(), 1);
  // Without a reference column the cells stay as the lines wrote them.
  ASSERT_EQ(Read(kTitle + Tabbed({"Item", "Quantity", "Refs", "Part"}) +
                 Tabbed({"1", "3", "R3,R2,R1", "1k"}) + Tabbed({"", "", "R4", "x"})),
            ReadResult::kLoaded);
  EXPECT_EQ(Dump(), "#Item#Quantity#Refs#Part\n#1#3#R3,R2,R1#1k x\n");
  // RefDes and Count are key names as well.
  ASSERT_EQ(Read(kTitle + Tabbed({"Count", "RefDes"}) + Tabbed({"3", "R3,R2,R1"})),
            ReadResult::kLoaded);
  // The part column of the report before lies beyond this table.
  EXPECT_EQ(Dump(), "#Count#RefDes\n#3#R1...R3\n");
}

TEST_F(OrcadReaderTest, ItemsOfThousandsOfReferencesKeepThemAll) {
  std::string lines = Tabbed({"1", "3000", "", "1k"});
  for (int line = 0; line < 300; ++line) {
    std::string list;
    for (int k = 0; k < 10; ++k)
      list += "R" + std::to_string(3000 - line * 10 - k) + ",";
    lines += Tabbed({"", "", list});
  }
  EXPECT_EQ(References(lines), "R1...R3000");
  std::string gaps;
  for (int k = 1200; k >= 1; --k)
    gaps += "C" + std::to_string(k * 2) + ",";
  const std::string list = References(Tabbed({"1", "1200", gaps, "x"}));
  EXPECT_EQ(list.substr(0, 12), "C2,C4,C6,C8,");
  EXPECT_EQ(list.substr(list.size() - 11), "C2398,C2400");
  EXPECT_EQ(std::count(list.begin(), list.end(), 'C'), 1200);
}

// Whatever the text, reading ends soon with a consistent table: binary bytes, huge lines,
// headers of 100 000 fields, and long items that a reader finishing every line anew would sort
// and write again for each of their lines.
TEST_F(OrcadReaderTest, AnyTextIsReadInLinearTime) {
  const auto started = std::chrono::steady_clock::now();
  std::mt19937 random(7);
  const std::string alphabet = std::string("\t\t ,,,\r\n\n-0123456789RCQuantity") + '\0';
  for (int round = 0; round < 20; ++round) {
    std::string text = round % 2 ? kTitle + kHeader : std::string();
    for (int i = 0; i < 20000; ++i)
      text += random() % 3 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    Read(text);
    std::string problem;
    EXPECT_TRUE(table_.CheckInvariants(&problem)) << problem;
  }
  std::string fields;
  for (int i = 0; i < 100000; ++i)
    fields += "Quantity" + std::to_string(i) + "\t";
  ASSERT_EQ(Read(kTitle + fields + "\r\n" + fields + "\r\n" + std::string(1 << 20, 'x')),
            ReadResult::kLoaded);
  EXPECT_EQ(table_.GetColumnCount(), 101);

  // 500 000 empty places, then pairs of a reference after them and an empty line.
  std::string sparse = Tabbed({"1", "2", std::string(500000, ','), "x"});
  for (int i = 0; i < 20000; ++i)
    sparse += Tabbed({"", "", "C" + std::to_string(i + 1)}) + "\r\n";
  EXPECT_EQ(References(sparse), "C20000");
  // A thousand references continued by 100 000 lines of one more each.
  std::string long_item = Tabbed({"1", "1000", "", "x"});
  for (int i = 0; i < 1000; ++i)
    long_item += Tabbed({"", "", "R" + std::to_string(i + 1) + ","});
  for (int i = 0; i < 100000; ++i)
    long_item += Tabbed({"", "", "R" + std::to_string(1000 + i + 1), "p"});
  EXPECT_EQ(References(long_item), "R1...R101000");
  EXPECT_EQ(table_.GetItemText(1, 4).size(), 2u + 100000u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

// The sample board written by OrCAD in both forms gives the components and designator lists
// that P-CAD's report of it gives.
TEST_F(OrcadReaderTest, SampleBoardsReadAsThePcadReport) {
  const std::string samples = std::string(ZURO_SOURCE_DIR) + "/samples/";
  table::GridModel pcad_table;
  ReportAttributes pcad;
  ASSERT_EQ(ReadReport(testing_support::ReadBytes(samples + "board.bom"), pcad_table, pcad),
            ReadResult::kLoaded);
  ASSERT_EQ(pcad_table.GetRowCount(), 31);
  for (const char* name : {"board_orcad.bom", "board_orcad_fixed.bom"}) {
    SCOPED_TRACE(name);
    orcad_.part_column = 0;
    ASSERT_EQ(Read(testing_support::ReadBytes(samples + name)), ReadResult::kLoaded);
    ASSERT_EQ(table_.GetRowCount(), 31);
    ASSERT_EQ(attributes_.names[1], "Quantity");
    ASSERT_EQ(attributes_.names[2], "Reference");
    ASSERT_EQ(attributes_.names[orcad_.part_column], "Part");
    for (int row = 1; row < 31; ++row) {
      EXPECT_EQ(table_.GetItemText(row, 3), pcad_table.GetItemText(row, pcad.refdes_column));
      EXPECT_EQ(table_.GetItemText(row, 2), pcad_table.GetItemText(row, 1));
      EXPECT_EQ(table_.GetItemText(row, 1), std::to_string(row));
    }
  }
  // The tab-separated form keeps its library part column, and the blanks of values other than
  // the part value.
  ASSERT_EQ(Read(testing_support::ReadBytes(samples + "board_orcad.bom")), ReadResult::kLoaded);
  ASSERT_GT(attributes_.partlib_column, 0);
  EXPECT_EQ(attributes_.names[attributes_.partlib_column - 1], "ID PartLib");
  const int name_column = static_cast<int>(
      std::find(attributes_.names.begin(), attributes_.names.end(), "Наименование") -
      attributes_.names.begin() + 1);
  for (int row = 1; row < 31; ++row) {
    std::string value = pcad_table.GetItemText(row, 3);
    std::erase(value, ' ');
    EXPECT_EQ(table_.GetItemText(row, orcad_.part_column + 1), value + " ");
    EXPECT_EQ(table_.GetItemText(row, name_column), pcad_table.GetItemText(row, 5));
    EXPECT_EQ(table_.GetItemText(row, attributes_.partlib_column),
              pcad_table.GetItemText(row, pcad.partlib_column));
  }
}

}  // namespace
}  // namespace zuro::readers
