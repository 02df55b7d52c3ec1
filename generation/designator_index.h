// The designators of one column of the component table, each under its letter prefix and number,
// so that the GOST split finds the designators inside a gap of a list by lookup.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "table/grid_model.h"

namespace zuro::generation {

// Where a designator stands: its row, and its item's place among the cell's items.
struct DesignatorPlace {
  int row = 0;
  int position = 0;
  friend bool operator==(const DesignatorPlace&, const DesignatorPlace&) = default;
};

class DesignatorIndex {
 public:
  DesignatorIndex(const table::GridModel& table, int column);

  int Column() const { return column_; }
  // Reads the row's cell again, after it was written or the row appended.
  void Reindex(int row);
  // The row's cell was cut after its item at `position`, the items after it moved to `copy`.
  void MoveTail(int row, int position, int copy);
  // True when the row's designators are those of `items`, one for one (prefix and number): a
  // cut of a cell holding `items` is then a MoveTail of the row.
  bool Holds(int row, const std::vector<std::string>& items) const;
  // True when some designator with `prefix` has a number strictly between first and last.
  bool AnyBetween(std::string_view prefix, int32_t first, int32_t last) const;
  // The designators with `prefix` and a number strictly between first and last that are followed
  // in their cell by an item whose number lies above last, in table order (row, then place).
  std::vector<DesignatorPlace> ReachingPast(std::string_view prefix,
                                            int32_t first,
                                            int32_t last) const;

 private:
  // One designator of the treap the index keeps (designator_index.cpp says how).
  struct Node {
    uint64_t key = 0;  // the prefix's number in the high half, the designator's number in the low
    uint64_t serial = 0;  // orders designators of the same key
    int row = 0;
    int position = 0;
    int64_t next = 0;  // the number of the cell's next item; below every number for the last item
    int64_t max_next = 0;
    uint64_t priority = 0;
    int left = -1;
    int right = -1;
  };
  // A search: the keys of one prefix between two numbers, and the bound a next item must pass.
  struct Bounds {
    uint64_t low = 0;
    uint64_t high = 0;
    int64_t above = 0;
  };

  uint64_t Key(std::string_view prefix, int32_t number);
  void ReadRow(int row);
  int AddNode(int row, size_t position);
  bool Bound(std::string_view prefix, int32_t first, int32_t last, Bounds* bounds) const;
  int NewNode(uint64_t key, int row, int position, int64_t next);
  void Insert(int node);
  void Erase(int node);
  void SetNext(int node, int64_t next);
  void SetNextBelow(int tree, int node);
  void Pull(int node);
  void PullAll(int tree);
  bool Less(int a, int b) const;
  std::pair<int, int> Split(int tree, int node, bool keep_node_left);
  int Merge(int left, int right);
  void Collect(int tree, const Bounds& bounds, std::vector<DesignatorPlace>& places) const;

  const table::GridModel& table_;
  const int column_;
  std::unordered_map<std::string, uint32_t> prefixes_;
  std::vector<Node> nodes_;
  std::vector<int> free_nodes_;
  std::vector<std::vector<int>> row_nodes_;  // the nodes of each row's items, in their order
  int root_ = -1;
  // The items of the row last read, and their numbers.
  std::vector<std::string_view> items_;
  std::vector<int32_t> numbers_;
  uint64_t priority_state_ = 0;
  uint64_t next_serial_ = 0;
};

}  // namespace zuro::generation
