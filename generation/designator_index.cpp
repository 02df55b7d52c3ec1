#include "generation/designator_index.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

#include "generation/designators.h"

namespace zuro::generation {

namespace {

constexpr int kFirstComponentRow = 1;
// The `next` of a cell's last item: no gap's last number lies below it.
constexpr int64_t kNoNext = std::numeric_limits<int64_t>::min();
constexpr int64_t kNumberOffset = int64_t{1} << 31;

// The low half of a key: the number moved up by 2^31, so that keys order as the numbers do.
uint64_t KeyOf(uint32_t prefix, int64_t number) {
  return (uint64_t{prefix} << 32) | static_cast<uint32_t>(number + kNumberOffset);
}

// SplitMix64: priorities from a fixed seed, so that a run builds the same trees every time.
uint64_t NextPriority(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

// The designators are the nodes of a treap ordered by key and then by the order in which they
// were put in: a binary search tree by that order and a heap by a random priority, which keeps it
// about log n deep whatever the order of inserts. A designator's row and place take no part in
// the order, so a cut moves the designators after it to their new row without touching the tree.
// Each node also knows a bound on the largest `next` of its subtree (SetNext says why it may be
// too high), so that a search for the designators followed by a number above some bound skips
// every subtree holding none.
//
// Row 0 holds the titles: only the component rows' designators are indexed.
DesignatorIndex::DesignatorIndex(const table::GridModel& table, int column)
    : table_(table), column_(column) {
  // Each node's key beside it, so that the sort reads no node: nodes are made in the order of
  // their serials, so ordering by key and then node is the tree's order.
  std::vector<std::pair<uint64_t, int>> order;
  if (table_.GetRowCount() > kFirstComponentRow)
    row_nodes_.resize(table_.GetRowCount());
  for (int row = kFirstComponentRow; row < table_.GetRowCount(); ++row) {
    ReadRow(row);
    row_nodes_[row].reserve(items_.size());
    for (size_t position = 0; position < items_.size(); ++position) {
      const int node = AddNode(row, position);
      row_nodes_[row].push_back(node);
      order.emplace_back(nodes_[node].key, node);
    }
  }
  // The tree a node-by-node insert would give: the nodes in their order, each put under the
  // nearest one before it of a higher priority, with what it passed over as its left subtree.
  std::sort(order.begin(), order.end());
  std::vector<int> spine;
  for (const auto& [key, node] : order) {
    int passed = -1;
    while (!spine.empty() && nodes_[spine.back()].priority < nodes_[node].priority) {
      passed = spine.back();
      spine.pop_back();
    }
    nodes_[node].left = passed;
    if (!spine.empty())
      nodes_[spine.back()].right = node;
    spine.push_back(node);
  }
  root_ = spine.empty() ? -1 : spine.front();
  PullAll(root_);
}

// The designators of the row's cell, read into items_ and numbers_; a view of the table, which
// is not written while it is read.
void DesignatorIndex::ReadRow(int row) {
  items_.clear();
  numbers_.clear();
  if (row >= table_.GetRowCount())
    return;
  items_ = DesignatorItems(table_.ItemText(row, column_));
  for (const std::string_view item : items_)
    numbers_.push_back(DesignatorNumber(item));
}

// A node for the row's item at `position` as ReadRow left it.
int DesignatorIndex::AddNode(int row, size_t position) {
  const int64_t next = position + 1 < items_.size() ? numbers_[position + 1] : kNoNext;
  return NewNode(Key(DesignatorPrefix(items_[position]), numbers_[position]), row,
                 static_cast<int>(position), next);
}

// The leading items whose prefix and number are those the row held keep their nodes (a cut
// changes no more than the next number of its last one); the others are taken out and the cell's
// items from there on put in.
void DesignatorIndex::Reindex(int row) {
  if (row < kFirstComponentRow)
    return;
  if (static_cast<size_t>(row) >= row_nodes_.size())
    row_nodes_.resize(row + 1);
  ReadRow(row);
  std::vector<int>& nodes = row_nodes_[row];
  size_t kept = 0;
  for (; kept < nodes.size() && kept < items_.size(); ++kept) {
    const int node = nodes[kept];
    if (nodes_[node].key != Key(DesignatorPrefix(items_[kept]), numbers_[kept]))
      break;
    SetNext(node, kept + 1 < items_.size() ? numbers_[kept + 1] : kNoNext);
  }
  for (size_t position = kept; position < nodes.size(); ++position) {
    Erase(nodes[position]);
    free_nodes_.push_back(nodes[position]);
  }
  nodes.resize(kept);
  for (size_t position = kept; position < items_.size(); ++position) {
    const int node = AddNode(row, position);
    Insert(node);
    nodes.push_back(node);
  }
}

// The cut of a cell after its item at `position`, whose later items now make the cell of
// `copy`: they keep their nodes, with the copy's row and their places in it.
void DesignatorIndex::MoveTail(int row, int position, int copy) {
  if (row < kFirstComponentRow || copy < kFirstComponentRow || position < 0 ||
      static_cast<size_t>(row) >= row_nodes_.size() ||
      static_cast<size_t>(position) >= row_nodes_[row].size()) {
    Reindex(row);
    Reindex(copy);
    return;
  }
  if (static_cast<size_t>(copy) >= row_nodes_.size())
    row_nodes_.resize(copy + 1);
  std::vector<int>& nodes = row_nodes_[row];
  std::vector<int>& copied = row_nodes_[copy];
  for (const int node : copied) {
    Erase(node);
    free_nodes_.push_back(node);
  }
  copied.assign(nodes.begin() + position + 1, nodes.end());
  for (size_t place = 0; place < copied.size(); ++place) {
    nodes_[copied[place]].row = copy;
    nodes_[copied[place]].position = static_cast<int>(place);
  }
  nodes.resize(position + 1);
  SetNext(nodes[position], kNoNext);
}

bool DesignatorIndex::Holds(int row, const std::vector<std::string>& items) const {
  if (row < kFirstComponentRow || static_cast<size_t>(row) >= row_nodes_.size())
    return false;
  const std::vector<int>& nodes = row_nodes_[row];
  if (nodes.size() != items.size())
    return false;
  for (size_t position = 0; position < items.size(); ++position) {
    const auto prefix = prefixes_.find(DesignatorPrefix(items[position]));
    if (prefix == prefixes_.end() ||
        nodes_[nodes[position]].key != KeyOf(prefix->second, DesignatorNumber(items[position])))
      return false;
  }
  return true;
}

bool DesignatorIndex::AnyBetween(std::string_view prefix, int32_t first, int32_t last) const {
  Bounds bounds;
  if (!Bound(prefix, first, last, &bounds))
    return false;
  for (int tree = root_; tree >= 0;) {
    const Node& node = nodes_[tree];
    if (node.key < bounds.low)
      tree = node.right;
    else if (node.key > bounds.high)
      tree = node.left;
    else
      return true;
  }
  return false;
}

std::vector<DesignatorPlace> DesignatorIndex::ReachingPast(std::string_view prefix,
                                                           int32_t first,
                                                           int32_t last) const {
  std::vector<DesignatorPlace> places;
  Bounds bounds;
  if (!Bound(prefix, first, last, &bounds))
    return places;
  bounds.above = last;
  Collect(root_, bounds, places);
  std::sort(places.begin(), places.end(), [](const DesignatorPlace& a, const DesignatorPlace& b) {
    return std::tie(a.row, a.position) < std::tie(b.row, b.position);
  });
  return places;
}

// Prefixes are numbered as they first occur; a prefix that never occurred has no designators.
uint64_t DesignatorIndex::Key(std::string_view prefix, int32_t number) {
  const auto [entry, added] =
      prefixes_.try_emplace(std::string(prefix), static_cast<uint32_t>(prefixes_.size()));
  return KeyOf(entry->second, number);
}

// Strictly between: a gap whose numbers are neighbours, equal or descending holds nothing.
bool DesignatorIndex::Bound(std::string_view prefix,
                            int32_t first,
                            int32_t last,
                            Bounds* bounds) const {
  if (int64_t{last} - first <= 1)
    return false;
  const auto entry = prefixes_.find(std::string(prefix));
  if (entry == prefixes_.end())
    return false;
  bounds->low = KeyOf(entry->second, int64_t{first} + 1);
  bounds->high = KeyOf(entry->second, int64_t{last} - 1);
  return true;
}

int DesignatorIndex::NewNode(uint64_t key, int row, int position, int64_t next) {
  int node;
  if (free_nodes_.empty()) {
    node = static_cast<int>(nodes_.size());
    nodes_.emplace_back();
  } else {
    node = free_nodes_.back();
    free_nodes_.pop_back();
  }
  nodes_[node] =
      Node{key, next_serial_++, row, position, next, next, NextPriority(priority_state_), -1, -1};
  return node;
}

void DesignatorIndex::Insert(int node) {
  const auto [below, rest] = Split(root_, node, false);
  root_ = Merge(Merge(below, node), rest);
}

void DesignatorIndex::Erase(int node) {
  const auto [below, rest] = Split(root_, node, false);
  // The nodes up to `node` in `rest` are `node` alone.
  root_ = Merge(below, Split(rest, node, true).second);
}

// A subtree's max_next need only be at least the largest `next` in it: the search tests each
// node's own `next`, and a bound too high only lets it look into a subtree in vain. So a lower
// `next` (the cut of a cell, which ends it) leaves the bounds above as they are, and only a higher
// one mends them: the node is found from the root by its order and the bounds raised on the way
// back. A Pull makes a node's bound again from its own `next` and its children's bounds.
void DesignatorIndex::SetNext(int node, int64_t next) {
  const int64_t old = nodes_[node].next;
  nodes_[node].next = next;
  if (next > old)
    SetNextBelow(root_, node);
}

void DesignatorIndex::SetNextBelow(int tree, int node) {
  if (tree != node)
    SetNextBelow(Less(node, tree) ? nodes_[tree].left : nodes_[tree].right, node);
  Pull(tree);
}

void DesignatorIndex::PullAll(int tree) {
  if (tree < 0)
    return;
  PullAll(nodes_[tree].left);
  PullAll(nodes_[tree].right);
  Pull(tree);
}

void DesignatorIndex::Pull(int node) {
  Node& n = nodes_[node];
  n.max_next = n.next;
  if (n.left >= 0)
    n.max_next = std::max(n.max_next, nodes_[n.left].max_next);
  if (n.right >= 0)
    n.max_next = std::max(n.max_next, nodes_[n.right].max_next);
}

bool DesignatorIndex::Less(int a, int b) const {
  const Node& x = nodes_[a];
  const Node& y = nodes_[b];
  return std::tie(x.key, x.serial) < std::tie(y.key, y.serial);
}

// Splits `tree` into the nodes before `node` and the rest; with `keep_node_left` the node itself
// goes with those before it.
std::pair<int, int> DesignatorIndex::Split(int tree, int node, bool keep_node_left) {
  if (tree < 0)
    return {-1, -1};
  const bool left = keep_node_left ? !Less(node, tree) : Less(tree, node);
  if (left) {
    const auto [below, rest] = Split(nodes_[tree].right, node, keep_node_left);
    nodes_[tree].right = below;
    Pull(tree);
    return {tree, rest};
  }
  const auto [below, rest] = Split(nodes_[tree].left, node, keep_node_left);
  nodes_[tree].left = rest;
  Pull(tree);
  return {below, tree};
}

// Every node of `left` orders before every node of `right`.
int DesignatorIndex::Merge(int left, int right) {
  if (left < 0)
    return right;
  if (right < 0)
    return left;
  if (nodes_[left].priority > nodes_[right].priority) {
    const int merged = Merge(nodes_[left].right, right);
    nodes_[left].right = merged;
    Pull(left);
    return left;
  }
  const int merged = Merge(left, nodes_[right].left);
  nodes_[right].left = merged;
  Pull(right);
  return right;
}

// In key order. A subtree none of whose items is followed by a number above the bound is not
// entered, so the search costs about log n for each place it finds.
void DesignatorIndex::Collect(int tree,
                              const Bounds& bounds,
                              std::vector<DesignatorPlace>& places) const {
  if (tree < 0)
    return;
  const Node& node = nodes_[tree];
  if (node.max_next <= bounds.above)
    return;
  if (node.key >= bounds.low)
    Collect(node.left, bounds, places);
  if (node.key >= bounds.low && node.key <= bounds.high && node.next > bounds.above)
    places.push_back({node.row, node.position});
  if (node.key <= bounds.high)
    Collect(node.right, bounds, places);
}

}  // namespace zuro::generation
