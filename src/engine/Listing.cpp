#include "engine/Listing.h"

#include <bit>
#include <cstdint>

#include "engine/Order.h"

namespace engine {

Columns::Columns(const Sequences& sequences) {
  for (const std::int32_t whole : sequences.whole) {
    columns_.push_back(ComposeColumn(whole));
    Text<kValueLineBuffer>& line = lines_.emplace_back();
    line.length = ComposeValueLine(line.chars, whole);
  }
}

Listing List(const Sequences& sequences, const Columns& columns, const SearchResult& found,
             bool aligned) noexcept {
  Listing listing;
  const auto whole = [&](int index) { return sequences.whole[std::size_t(index)]; };
  // A line's error is the engine's figure printed; ordering by it orders by what is shown.
  const auto compose = [&](Text<kLineBuffer>& line, const Pair& pair, std::uint64_t* shown) {
    line.length = ComposeResultLine(line.chars, pair.error, columns.column(pair.first),
                                    columns.column(pair.second), pair.value, listing.errorWidth,
                                    shown);
  };
  std::uint64_t printed[kMaxPairs];
  for (int k = 0; k < found.count; ++k) {
    compose(listing.lines[k], found.pairs[k], &printed[k]);
    listing.order[k] = k;
    if (aligned && printed[k] >= 10000000) listing.errorWidth = 9;
  }
  StableSort(listing.order, found.count, [&](int a, int b) {
    const Pair &p = found.pairs[a], &q = found.pairs[b];
    if (printed[a] != printed[b]) return printed[a] < printed[b];
    if (whole(p.first) != whole(q.first)) return whole(p.first) < whole(q.first);
    return whole(p.second) < whole(q.second);
  });
  listing.lineCount = found.count;
  if (listing.errorWidth > 0) {
    for (int k = 0; k < found.count; ++k) compose(listing.lines[k], found.pairs[k], nullptr);
  }
  // A value counts once, at its first occurrence in the search's order, whatever else shares its
  // whole-ohm figure. The figure never falls as the value rises, so values of one figure lie side
  // by side in value order: a value kept in order needs only its two neighbours checked.
  struct Used {
    double value;
    std::int32_t whole;
    int index;
  } used[2 * kMaxPairs];
  const auto offer = [&](int index, double value) {
    int low = 0, high = listing.usedCount;
    while (low < high) {
      const int middle = (low + high) / 2;
      if (used[middle].value < value) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if ((low > 0 && used[low - 1].whole == whole(index)) ||
        (low < listing.usedCount && used[low].whole == whole(index))) {
      return;
    }
    for (int i = listing.usedCount++; i > low; --i) used[i] = used[i - 1];
    used[low] = {value, whole(index), index};
  };
  if (sequences.ascending) {
    // Where the values ascend with their indexes, marking the indexes met puts them in order
    // without a search for each (whose unpredictable branches were most of the listing's time);
    // of a run of one figure, the first met is kept.
    std::uint64_t marked[(kMaxValues + 63) / 64] = {};
    std::uint8_t met[kMaxValues];  // read only where marked
    int order = 0;
    for (int k = 0; k < found.count; ++k) {
      for (const int index : {found.pairs[k].first, found.pairs[k].second}) {
        std::uint64_t& word = marked[index / 64];
        const std::uint64_t bit = std::uint64_t{1} << (index % 64);
        if ((word & bit) == 0) met[index] = static_cast<std::uint8_t>(order++);
        word |= bit;
      }
    }
    int firstMet[2 * kMaxPairs];
    for (int w = 0; w < (kMaxValues + 63) / 64; ++w) {
      for (std::uint64_t bits = marked[w]; bits != 0; bits &= bits - 1) {
        const int index = w * 64 + std::countr_zero(bits);
        const Used value{sequences.values[std::size_t(index)], whole(index), index};
        const int last = listing.usedCount - 1;
        if (last >= 0 && used[last].whole == value.whole) {
          if (met[index] < firstMet[last]) used[last] = value, firstMet[last] = met[index];
        } else {
          used[++listing.usedCount - 1] = value;
          firstMet[last + 1] = met[index];
        }
      }
    }
  } else {
    for (int k = 0; k < found.count; ++k) {
      offer(found.pairs[k].first, found.pairs[k].reg1);
      offer(found.pairs[k].second, found.pairs[k].reg2);
    }
  }
  for (int i = 0; i < listing.usedCount; ++i) {
    listing.used[i] = used[i].value;
    listing.usedIndex[i] = used[i].index;
    listing.usedLines[i] = columns.line(used[i].index);
  }
  return listing;
}

}  // namespace engine
