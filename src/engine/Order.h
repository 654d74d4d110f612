// The one ordering the engine uses wherever it ranks a few items: stable, in place, and without
// allocating, so that the search stays free of allocation and of failure.
#pragma once

namespace engine {

// Sorts first[0 .. count) by less, keeping the order of items that compare equal.
template <class T, class Less>
void StableSort(T* first, int count, Less less) noexcept {
  for (int i = 1; i < count; ++i) {
    T item = first[i];
    int j = i;
    for (; j > 0 && less(item, first[j - 1]); --j) first[j] = first[j - 1];
    first[j] = item;
  }
}

}  // namespace engine
