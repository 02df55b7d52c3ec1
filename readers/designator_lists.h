// Lists of reference designators ("R1,R3...R7,R9": items separated by ",", a run of designators
// written first...last), as the readers write them into the table and the documents read them
// back. Each rule that more than one place needs stands here once; where the readers of the CAD
// systems differ (the number that orders a list, the order itself, what one list keeps), their
// variants stand side by side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::readers {

// --- The number of a designator: three rules, one per use -------------------------------------

// Orders a P-CAD component's designators: every run of digits without its leading zeros, the runs
// read as one number (R12 12, R05 5, C1.2 12, DD3A 3).
int64_t DesignatorSortNumber(std::string_view designator);
// Orders the designators of an OrCAD, Protel, Altium Designer or Cadence Allegro list: all its
// digits read as one number (DA10 10, R1A2 12, C1.02 102).
int64_t ReferenceNumber(std::string_view reference);
// The documents' number of a designator or of the last end of a list: the non-letters of its last
// part read as atoi reads them (R12 12, C3A 3, R3...R7 7).
int32_t DesignatorNumber(std::string_view designator);
// The Latin letters of a designator's first part (VD12 VD, R3...R7 R).
std::string DesignatorPrefix(std::string_view designator);

// --- The order of a component's list -------------------------------------------------------------

// A designator of a P-CAD component and the number by which the component's list is ordered.
struct NumberedDesignator {
  std::string text;
  int64_t number = 0;
};
// Orders by number ascending by selection, which may reorder designators of equal numbers.
void SortDesignators(std::vector<NumberedDesignator>& designators);

// A reference of an OrCAD item that has a number, and the slot it stands in.
struct NumberedReference {
  size_t slot = 0;
  int64_t number = 0;
  std::string_view text;
};
// The numbered references, given in slot order, in the order a selection sort by number over all
// of the item's slots leaves them, where the slots of references without a number hold places.
std::vector<NumberedReference> SortByNumber(std::vector<NumberedReference> remaining);
// The same order found by picking and moving in a vector, in quadratic time: the rule itself,
// which SortByNumber keeps for lists of every length, and the way it sorts short ones.
std::vector<NumberedReference> SelectBySlots(std::vector<NumberedReference> remaining);

// --- Runs ------------------------------------------------------------------------------------------

// Joins designators, given in the order of their list, into one list: neighbours that are plain
// designators (Latin letters or none, then digits) with the same letters and consecutive numbers
// make a run, written first...last; every other designator is an item of its own. No designator
// is left out.
std::string JoinRuns(const std::vector<std::string_view>& ordered);

// What each reader writes into a component's designator cell from the designators it read:
// P-CAD, a component's three or more designators sorted by DesignatorSortNumber and joined;
std::string CompactDesignators(const std::vector<std::string>& designators);
// OrCAD, an item's reference slots (empty ones included) sorted by ReferenceNumber, references
// without a number after the others, joined, runs of two written as two items. Empty when that
// gives no list of two characters or more, and the cell keeps its text;
std::string CompactReferences(std::vector<std::string> references);
// the same from the slots that hold a reference, in slot order;
struct ReferenceSlot {
  size_t index = 0;
  std::string text;
};
std::string CompactReferenceSlots(const std::vector<ReferenceSlot>& filled);
// Protel, Altium Designer and Cadence Allegro, a value listing a component's designators between
// commas: two or fewer kept as written, blanks included, more sorted by ReferenceNumber and joined
// (C3, C1, C2, C7 gives C1...C3,C7).
std::string RewriteReferences(std::string_view value);

// --- Reading a list back ---------------------------------------------------------------------------

// The parts of a list between commas, empty ones included; a list without a comma is one item.
std::vector<std::string_view> DesignatorItems(std::string_view list);
// Calls visit(item) for each of those parts in turn, without a vector of them.
template <typename Visit>
void ForEachDesignatorItem(std::string_view list, Visit visit) {
  for (size_t start = 0;;) {
    const size_t end = list.find(',', start);
    visit(list.substr(start, end - start));
    if (end == std::string_view::npos)
      return;
    start = end + 1;
  }
}
// True when an item holds nothing but blanks (spaces, tabs, line ends): it names no designator.
bool IsBlankItem(std::string_view item);

// How many designators a list names: a run its span, any other item one.
int64_t CountDesignators(std::string_view list);
// Writes each run of two designators as two items (R4...R5 becomes R4,R5).
std::string JoinPairRanges(std::string_view list);
// The designators of a list in order, runs written out; their number is size().
std::vector<std::string> ExpandDesignators(std::string_view list);

}  // namespace zuro::readers
