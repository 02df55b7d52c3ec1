// The order in which a selection sort by number picks a component's designators, found with a
// tree of minima instead of its n² comparisons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuro::readers {

// Places holding numbers, of which the first smallest can be picked, and which can be filled and
// cleared, each in log n comparisons. Of equal numbers, the one at the lower place is picked first,
// as a selection sort that keeps the first of equal minima does. A report can hold tens of
// thousands of designators in one component, and the designers' lists depend on the exchanges of
// the selection, so the selection is kept and only its search made cheaper.
class SelectionTree {
 public:
  static constexpr size_t kNone = SIZE_MAX;

  explicit SelectionTree(size_t places);

  void Fill(size_t place, int64_t number);
  void Clear(size_t place);
  // The place of the smallest number, the lowest place of equal ones; kNone when all are clear.
  size_t FirstSmallest() const { return best_[1]; }
  // The lowest place that is filled; kNone when all are clear.
  size_t FirstFilled() const;

 private:
  void Update(size_t place);

  size_t leaves_ = 1;
  std::vector<int64_t> numbers_;
  // best_[node]: the first smallest place below the node (leaves from leaves_ on), or kNone.
  std::vector<size_t> best_;
};

// Lists up to this long are sorted by the plain selection: it beats the tree's bookkeeping there.
inline constexpr size_t kPlainSelectionLimit = 32;

}  // namespace zuro::readers
