// The one ranking of the engine's searches: the best few of many items, kept as they are offered,
// without allocating and without failing.
//
// At most `capacity` items are kept, each in a slot. An item offered while there is room takes
// the next slot; once every slot is taken, it takes the slot of the worst item kept (the lowest
// slot among those that tie for worst) if it ranks strictly before that item, and is dropped
// otherwise. Sorted() gives the kept items in rank order, those that tie in the order of their
// slots. Under an order in which no two items tie, the items kept are the best `capacity` of all
// those offered, in whatever order they came.
#pragma once

#include <algorithm>

namespace engine {

// Sorts first[0 .. count) by before, keeping the order of items that tie: insertion, as the
// lists sorted here are short.
template <class T, class Before>
void StableSort(T* first, int count, Before before) noexcept {
  for (int i = 1; i < count; ++i) {
    T item = first[i];
    int j = i;
    for (; j > 0 && before(item, first[j - 1]); --j) first[j] = first[j - 1];
    first[j] = item;
  }
}

template <class Item, int kMax, class Before>
class Best {
 public:
  Best(int capacity, Before before) noexcept
      : capacity_(std::clamp(capacity, 0, kMax)), before_(before) {
    while (leaves_ < capacity_) leaves_ *= 2;
    std::fill_n(tree_, 2 * leaves_, -1);
  }

  // Whether the item was kept.
  bool Offer(const Item& item) noexcept {
    if (count_ < capacity_) {
      Keep(count_++, item);
    } else if (count_ > 0 && before_(item, items_[tree_[1]])) {
      Keep(tree_[1], item);
    } else {
      return false;
    }
    return true;
  }

  int Count() const noexcept { return count_; }
  bool Full() const noexcept { return count_ == capacity_; }
  // The item that the next one offered must rank before, once full; while there are items.
  const Item& Worst() const noexcept { return items_[tree_[1]]; }

  // The kept items in rank order into out, which holds Count() of them; returns how many.
  int Sorted(Item* out) const noexcept {
    int order[kMax];
    for (int k = 0; k < count_; ++k) order[k] = k;
    StableSort(order, count_, [this](int a, int b) { return before_(items_[a], items_[b]); });
    for (int k = 0; k < count_; ++k) out[k] = items_[order[k]];
    return count_;
  }

 private:
  // The slots are the leaves of a tournament: each node holds the slot of the worse of its two
  // children, the lower slot on a tie, so the root is the lowest slot of the worst, and taking a
  // slot plays only the matches on its way up.
  void Keep(int slot, const Item& item) noexcept {
    items_[slot] = item;
    tree_[leaves_ + slot] = slot;
    for (int node = (leaves_ + slot) / 2; node >= 1; node /= 2) {
      const int left = tree_[2 * node], right = tree_[2 * node + 1];
      tree_[node] = right >= 0 && (left < 0 || before_(items_[left], items_[right])) ? right : left;
    }
  }

  int capacity_;
  Before before_;
  int count_ = 0;
  int leaves_ = 1;
  int tree_[4 * kMax];
  Item items_[kMax];
};

}  // namespace engine
