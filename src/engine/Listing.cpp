#include "engine/Listing.h"

#include <cstdint>

#include "engine/Order.h"

namespace engine {

namespace {

// The printed error of a line, in millionths: its digits up to the second blank, the point left
// out. Anything printf shows that is no number ("inf", "nan") sorts last.
std::uint64_t PrintedError(std::string_view line) noexcept {
  std::uint64_t millionths = 0;
  std::size_t i = line.find_first_not_of(' ');
  for (; i < line.size() && line[i] != ' '; ++i) {
    if (line[i] == '.') continue;
    if (line[i] < '0' || line[i] > '9') return UINT64_MAX;
    millionths = millionths * 10 + std::uint64_t(line[i] - '0');
  }
  return millionths;
}

}  // namespace

Listing List(const Sequences& sequences, const SearchResult& found, bool aligned) noexcept {
  Listing listing;
  const auto whole = [&](int index) { return sequences.whole[std::size_t(index)]; };
  // A line's error is the engine's figure printed; ordering by it orders by what is shown.
  const auto compose = [&](Text<kLineBuffer>& line, const Pair& pair) {
    line.length = ComposeResultLine(line.chars, pair.error, whole(pair.first),
                                    whole(pair.second), pair.value, listing.errorWidth);
  };
  std::uint64_t printed[kMaxPairs];
  for (int k = 0; k < found.count; ++k) {
    compose(listing.lines[k], found.pairs[k]);
    printed[k] = PrintedError(listing.lines[k].View());
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
    for (int k = 0; k < found.count; ++k) compose(listing.lines[k], found.pairs[k]);
  }
  // A value counts once, at its first occurrence in the search's order, whatever else shares its
  // whole-ohm figure. Figures and values are kept at hand: the offers scan them many times.
  struct Used {
    double value;
    std::int32_t whole;
    int index;
  } used[2 * kMaxPairs];
  const auto offer = [&](int index, double value) {
    for (int i = 0; i < listing.usedCount; ++i) {
      if (used[i].whole == whole(index)) return;
    }
    used[listing.usedCount++] = {value, whole(index), index};
  };
  for (int k = 0; k < found.count; ++k) {
    offer(found.pairs[k].first, found.pairs[k].reg1);
    offer(found.pairs[k].second, found.pairs[k].reg2);
  }
  StableSort(used, listing.usedCount, [](const Used& a, const Used& b) { return a.value < b.value; });
  for (int i = 0; i < listing.usedCount; ++i) {
    listing.used[i] = used[i].value;
    listing.usedIndex[i] = used[i].index;
    Text<kValueLineBuffer>& line = listing.usedLines[i];
    line.length = ComposeValueLine(line.chars, used[i].whole);
  }
  return listing;
}

}  // namespace engine
