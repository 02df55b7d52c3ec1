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
#include <utility>
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

// --- Runs
// ------------------------------------------------------------------------------------------

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

// The reference designators of the OrCAD item being read, one per slot. A comma of the reference
// list moves on to the next slot, so the slots follow the list as the report wrote it, empty places
// included. Only the slots that hold a designator are kept, in slot order: a list of many empty
// places costs nothing, and emptying all slots costs no more than what they hold. Every
// designator is kept, however long the item's list.
class ReferenceSlots {
 public:
  void EmptyAll() { filled_.clear(); }

  // Writes a reference list from slot `start` on, which is emptied first; every later slot is
  // empty already. A comma closes a slot and opens the next one; so does the tab after the
  // field of a tabbed line. Returns the slot at which the item's next line goes on: the slot left
  // open, which that line overwrites, or the slot after the last one closed.
  size_t Scan(std::string_view references, size_t start, bool closed_by_tab);

  // One more than the last slot that holds a designator.
  size_t Count() const { return filled_.empty() ? 0 : filled_.back().index + 1; }
  std::string_view Text(size_t index) const;

  // The item's reference cell: one designator as the item line wrote it, two in list order, more
  // sorted and compacted; empty when the slots hold fewer than two designators (or a list too
  // short to be one), and the cell keeps the item line's text. An item line that listed no
  // designator (`item_line_listed_none`: the quantity line of a report of one part a line) left
  // its slot 0 empty: its designators are those of the lines below it, one of them written as it
  // is.
  std::string CellText(bool item_line_listed_none) const;

 private:
  void Put(size_t index, std::string text) {
    if (!text.empty())
      filled_.push_back({index, std::move(text)});
  }

  std::vector<ReferenceSlot> filled_;
};
// Protel, Altium Designer and Cadence Allegro, a value listing a component's designators between
// commas: two or fewer kept as written, blanks included, more sorted by ReferenceNumber and joined
// (C3, C1, C2, C7 gives C1...C3,C7).
std::string RewriteReferences(std::string_view value);

// --- Reading a list back
// ---------------------------------------------------------------------------

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
