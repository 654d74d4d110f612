#include "engine/Listing.h"

namespace engine {

Listing List(const Sequences& sequences, const SearchResult& found) noexcept {
  Listing listing;
  int usedIndex[2 * kMaxPairs];            // sequence index of each used value
  std::int32_t usedWhole[2 * kMaxPairs];  // and its whole-ohm figure, scanned for each offer
  // A value counts once, at its first occurrence, whatever else shares its whole-ohm figure.
  const auto offer = [&](int index) {
    const std::int32_t whole = sequences.whole[std::size_t(index)];
    for (int i = 0; i < listing.usedCount; ++i) {
      if (usedWhole[i] == whole) return;
    }
    usedWhole[listing.usedCount] = whole;
    usedIndex[listing.usedCount] = index;
    listing.used[listing.usedCount++] = sequences.values[std::size_t(index)];
  };
  for (int k = 0; k < found.count; ++k) {
    const Pair& pair = found.pairs[k];
    Text<kLineBuffer>& line = listing.lines[k];
    line.length =
        ComposeResultLine(line.chars, pair.error, sequences.columns[std::size_t(pair.first)],
                          sequences.columns[std::size_t(pair.second)], pair.value);
    if (line.length < 0) {
      line.length = ComposeResultLine(line.chars, pair.error, pair.reg1, pair.reg2, pair.value);
    }
    offer(pair.first);
    offer(pair.second);
  }
  listing.lineCount = found.count;
  for (int i = 1; i < listing.usedCount; ++i) {
    const double x = listing.used[i];
    const int index = usedIndex[i];
    int j = i;
    for (; j > 0 && listing.used[j - 1] > x; --j) {
      listing.used[j] = listing.used[j - 1];
      usedIndex[j] = usedIndex[j - 1];
    }
    listing.used[j] = x;
    usedIndex[j] = index;
  }
  for (int i = 0; i < listing.usedCount; ++i) {
    // "%7ld" is "%8ld" without its first blank wherever the figure has at most seven digits.
    const std::string& column = sequences.columns[std::size_t(usedIndex[i])];
    Text<kValueLineBuffer>& line = listing.usedLines[i];
    if (column.size() == 8 && column[0] == ' ') {
      column.copy(line.chars, 7, 1);
      line.length = 7;
    } else {
      line.length = ComposeValueLine(line.chars, listing.used[i]);
    }
  }
  return listing;
}

}  // namespace engine
