#include "engine/Listing.h"

#include "engine/Order.h"

namespace engine {

Listing List(const Sequences& sequences, const SearchResult& found, bool aligned) noexcept {
  Listing listing;
  const auto whole = [&](int index) { return sequences.whole[std::size_t(index)]; };
  std::uint64_t printed[kMaxPairs];
  for (int k = 0; k < found.count; ++k) {
    printed[k] = PrintedMillionths(found.pairs[k].error);
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
  // A value counts once, at its first occurrence in the search's order, whatever else shares its
  // whole-ohm figure.
  const auto offer = [&](int index) {
    for (int i = 0; i < listing.usedCount; ++i) {
      if (whole(listing.usedIndex[i]) == whole(index)) return;
    }
    listing.usedIndex[listing.usedCount++] = index;
  };
  for (int k = 0; k < found.count; ++k) {
    const Pair& pair = found.pairs[listing.order[k]];
    Text<kLineBuffer>& line = listing.lines[k];
    line.length = ComposeResultLine(line.chars, pair.error, whole(pair.first), whole(pair.second),
                                    pair.value, listing.errorWidth);
    offer(found.pairs[k].first);
    offer(found.pairs[k].second);
  }
  const auto value = [&](int index) { return sequences.values[std::size_t(index)]; };
  StableSort(listing.usedIndex, listing.usedCount,
             [&](int a, int b) { return value(a) < value(b); });
  for (int i = 0; i < listing.usedCount; ++i) {
    listing.used[i] = value(listing.usedIndex[i]);
    Text<kValueLineBuffer>& line = listing.usedLines[i];
    line.length = ComposeValueLine(line.chars, whole(listing.usedIndex[i]));
  }
  return listing;
}

}  // namespace engine
