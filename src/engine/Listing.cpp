#include "engine/Listing.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "engine/Best.h"

namespace engine {

Columns::Columns(const Sequences& sequences) {
  for (const std::int32_t whole : sequences.whole) {
    columns_.push_back(ComposeColumn(whole));
    Text<kValueLineBuffer>& line = lines_.emplace_back();
    line.length = ComposeValueLine(line.chars, whole);
  }
}

Listing List(const Sequences& sequences, const Columns& columns, const SearchResult& found,
             bool aligned, bool lines) noexcept {
  Listing listing;
  const auto whole = [&](int index) { return sequences.whole[std::size_t(index)]; };
  // A line's error is the engine's figure printed; ordering by it orders by what is shown.
  const auto compose = [&](Text<kLineBuffer>& line, const Pair& pair, std::uint64_t* shown) {
    line.length =
        ComposeResultLine(line.chars, pair.error, columns.column(pair.first),
                          columns.column(pair.second), pair.value, listing.errorWidth, shown);
  };
  std::uint64_t printed[kMaxPairs];
  for (int k = 0; k < found.count; ++k) {
    if (lines) {
      compose(listing.lines[k], found.pairs[k], &printed[k]);
    } else {
      printed[k] = ShownPercent(found.pairs[k].error);
    }
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
  if (listing.errorWidth > 0 && lines) {
    for (int k = 0; k < found.count; ++k) compose(listing.lines[k], found.pairs[k], nullptr);
  }
  // A value counts once, at its first occurrence in the search's order, whatever else shares its
  // whole-ohm figure. The figure never falls as the value rises, so values of one figure lie side
  // by side in value order, and of a run of one figure the first met is kept.
  struct Used {
    double value;
    std::int32_t whole;
    int index;
  } used[2 * kMaxPairs];
  int firstMet[2 * kMaxPairs];
  const auto take = [&](const Used& value, int met) {
    const int last = listing.usedCount - 1;
    if (last >= 0 && used[last].whole == value.whole) {
      if (met < firstMet[last]) used[last] = value, firstMet[last] = met;
    } else {
      used[++listing.usedCount - 1] = value;
      firstMet[last + 1] = met;
    }
  };
  if (sequences.ascending) {
    // Where the values ascend with their indexes, marking the indexes met puts them in order
    // without sorting (whose unpredictable branches were most of the listing's time).
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
    for (int w = 0; w < (kMaxValues + 63) / 64; ++w) {
      for (std::uint64_t bits = marked[w]; bits != 0; bits &= bits - 1) {
        const int index = w * 64 + std::countr_zero(bits);
        take({sequences.values[std::size_t(index)], whole(index), index}, met[index]);
      }
    }
  } else {
    // Every value met, in value order (then in the order met), taken as above.
    std::pair<Used, int> met[2 * kMaxPairs];
    int n = 0;
    for (int k = 0; k < found.count; ++k) {
      met[n] = {{found.pairs[k].reg1, whole(found.pairs[k].first), found.pairs[k].first}, n}, ++n;
      met[n] = {{found.pairs[k].reg2, whole(found.pairs[k].second), found.pairs[k].second}, n}, ++n;
    }
    std::sort(met, met + n, [](const auto& a, const auto& b) {
      return a.first.value < b.first.value ||
             (a.first.value == b.first.value && a.second < b.second);
    });
    for (int i = 0; i < n; ++i) take(met[i].first, met[i].second);
  }
  for (int i = 0; i < listing.usedCount; ++i) {
    listing.used[i] = used[i].value;
    listing.usedIndex[i] = used[i].index;
    listing.usedLines[i] = columns.line(used[i].index);
  }
  return listing;
}

}  // namespace engine
