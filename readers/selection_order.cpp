#include "readers/selection_order.h"

namespace zuro::readers {

SelectionTree::SelectionTree(size_t places) : numbers_(places) {
  while (leaves_ < places)
    leaves_ *= 2;
  best_.assign(2 * leaves_, kNone);
}

void SelectionTree::Fill(size_t place, int64_t number) {
  numbers_[place] = number;
  best_[leaves_ + place] = place;
  Update(place);
}

void SelectionTree::Clear(size_t place) {
  best_[leaves_ + place] = kNone;
  Update(place);
}

size_t SelectionTree::FirstFilled() const {
  if (best_[1] == kNone)
    return kNone;
  size_t node = 1;
  while (node < leaves_)
    node = best_[2 * node] != kNone ? 2 * node : 2 * node + 1;
  return node - leaves_;
}

// The left child covers the lower places, so it wins a tie.
void SelectionTree::Update(size_t place) {
  for (size_t node = (leaves_ + place) / 2; node >= 1; node /= 2) {
    const size_t left = best_[2 * node];
    const size_t right = best_[2 * node + 1];
    if (left == kNone)
      best_[node] = right;
    else if (right == kNone)
      best_[node] = left;
    else
      best_[node] = numbers_[right] < numbers_[left] ? right : left;
  }
}

}  // namespace zuro::readers
